#pragma once

#include "room/direction_view.h"

#include <functional>
#include <memory>

namespace corvane {

class MainMenu;
class ButtonBars;
class CommandSender;
class ViewFactory;

// The direction pad: one button per way out of a room. It sits above every
// other window while shown, and steps back while minimised.
class DirectionPad : public DirectionEvents {
public:
    DirectionPad(MainMenu& menu, ButtonBars& buttons, CommandSender& sender, ViewFactory& views,
                 std::function<void()> focusInput);
    ~DirectionPad() override;
    DirectionPad(const DirectionPad&) = delete;
    DirectionPad& operator=(const DirectionPad&) = delete;

    // View > "&Directions".
    void ViewDirections();
    // The button bar's "&Direction".
    void DirectionButtonPressed();
    // The session has ended, or the program does.
    void close();
    bool isOpen() const { return m_open; }

    void onDirectionButton(int index) override;
    void onClosed() override;
    void onMinimisedChanged(bool minimised) override;

private:
    void open();
    void closed();

    MainMenu& m_menu;
    ButtonBars& m_buttons;
    CommandSender& m_sender;
    ViewFactory& m_views;
    std::function<void()> m_focusInput;
    std::unique_ptr<DirectionView> m_view;
    bool m_open = false;
};

} // namespace corvane
