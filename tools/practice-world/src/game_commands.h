#pragma once

#include "database.h"
#include "outbox.h"
#include "sessions.h"

#include <chrono>
#include <string_view>

namespace practice_world {

// The commands of a logged-in player: moving, talking, looking, properties and
// the small informational commands a MUCK usually has in softcode. Answers go
// to an Outbox; framing them is the World's business.
class GameCommands {
public:
    GameCommands(Database& database, const Sessions& sessions, std::chrono::seconds idleThreshold,
                 Manner manner);

    void run(Dbref caller, std::string_view line, WallTime now, Outbox& out);
    // The viewer's room as `look` shows it.
    void describeRoom(const Player& viewer, Outbox& out) const;
    // Tells everyone awake in `room` except `except`.
    void announce(Dbref room, std::string_view line, Dbref except, Outbox& out) const;

private:
    struct Call {
        Player& me;
        std::string_view argument;
        WallTime now;
        Outbox& out;
    };
    using Handler = void (GameCommands::*)(Call&);
    struct Entry {
        std::string_view name;
        Handler handler;
    };
    static const Entry kCommands[];

    void look(Call& call);
    void say(Call& call);
    void pose(Call& call);
    void page(Call& call);
    void plainPage(Call& call);
    void whisper(Call& call);
    void puppet(Call& call);
    void force(Call& call);
    void home(Call& call);
    void laston(Call& call);
    void where(Call& call);
    void pinfo(Call& call);
    void whospe(Call& call);
    void setProperty(Call& call);
    void who(Call& call);
    void help(Call& call);
    void flood(Call& call);
    void doing(Call& call);
    void inventory(Call& call);
    void lowerCaseQuit(Call& call);
    void messageOfTheDay(Call& call);

    void travel(Call& call, Dbref destination, std::string_view leaveLine);
    void sendArrivals(const Player& mover, Outbox& out) const;
    // Every bot in the mover's new room says its greeting to the room.
    void greetArrival(const Player& mover, Outbox& out) const;
    // Any player by name; says so and returns null when there is none.
    Player* lookUpPlayer(Call& call, std::string_view name);
    std::string statusOf(const Player& player, WallTime now) const;

    Database& m_database;
    const Sessions& m_sessions;
    std::chrono::seconds m_idleThreshold;
    Manner m_manner;
};

} // namespace practice_world
