#pragma once

#include "core/rgb.h"

#include <string>

namespace corvane {

// The row of four status labels: 0 status line, 1 log file, 2 game clock, 3 lag.
class StatusView {
public:
    enum Label { StatusLabel = 0, LogLabel = 1, ClockLabel = 2, LagLabel = 3 };
    virtual ~StatusView() = default;
    virtual void setLabelText(int label, const std::string& text) = 0;
    virtual void setLabelColours(int label, Rgb text, Rgb background) = 0;
    virtual void setLabelVisible(int label, bool visible) = 0;
    // The lock: shown while a secure session is up, protocol ("TLS 1.3")
    // as its tip; hidden when protocol is empty.
    virtual void setSecureIndicator(const std::string& protocol) = 0;
};

} // namespace corvane
