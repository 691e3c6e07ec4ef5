#pragma once

#include "core/player_list_view.h"
#include "platform/clock.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

struct Session;
class StatusLine;
class StatusView;
class MainWindowView;

// The eight who-is-here phrases, fixed at start-up.
extern const std::array<std::string, 8> PresencePhrases;

// The main window's caption in a room: world and room name, a very long name
// cut short so the title bar stays readable.
std::string RoomCaption(const std::string& worldName, const std::string& roomName);

// Recognises the client's own marker lines (reply prefix and suffix, room
// marker) and captures the server's player listings for the player list.
class LineClassifier {
public:
    struct Hooks {
        // A room marker was read: RoomRef and RoomName are set.
        std::function<void()> roomChanged;
        // A player's name was read from a listing.
        std::function<void(const std::string& name)> playerSeen;
    };

    LineClassifier(Session& session, StatusLine& status, StatusView& statusView, MainWindowView& window);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // The player-list window exists from log-in on; until then lists are only counted.
    void setPlayerList(PlayerListView* view) { m_playerList = view; }
    // A world without reply frames has no line that ends a who-is-here
    // listing: a quiet spell after it ends it instead (see ClassifyListLine).
    void setTimers(Timers* timers) { m_timers = timers; }
    // The who-is-here or WHO request has just been sent.
    void listRequested() {
        m_listLineCount = 0;
        m_presenceSeen = false;
        m_listStarted = false;
    }

    // The player is in another room (a room marker, or a world's GMCP Room.Info).
    void roomEntered(std::int32_t ref, const std::string& name);
    // The room the player is in has a name now (a world told it after its number).
    void roomNamed(const std::string& name);
    // Telnet's go-ahead or end-of-record ended a prompt.
    void promptEnded();
    // A line other than a prompt has ended: on a world whose prompts end
    // replies it is the answer to the oldest waiting command.
    void lineEnded();
    // Looks at a completed line; may empty it, and answers whether it is still to be shown.
    bool ClassifyLine(std::string& line);

    int playerCount(PlayerKind kind) const { return static_cast<int>(m_players[index(kind)].size()); }
    const std::vector<std::string>& players(PlayerKind kind) const { return m_players[index(kind)]; }
    const std::string& lastSummary() const { return m_lastSummary; }

private:
    static std::size_t index(PlayerKind kind) { return static_cast<std::size_t>(kind); }
    bool ClassifyListLine(std::string& line);
    bool ClassifyWhoLine(std::string& line);
    void whoLineTaken();
    void stopQuietTimer();
    void replyStarted();
    void promptWaitEnded();
    void roomMarker(const std::string& line);
    void listStart(std::string& line);
    void listEnd(std::string& line);
    void endCapture();
    void presenceLineRead();
    void endUnframedList();
    void addPlayer(PlayerKind kind, const std::string& name);
    void addPhraseNames(const std::string& line, std::size_t phraseLength, PlayerKind kind);

    Session& m_session;
    StatusLine& m_status;
    StatusView& m_statusView;
    MainWindowView& m_window;
    PlayerListView* m_playerList = nullptr;
    Hooks m_hooks;
    std::array<std::vector<std::string>, 4> m_players;
    int m_listLineCount = 0;
    // A who-is-here line has been captured since the request.
    bool m_presenceSeen = false;
    // The listing's first line (the reply prefix, or "who...") has been read.
    bool m_listStarted = false;
    Timers* m_timers = nullptr;
    std::optional<Timers::TimerId> m_quietTimer;
    std::string m_lastSummary;
};

} // namespace corvane
