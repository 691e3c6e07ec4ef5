#pragma once

#include "core/gmcp_messages.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct Session;

// A MUD's MSDP variables, mapped onto what GMCP feeds: the vitals for the
// status line, the room for the caption and the walk's exits. Every
// variable also goes on as it came, for scripts. Worlds report each
// variable as it changes, often one to a subnegotiation, so what is known
// of the room is kept between reports: the player has moved when the room's
// number (ROOM_VNUM) or the whole room (ROOM) comes and differs; a name or
// exits alone only change the caption or the walk's exits. A number that
// comes without its name is told once the name comes or the read ends,
// whichever is first, so a world that sends the number first is not told
// with the last room's name.
class VitalsReport;

class MsdpMessages {
public:
    struct Events {
        // The player entered another room.
        std::function<void(const GmcpMessages::RoomInfo&)> roomInfo;
        // The room's name came after its number: the same room, now named.
        std::function<void(const std::string&)> roomNamed;
        std::function<void(std::vector<std::string>)> exits;
        // "HP 8/10  MP 5", as GMCP's Char.Vitals gives it.
        std::function<void(const std::string&)> vitals;
        // Each variable by its name, its value a string, an array or an object.
        std::function<void(const std::string& name, const nlohmann::json& value)> variable;
        // A line of the client's own for the main output.
        std::function<void(const std::string&)> notice;
    };
    // Longer is not a number, whatever the world calls it.
    static constexpr std::size_t kMaxVitalBytes = 24;

    // The vitals go into those the world has told by any protocol.
    MsdpMessages(const Session& session, VitalsReport& vitals)
        : m_session(session)
        , m_vitals(vitals) {}

    void setEvents(Events events) { m_events = std::move(events); }
    // One subnegotiation's payload.
    void received(std::string_view payload);
    // One too long to read was left out.
    void dropped();
    // A new connection: nothing is known of its world.
    void reset();
    // All the world sent at once has been read.
    void readEnded();

private:
    // What one report touched.
    struct Changes {
        // The vitals it reported, under Char.Vitals's names.
        nlohmann::json vitals = nlohmann::json::object();
        // The room's number, or the whole room.
        bool entered = false;
        // Its name, or the whole room.
        bool named = false;
        // Its name or its exits.
        bool details = false;
    };
    void take(const std::string& name, const nlohmann::json& value, Changes& changes);
    void tellRoom(const Changes& changes);
    // Tells the room whose name was waited for, as it is known.
    void tellEntering();
    void tellOnce(const std::string& line);

    const Session& m_session;
    VitalsReport& m_vitals;
    Events m_events;
    // GMCP's shape: Room.Info's object.
    nlohmann::json m_room = nlohmann::json::object();
    std::optional<GmcpMessages::RoomInfo> m_roomTold;
    // A new room's number came without its name: the entry waits for it.
    bool m_entering = false;
    bool m_told = false;
};

} // namespace corvane
