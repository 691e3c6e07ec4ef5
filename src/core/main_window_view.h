#pragma once

#include <string>

namespace corvane {

// The main window as a frame: caption, icon, minimised state, mouse pointer.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    virtual void setBusyCursor(bool busy) = 0;
    virtual bool isMinimised() const = 0;
    virtual void restoreFromMinimised() = 0;
    // The activity icon shows that text arrived while minimised.
    virtual void setActivityIcon(bool activity) = 0;
    virtual bool activityIcon() const = 0;
};

} // namespace corvane
