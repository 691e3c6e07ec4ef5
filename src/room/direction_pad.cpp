#include "room/direction_pad.h"

#include "core/button_bars.h"
#include "core/command_sender.h"
#include "core/constants.h"
#include "core/main_menu.h"
#include "platform/view_factory.h"

namespace corvane {

DirectionPad::DirectionPad(MainMenu& menu, ButtonBars& buttons, CommandSender& sender, ViewFactory& views,
                           std::function<void()> focusInput)
    : m_menu(menu)
    , m_buttons(buttons)
    , m_sender(sender)
    , m_views(views)
    , m_focusInput(std::move(focusInput)) {}

DirectionPad::~DirectionPad() {
    if (m_view) {
        m_view->setEvents(nullptr);
    }
}

void DirectionPad::ViewDirections() {
    if (m_menu.checked(MenuItem::ViewDirections)) {
        close();
        return;
    }
    m_buttons.setEnabled(Bar::Command, command_button::Direction, false);
    m_menu.setChecked(MenuItem::ViewDirections, true);
    open();
}

void DirectionPad::DirectionButtonPressed() {
    // It stays enabled while the pad is open: pressing it again only brings
    // the pad forward.
    if (!m_buttons.enabled(Bar::Command, command_button::Direction)) {
        return;
    }
    m_menu.setChecked(MenuItem::ViewDirections, true);
    open();
}

void DirectionPad::open() {
    if (!m_view) {
        m_view = m_views.createDirectionView();
        m_view->setEvents(this);
    }
    if (!m_open) {
        m_view->setTopmost(true);
        m_open = true;
    }
    m_view->showWindow();
}

void DirectionPad::close() {
    if (!m_open) {
        return;
    }
    m_view->hideWindow();
    closed();
}

void DirectionPad::closed() {
    m_open = false;
    m_menu.setChecked(MenuItem::ViewDirections, false);
    m_buttons.setEnabled(Bar::Command, command_button::Direction, true);
    if (m_focusInput) {
        m_focusInput();
    }
}

void DirectionPad::onDirectionButton(int index) {
    if (index == kDirectionCancel) {
        close();
        return;
    }
    if (index < 0 || index >= kDirectionCancel) {
        return;
    }
    m_sender.SendCommand(std::string(kDirectionButtons[static_cast<std::size_t>(index)].command) +
                         std::string(LineFeed));
    m_sender.NoteCommandSent();
}

void DirectionPad::onClosed() {
    closed();
}

void DirectionPad::onMinimisedChanged(bool minimised) {
    if (!m_view) {
        return;
    }
    m_view->setTopmost(!minimised);
    if (minimised && m_focusInput) {
        m_focusInput();
    }
}

} // namespace corvane
