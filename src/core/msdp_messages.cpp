#include "core/msdp_messages.h"

#include "core/session.h"
#include "core/text_codec.h"
#include "core/vitals_report.h"
#include "wire/msdp_reader.h"

#include <array>
#include <string_view>
#include <utility>

namespace corvane {

namespace {

using Json = nlohmann::json;

// MSDP's names for the vitals, and Char.Vitals's.
constexpr std::array<std::pair<std::string_view, const char*>, 6> kVitals{{{"HEALTH", "hp"},
                                                                           {"HEALTH_MAX", "maxhp"},
                                                                           {"MANA", "mp"},
                                                                           {"MANA_MAX", "maxmp"},
                                                                           {"MOVEMENT", "mv"},
                                                                           {"MOVEMENT_MAX", "maxmv"}}};

// ROOM's table as Room.Info's object; names in any case.
Json roomObject(const Json& table) {
    static constexpr std::array<std::pair<std::string_view, const char*>, 4> kParts{
        {{"VNUM", "num"}, {"NAME", "name"}, {"AREA", "area"}, {"EXITS", "exits"}}};
    Json room = Json::object();
    for (const auto& [key, value] : table.items()) {
        for (const auto& [msdp, gmcp] : kParts) {
            if (EqualsNoCase(key, msdp)) {
                room[gmcp] = value;
            }
        }
    }
    return room;
}

} // namespace

void MsdpMessages::reset() {
    m_room = Json::object();
    m_roomTold.reset();
    m_entering = false;
    m_told = false;
}

void MsdpMessages::readEnded() {
    tellEntering();
}

void MsdpMessages::tellEntering() {
    if (m_entering) {
        tellRoom({.entered = true, .named = true});
    }
}

void MsdpMessages::tellOnce(const std::string& line) {
    if (!m_told && m_events.notice) {
        m_told = true;
        m_events.notice(line);
    }
}

void MsdpMessages::dropped() {
    tellOnce("*** The world's variables (MSDP) were too long to read; they were left out.");
}

void MsdpMessages::received(std::string_view payload) {
    const MsdpReport report = MsdpReport::Read(payload);
    if (report.cut) {
        tellOnce(
            "*** The world's variables (MSDP) were more than Corvane reads at once; the rest were left out.");
    }
    Changes changes;
    for (const MsdpReport::Variable& variable : report.variables) {
        if (m_events.variable) {
            m_events.variable(variable.name, variable.value);
        }
        take(variable.name, variable.value, changes);
    }
    if (!changes.vitals.empty()) {
        const std::string text = m_vitals.take(changes.vitals);
        if (!text.empty() && m_events.vitals) {
            m_events.vitals(text);
        }
    }
    if (changes.entered || changes.details) {
        tellRoom(changes);
    }
}

void MsdpMessages::take(const std::string& name, const Json& value, Changes& changes) {
    for (const auto& [msdp, gmcp] : kVitals) {
        if (EqualsNoCase(name, msdp)) {
            if (value.is_string() && value.get_ref<const std::string&>().size() <= kMaxVitalBytes) {
                changes.vitals[gmcp] = value;
            }
            return;
        }
    }
    if (EqualsNoCase(name, "ROOM") && value.is_object()) {
        tellEntering();
        m_room = roomObject(value);
        changes.entered = true;
        changes.named = true;
    } else if (EqualsNoCase(name, "ROOM_VNUM") && value.is_string()) {
        // Moving on before the last room was named: that room is still told.
        tellEntering();
        m_room["num"] = value;
        changes.entered = true;
    } else if (EqualsNoCase(name, "ROOM_NAME") && value.is_string()) {
        // A name alone moves no one: worlds report it before the number that does.
        m_room["name"] = value;
        changes.named = true;
        changes.details = true;
    } else if (EqualsNoCase(name, "AREA_NAME") && value.is_string()) {
        m_room["area"] = value;
    } else if (EqualsNoCase(name, "ROOM_EXITS") && (value.is_object() || value.is_array())) {
        m_room["exits"] = value;
        changes.details = true;
    }
}

void MsdpMessages::tellRoom(const Changes& changes) {
    GmcpMessages::RoomInfo room = GmcpMessages::RoomInfoFrom(m_room);
    if ((changes.entered || m_entering) &&
        (!m_roomTold || room.number != m_roomTold->number || room.name != m_roomTold->name)) {
        m_entering = !changes.named;
        if (m_entering) {
            return;
        }
        m_roomTold = room;
        // A world speaking GMCP too may have told this room already.
        if (m_session.RoomRef != room.number || m_session.RoomName != room.name) {
            if (m_events.roomInfo) {
                m_events.roomInfo(room);
            }
        } else if (m_events.exits) {
            m_events.exits(std::move(room.exits));
        }
        return;
    }
    m_entering = false;
    GmcpMessages::RoomInfo& told = m_roomTold ? *m_roomTold : m_roomTold.emplace();
    if (room.name != told.name) {
        told.name = room.name;
        if (m_events.roomNamed) {
            m_events.roomNamed(room.name);
        }
    }
    if (room.exits != told.exits) {
        told.exits = room.exits;
        if (m_events.exits) {
            m_events.exits(std::move(room.exits));
        }
    }
}

} // namespace corvane
