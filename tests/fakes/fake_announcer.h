#pragma once

#include "platform/announcer.h"

#include <string>
#include <vector>

namespace corvane::testing {

// Records what a screen reader would have been told.
class FakeAnnouncer : public Announcer {
public:
    void announce(const std::string& text) override { announced.push_back(text); }
    std::vector<std::string> announced;
};

} // namespace corvane::testing
