#pragma once

namespace corvane {

// Whether the player is looking at Corvane, and a way to ask for a look:
// the taskbar's urgency hint on the desktop.
class Attention {
public:
    virtual ~Attention() = default;
    // True while one of Corvane's windows is the active one.
    virtual bool active() const = 0;
    virtual void requestAttention() = 0;
};

} // namespace corvane
