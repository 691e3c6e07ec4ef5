#pragma once

#include <string>

namespace corvane {

// Desktop notifications (a bubble from the desktop's notification service).
// Without such a service nothing is shown and nothing is said.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const std::string& title, const std::string& text) = 0;
};

} // namespace corvane
