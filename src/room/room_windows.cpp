#include "room/room_windows.h"

#include "core/button_bars.h"
#include "core/game_timer.h"
#include "core/input_view.h"
#include "room/exits_line.h"
#include "room/room_info.h"

namespace corvane {

RoomWindows::RoomWindows(Services services, ShowNotice showNotice)
    : m_services(services)
    , m_showNotice(std::move(showNotice))
    , m_playerList(services.session, services.sender, services.classifier, services.views,
                   [&input = services.input] { input.focusInput(); })
    , m_picture(services.session, services.settings, services.menu, services.pictures, services.views)
    , m_pad(services.menu, services.buttons, services.sender, services.views,
            [&input = services.input] { input.focusInput(); })
    , m_walk(RandomWalk::Services{services.session, services.menu, services.status, services.sender,
                                  services.prompts, services.choosers, services.timers, services.clock,
                                  m_random, services.views},
             [&input = services.input] { input.focusInput(); }) {
    m_picture.setHooks(RoomPicture::Hooks{m_showNotice, [&input = services.input] { input.focusInput(); }});
}

bool RoomWindows::onMenuTriggered(MenuItem item) {
    switch (item) {
    case MenuItem::ViewDirections:
        m_pad.ViewDirections();
        return true;
    case MenuItem::ViewPicture:
        m_picture.ViewPicture();
        return true;
    case MenuItem::ViewInfo:
        ShowRoomInfo();
        return true;
    case MenuItem::GameWalk:
        m_walk.GameWalk();
        return true;
    default:
        return false;
    }
}

bool RoomWindows::onCommandButton(int index) {
    if (index == command_button::Info) {
        ShowRoomInfo();
        return true;
    }
    if (index == command_button::Direction) {
        m_pad.DirectionButtonPressed();
        return true;
    }
    return false;
}

void RoomWindows::loggedIn(const std::string& settingsPath) {
    m_loginTime = m_services.clock.now();
    m_playerList.SetUpPlayerButtons(settingsPath);
}

void RoomWindows::roomChanged() {
    m_picture.roomChanged();
    // A MUCK's arrival hook runs after the room is described, so an exits line
    // seen since the last room change belongs to the room just entered.
    if (!m_exitsSinceRoomChange) {
        m_walk.setKnownExits({});
    }
    m_exitsSinceRoomChange = false;
}

void RoomWindows::lineShown(const std::string& line) {
    if (ReadExitsLine(line, m_exitViews)) {
        m_walk.setKnownExitsLine(line);
        m_exitsSinceRoomChange = true;
    }
}

void RoomWindows::closeSessionWindows() {
    m_pad.close();
    m_playerList.close();
    m_walk.close();
}

void RoomWindows::shutdown() {
    closeSessionWindows();
    m_picture.close();
}

void RoomWindows::ShowRoomInfo() {
    // While the game clock is off the time counts from the log-in.
    const TimePoint start = m_services.gameTimer.clockOn() ? m_services.gameTimer.ClockStart() : m_loginTime;
    if (m_showNotice) {
        m_showNotice("Room Info", RoomInfoText(m_services.session, m_services.clock.now() - start));
    }
}

} // namespace corvane
