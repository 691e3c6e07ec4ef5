#pragma once

#include "platform/notifier.h"

#include <string>
#include <vector>

namespace corvane::testing {

class FakeNotifier : public Notifier {
public:
    void notify(const std::string& title, const std::string& text) override { shown.push_back(title + ": " + text); }
    std::vector<std::string> shown;
};

} // namespace corvane::testing
