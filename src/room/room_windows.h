#pragma once

#include "core/main_menu.h"
#include "platform/clock.h"
#include "room/direction_pad.h"
#include "room/player_list_presenter.h"
#include "room/random_source.h"
#include "room/random_walk.h"
#include "room/room_picture.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

struct Session;
struct ClientSettings;
class ButtonBars;
class StatusLine;
class CommandSender;
class LineClassifier;
class GameTimer;
class Prompts;
class Choosers;
class ViewFactory;
class PictureReader;
class InputView;

// The windows that follow the character's room and the players around it:
// the room picture and room info, the player list, the direction pad and the
// random walk. The client hands their menu items and bar buttons to this.
class RoomWindows {
public:
    struct Services {
        Session& session;
        const ClientSettings& settings;
        MainMenu& menu;
        ButtonBars& buttons;
        StatusLine& status;
        CommandSender& sender;
        LineClassifier& classifier;
        const GameTimer& gameTimer;
        Prompts& prompts;
        Choosers& choosers;
        Timers& timers;
        Clock& clock;
        ViewFactory& views;
        PictureReader& pictures;
        InputView& input;
    };
    using ShowNotice = std::function<void(const std::string& title, const std::string& text)>;

    RoomWindows(Services services, ShowNotice showNotice);

    // View > "&Directions", "&Picture", "&Info" and Game > "&Walk"; false for other items.
    bool onMenuTriggered(MenuItem item);
    // The bar's "I&nfo" and "&Direction"; false for other buttons.
    bool onCommandButton(int index);

    // The log-in set-up's part: the player list window and its buttons.
    void loggedIn(const std::string& settingsPath);
    // A room marker has been read, or a MUD's GMCP named the room: the last
    // room's exits are no longer known, unless the new room's exits line came
    // before its marker.
    void roomChanged();
    // The exits of the room the player is in, where the world tells them (GMCP).
    void exitsKnown(std::vector<std::string> exits) {
        m_walk.setKnownExits(std::move(exits));
        m_exitsSinceRoomChange = false;
    }
    // A shown line: a room's "Obvious exits:" line names its exits.
    void lineShown(const std::string& line);
    // The session has ended: the pad and the player list close, a walk ends.
    void closeSessionWindows();
    void shutdown();

    // The "I&nfo" button.
    void ShowRoomInfo();

    PlayerListView& playerListWindow() { return m_playerList.window(); }
    PlayerListView* playerList() { return m_playerList.existingWindow(); }
    PlayerListPresenter& playerListPresenter() { return m_playerList; }
    RoomPicture& picture() { return m_picture; }
    DirectionPad& directionPad() { return m_pad; }
    RandomWalk& walk() { return m_walk; }
    RandomSource& random() { return m_random; }

private:
    Services m_services;
    ShowNotice m_showNotice;
    RandomSource m_random;
    PlayerListPresenter m_playerList;
    RoomPicture m_picture;
    DirectionPad m_pad;
    RandomWalk m_walk;
    TimePoint m_loginTime{};
    bool m_exitsSinceRoomChange = false;
    // Kept for its room, so reading an exits line allocates nothing.
    std::vector<std::string_view> m_exitViews;
};

} // namespace corvane
