#pragma once

#include <memory>
#include <string>

namespace corvane {

class Picture;

// What the user does in the picture window.
class PictureEvents {
public:
    virtual ~PictureEvents() = default;
    // "&OK" pressed.
    virtual void onOk() = 0;
    // The window's own close control.
    virtual void onClosed() = 0;
};

// The "PICTURE" window (Form3): the room's picture, scaled to fit, with the
// room name below it and one "&OK" button.
class PictureView {
public:
    virtual ~PictureView() = default;
    virtual void setEvents(PictureEvents* events) = 0;
    // nullptr empties the image area.
    virtual void setPicture(std::unique_ptr<Picture> picture) = 0;
    virtual void setRoomName(const std::string& name) = 0;
    // Modeless: returns at once.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};

} // namespace corvane
