#pragma once

#include "platform/notifier.h"

namespace corvane {

// Desktop notifications through the freedesktop Notifications service on the
// session bus. Without a bus or a service the call goes nowhere, quietly.
class QtNotifier : public Notifier {
public:
    void notify(const std::string& title, const std::string& text) override;
};

} // namespace corvane
