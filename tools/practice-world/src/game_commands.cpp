#include "game_commands.h"

#include "mud_manner.h"

#include "arrival.h"
#include "banners.h"
#include "flood_text.h"
#include "text_format.h"
#include "who_texts.h"

#include <charconv>
#include <vector>

namespace practice_world {

namespace {

constexpr std::string_view kHuh = "Huh?  (Type \"help\" for help.)";
constexpr std::string_view kArrivePrefix = "_arrive/";

// The first word and the trimmed rest.
std::pair<std::string_view, std::string_view> splitWord(std::string_view line) {
    const auto space = line.find_first_of(" \t");
    if (space == std::string_view::npos)
        return {line, {}};
    return {line.substr(0, space), trim(line.substr(space))};
}

// "name=text" as page and whisper take it, both trimmed; no "=" is no text.
std::pair<std::string_view, std::string_view> splitAtEquals(std::string_view argument) {
    const auto equals = argument.find('=');
    if (equals == std::string_view::npos)
        return {trim(argument), {}};
    return {trim(argument.substr(0, equals)), trim(argument.substr(equals + 1))};
}

const Room::Exit* findExit(const Room& room, std::string_view word) {
    for (const Room::Exit& exit : room.exits) {
        for (const std::string& name : exit.names) {
            if (equalsIgnoreCase(name, word))
                return &exit;
        }
    }
    return nullptr;
}

} // namespace

const GameCommands::Entry GameCommands::kCommands[] = {
    {"look", &GameCommands::look},
    {"l", &GameCommands::look},
    {"say", &GameCommands::say},
    {"pose", &GameCommands::pose},
    {"page", &GameCommands::page},
    {"p", &GameCommands::page},
    {"@page", &GameCommands::plainPage},
    {"whisper", &GameCommands::whisper},
    {"w", &GameCommands::whisper},
    {"rex", &GameCommands::puppet},
    {"@force", &GameCommands::force},
    {"home", &GameCommands::home},
    {"gohome", &GameCommands::home},
    {"laston", &GameCommands::laston},
    {"where", &GameCommands::where},
    {"pinfo", &GameCommands::pinfo},
    {"whospe", &GameCommands::whospe},
    {"@set", &GameCommands::setProperty},
    {"who", &GameCommands::who},
    {"help", &GameCommands::help},
    {"@flood", &GameCommands::flood},
    {"@doing", &GameCommands::doing},
    {"inventory", &GameCommands::inventory},
    {"inv", &GameCommands::inventory},
    {"i", &GameCommands::inventory},
    {"quit", &GameCommands::lowerCaseQuit},
    {"motd", &GameCommands::messageOfTheDay},
};

GameCommands::GameCommands(Database& database, const Sessions& sessions, std::chrono::seconds idleThreshold,
                           Manner manner)
    : m_database(database)
    , m_sessions(sessions)
    , m_idleThreshold(idleThreshold)
    , m_manner(manner) {}

void GameCommands::run(Dbref caller, std::string_view line, WallTime now, Outbox& out) {
    if (line.empty())
        return;
    Player& me = *m_database.player(caller);
    if (line.front() == '"' || line.front() == ':') {
        Call call{me, trim(line.substr(1)), now, out};
        line.front() == '"' ? say(call) : pose(call);
        return;
    }
    const auto [word, argument] = splitWord(line);
    // Exits are tried before commands, as on the servers this imitates.
    if (const Room* here = m_database.room(me.location)) {
        if (const Room::Exit* exit = argument.empty() ? findExit(*here, word) : nullptr) {
            Call call{me, {}, now, out};
            travel(call, exit->destination, me.name + " has left.");
            return;
        }
    }
    for (const Entry& entry : kCommands) {
        if (equalsIgnoreCase(entry.name, word)) {
            Call call{me, argument, now, out};
            (this->*entry.handler)(call);
            return;
        }
    }
    out.reply(m_manner == Manner::Mud ? mud::unknownCommand(word) : std::string(kHuh));
}

void GameCommands::describeRoom(const Player& viewer, Outbox& out) const {
    const Room* room = m_database.room(viewer.location);
    if (!room)
        return;
    out.reply(room->name);
    out.reply(room->description);
    bool headed = false;
    for (Dbref ref : room->contents) {
        if (ref == viewer.ref)
            continue;
        if (!headed)
            out.reply("Contents:");
        headed = true;
        out.reply(m_database.nameOf(ref));
    }
    // Newer servers' default look lists the exits, which a client may walk by.
    if (m_manner == Manner::Modern && !room->exits.empty()) {
        std::string exits = "Obvious exits: ";
        for (std::size_t i = 0; i < room->exits.size(); ++i) {
            exits += (i == 0 ? "" : i + 1 == room->exits.size() ? " and " : ", ") + room->exits[i].names.front();
        }
        out.reply(exits + ".");
    }
}

void GameCommands::announce(Dbref roomRef, std::string_view line, Dbref except, Outbox& out) const {
    const Room* room = m_database.room(roomRef);
    if (!room)
        return;
    for (Dbref ref : room->contents) {
        if (ref != except && m_database.player(ref))
            out.tell(ref, line);
    }
}

void GameCommands::look(Call& call) {
    const std::string_view target = call.argument;
    if (target.empty() || equalsIgnoreCase(target, "here")) {
        describeRoom(call.me, call.out);
        return;
    }
    if (equalsIgnoreCase(target, "me") || equalsIgnoreCase(target, call.me.name)) {
        call.out.reply(call.me.name);
        call.out.reply(call.me.description.empty() ? "You see nothing special." : call.me.description);
        return;
    }
    const Room* room = m_database.room(call.me.location);
    for (Dbref ref : room->contents) {
        if (!startsWithIgnoreCase(m_database.nameOf(ref), target))
            continue;
        const Player* player = m_database.player(ref);
        const Thing* thing = m_database.thing(ref);
        call.out.reply(m_database.nameOf(ref));
        call.out.reply(player ? player->description : thing->description);
        return;
    }
    if (findExit(*room, target)) {
        call.out.reply("You see nothing special.");
        return;
    }
    call.out.reply("I don't see that here.");
}

void GameCommands::say(Call& call) {
    if (call.argument.empty()) {
        call.out.reply("What do you want to say?");
        return;
    }
    const std::string text(call.argument);
    call.out.reply("You say, \"" + text + "\"");
    announce(call.me.location, call.me.name + " says, \"" + text + "\"", call.me.ref, call.out);
}

void GameCommands::pose(Call& call) {
    if (call.argument.empty()) {
        call.out.reply("What do you want to do?");
        return;
    }
    const std::string line = call.me.name + " " + std::string(call.argument);
    call.out.reply(line);
    announce(call.me.location, line, call.me.ref, call.out);
}

// The page program most MUCKs run: several names before the "=", a pose after
// ":", and a page without text to say one is looking for someone.
void GameCommands::page(Call& call) {
    const auto [names, text] = splitAtEquals(call.argument);
    if (names.empty()) {
        call.out.reply("Usage: page <player> [<player>...]=<message>");
        return;
    }
    std::vector<Player*> targets;
    for (std::string_view rest = names; !rest.empty();) {
        const auto [name, more] = splitWord(rest);
        rest = more;
        Player* target = lookUpPlayer(call, name);
        if (!target)
            return;
        if (!m_sessions.isAwake(target->ref)) {
            call.out.reply(target->name + " is not connected.");
            return;
        }
        targets.push_back(target);
    }
    if (text.empty()) {
        call.out.reply("Your message has been sent.");
        for (const Player* target : targets)
            call.out.tell(target->ref, "You sense that " + call.me.name + " is looking for you in " +
                                           m_database.nameOf(call.me.location) + ".");
        return;
    }
    std::string all;
    for (std::size_t i = 0; i < targets.size(); ++i)
        all += (i == 0 ? "" : i + 1 == targets.size() ? " and " : ", ") + targets[i]->name;
    if (text.front() == ':') {
        const std::string pose = call.me.name + " " + std::string(trim(text.substr(1)));
        call.out.reply("You page-pose, \"" + pose + "\" to " + all + ".");
        for (const Player* target : targets)
            call.out.tell(target->ref, "In a page-pose to you, " + pose + (pose.back() == '.' ? "" : "."));
        return;
    }
    call.out.reply("You page, \"" + std::string(text) + "\" to " + all + ".");
    for (const Player* target : targets) {
        std::string others;
        for (const Player* other : targets) {
            if (other != target)
                others += ", " + other->name;
        }
        call.out.tell(target->ref, call.me.name + " pages, \"" + std::string(text) + "\" to you" + others + ".");
    }
}

// The server's own page, as older MUCKs answer it without a page program.
void GameCommands::plainPage(Call& call) {
    const auto [name, text] = splitAtEquals(call.argument);
    if (name.empty() || text.empty()) {
        call.out.reply("Usage: @page <player>=<message>");
        return;
    }
    Player* target = lookUpPlayer(call, name);
    if (!target)
        return;
    if (!m_sessions.isAwake(target->ref)) {
        call.out.reply(target->name + " is not connected.");
        return;
    }
    call.out.reply("You paged " + target->name + " with \"" + std::string(text) + "\".");
    call.out.tell(target->ref, call.me.name + " pages: " + std::string(text));
}

// Only to someone awake in the same room. The newer server adds "to you".
void GameCommands::whisper(Call& call) {
    const auto [name, text] = splitAtEquals(call.argument);
    if (name.empty() || text.empty()) {
        call.out.reply("Usage: whisper <player>=<message>");
        return;
    }
    Player* target = lookUpPlayer(call, name);
    if (!target)
        return;
    if (!m_sessions.isAwake(target->ref) || target->location != call.me.location) {
        call.out.reply(target->name + " is not here.");
        return;
    }
    call.out.reply("You whisper, \"" + std::string(text) + "\" to " + target->name + ".");
    call.out.tell(target->ref, call.me.name + " whispers, \"" + std::string(text) + "\"" +
                                   (m_manner == Manner::Framed ? "" : " to you."));
}

// Rex, everyone's puppet dog: what he does and hears comes back as "Rex> ...".
void GameCommands::puppet(Call& call) {
    if (call.argument.empty()) {
        call.out.reply("Usage: rex <action>, or rex say <text>");
        return;
    }
    const auto [verb, rest] = splitWord(call.argument);
    if (equalsIgnoreCase(verb, "say"))
        call.out.reply("Rex> Rex says, \"" + std::string(rest) + "\"");
    else
        call.out.reply("Rex> Rex " + std::string(call.argument));
}

void GameCommands::force(Call& call) {
    const auto equals = call.argument.find('=');
    if (equals == std::string_view::npos || !equalsIgnoreCase(trim(call.argument.substr(0, equals)), "rex")) {
        call.out.reply("You can only force Rex here.");
        return;
    }
    Call forced{call.me, trim(call.argument.substr(equals + 1)), call.now, call.out};
    puppet(forced);
}

void GameCommands::home(Call& call) {
    for (int i = 0; i < 3; ++i)
        call.out.reply("There's no place like home...");
    call.out.reply("You wake up back home, without your possessions.");
    travel(call, call.me.home, call.me.name + " goes home.");
}

void GameCommands::laston(Call& call) {
    if (call.argument.empty()) {
        call.out.reply("Usage: laston <player>");
        return;
    }
    const Player* target = lookUpPlayer(call, call.argument);
    if (!target)
        return;
    if (m_sessions.isAwake(target->ref))
        call.out.reply(target->name + " is currently connected.");
    else if (target->lastSeen == WallTime{})
        call.out.reply(target->name + " has never connected.");
    else
        call.out.reply(target->name + " was last on " + formatDate(target->lastSeen) + " (UTC).");
}

void GameCommands::where(Call& call) {
    call.out.reply("Player               Location");
    for (Dbref ref : m_sessions.playersOnline()) {
        const Player* player = m_database.player(ref);
        call.out.reply(padRight(player->name, 21) + m_database.nameOf(player->location));
    }
}

void GameCommands::pinfo(Call& call) {
    const Player* target = call.argument.empty() ? &call.me : lookUpPlayer(call, call.argument);
    if (!target)
        return;
    call.out.reply(target->name + " (#" + std::to_string(target->ref) + "), a " + target->sex + " " +
                   target->species + ".");
    call.out.reply("Home: " + m_database.nameOf(target->home) +
                   ".  Now: " + m_database.nameOf(target->location) + ".");
    call.out.reply("Status: " + statusOf(*target, call.now) + ".");
}

void GameCommands::whospe(Call& call) {
    const bool far = equalsIgnoreCase(call.argument, "#far");
    if (!far && !call.argument.empty()) {
        call.out.reply("Usage: whospe [#far]");
        return;
    }
    call.out.reply(padRight("Name", 16) + padRight("Sex", 9) + padRight("Species", 12) +
                   (far ? "Location" : "Status"));
    std::vector<Dbref> listed;
    if (far) {
        listed = m_sessions.playersOnline();
    } else {
        for (Dbref ref : m_database.room(call.me.location)->contents) {
            if (m_database.player(ref))
                listed.push_back(ref);
        }
    }
    for (Dbref ref : listed) {
        const Player& p = *m_database.player(ref);
        call.out.reply(padRight(p.name, 16) + padRight(p.sex, 9) + padRight(p.species, 12) +
                       (far ? m_database.nameOf(p.location) : statusOf(p, call.now)));
    }
}

void GameCommands::setProperty(Call& call) {
    const auto equals = call.argument.find('=');
    if (equals == std::string_view::npos) {
        call.out.reply("Usage: @set <object>=<property>:<value>");
        return;
    }
    const std::string_view target = trim(call.argument.substr(0, equals));
    const std::string_view assignment = call.argument.substr(equals + 1);
    if (!equalsIgnoreCase(target, "me") && !equalsIgnoreCase(target, call.me.name)) {
        const bool known = m_database.findPlayer(target) != nullptr;
        call.out.reply(known ? "Permission denied." : "I don't see that here.");
        return;
    }
    const auto colon = assignment.find(':');
    if (colon == std::string_view::npos) {
        call.out.reply("I don't recognize that flag.");
        return;
    }
    const std::string name(trim(assignment.substr(0, colon)));
    const std::string_view value = assignment.substr(colon + 1);
    if (name.empty()) {
        call.out.reply("Usage: @set <object>=<property>:<value>");
        return;
    }
    if (trim(value).empty()) {
        call.me.properties.erase(name);
        call.out.reply("Property removed.");
    } else {
        call.me.properties[name] = std::string(value);
        call.out.reply("Property set.");
    }
}

void GameCommands::who(Call& call) {
    RoomCensus census;
    census.awake.push_back(call.me.name);
    for (Dbref ref : m_database.room(call.me.location)->contents) {
        if (ref == call.me.ref)
            continue;
        if (const Thing* thing = m_database.thing(ref)) {
            if (thing->listens)
                census.puppets.push_back(thing->name);
            continue;
        }
        const Player* player = m_database.player(ref);
        if (!player)
            continue;
        if (!m_sessions.isAwake(ref)) {
            census.sleepers.push_back(player->name);
            continue;
        }
        const auto idle = m_sessions.idleOf(ref, call.now);
        if (idle >= m_idleThreshold)
            census.idlers.push_back(player->name + "[" + std::to_string(idle.count() / 60) + "m]");
        else
            census.awake.push_back(player->name);
    }
    for (const std::string& line : roomWhoLines(census))
        call.out.reply(line);
}

void GameCommands::help(Call& call) {
    static const char* const kLines[] = {
        "Commands in the practice world:",
        "  look [thing]          Look at the room or at something in it.",
        "  north, n, ne, in, ... Walk through an exit.",
        "  say TEXT, \"TEXT       Speak to the room.",
        "  pose TEXT, :TEXT      Act in the room.",
        "  page NAME=TEXT        Send a private message (page A B=TEXT to several,",
        "                        page NAME=:TEXT to pose, page NAME to look for them).",
        "  @page NAME=TEXT       The server's own page (\"NAME pages: TEXT\").",
        "  whisper NAME=TEXT     Whisper to someone in the room (w for short).",
        "  rex ACTION, @force rex=ACTION   Work Rex, the town's puppet dog.",
        "  home, gohome          Go back to your home room.",
        "  who, WHO              Who is here; who is connected.",
        "  where, laston NAME, pinfo NAME, whospe [#far]",
        "  @set me=PROP:VALUE    Set a property (an empty VALUE removes it).",
        "  @doing TEXT           What WHO shows you doing.",
        "  @flood N              N lines of test text.",
    };
    for (const char* line : kLines)
        call.out.reply(line);
    call.out.reply(m_manner == Manner::Modern ? "  motd, QUIT"
                                              : "  OUTPUTPREFIX TEXT, OUTPUTSUFFIX TEXT, QUIT");
}

void GameCommands::flood(Call& call) {
    int count = 0;
    const auto* first = call.argument.data();
    const auto* last = first + call.argument.size();
    const auto [end, error] = std::from_chars(first, last, count);
    if (call.argument.empty() || error != std::errc() || end != last || count < 1 || count > kMaxFloodLines) {
        call.out.reply("Usage: @flood <number of lines, 1 to " + std::to_string(kMaxFloodLines) + ">");
        return;
    }
    for (const std::string& line : floodLines(count))
        call.out.reply(line);
}

void GameCommands::doing(Call& call) {
    call.me.doing = std::string(call.argument.substr(0, 40));
    call.out.reply(call.me.doing.empty() ? "Doing cleared." : "Doing set.");
}

void GameCommands::inventory(Call& call) {
    call.out.reply("You aren't carrying anything.");
}

void GameCommands::lowerCaseQuit(Call& call) {
    call.out.reply("Oops! Did you mean 'QUIT' in all capital letters?");
}

void GameCommands::messageOfTheDay(Call& call) {
    // The classic server has no such command.
    if (m_manner != Manner::Modern) {
        call.out.reply(kHuh);
        return;
    }
    call.out.replyRaw(practice_world::messageOfTheDay());
}

void GameCommands::travel(Call& call, Dbref destination, std::string_view leaveLine) {
    announce(call.me.location, leaveLine, call.me.ref, call.out);
    m_database.movePlayer(call.me.ref, destination);
    announce(destination, call.me.name + " has arrived.", call.me.ref, call.out);
    describeRoom(call.me, call.out);
    sendArrivals(call.me, call.out);
    greetArrival(call.me, call.out);
}

void GameCommands::sendArrivals(const Player& mover, Outbox& out) const {
    const ArrivalContext context{mover.location, m_database.nameOf(mover.location), mover.ref, mover.name};
    for (auto it = mover.properties.lower_bound(std::string(kArrivePrefix));
         it != mover.properties.end() && it->first.starts_with(kArrivePrefix); ++it)
        out.reply(arrivalLine(it->second, context));
}

void GameCommands::greetArrival(const Player& mover, Outbox& out) const {
    const Room* room = m_database.room(mover.location);
    if (!room)
        return;
    for (Dbref ref : room->contents) {
        const Player* bot = m_database.player(ref);
        if (bot && bot->bot && !bot->greeting.empty())
            announce(room->ref, bot->name + " says, \"" + bot->greeting + "\"", bot->ref, out);
    }
}

Player* GameCommands::lookUpPlayer(Call& call, std::string_view name) {
    Player* player = m_database.findPlayer(name);
    if (!player)
        call.out.reply("I don't recognize anyone named '" + std::string(name) + "'.");
    return player;
}

std::string GameCommands::statusOf(const Player& player, WallTime now) const {
    if (!m_sessions.isAwake(player.ref))
        return "asleep";
    const auto idle = m_sessions.idleOf(player.ref, now);
    return idle >= m_idleThreshold ? "idle " + formatIdle(idle) : "awake";
}

} // namespace practice_world
