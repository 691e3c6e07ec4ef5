#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class VitalsReport;

// The GMCP messages Corvane uses, read from their JSON into typed events.
// Anything else, and anything malformed, is ignored.
class GmcpMessages {
public:
    struct RoomInfo {
        std::int32_t number = 0;
        std::string name;
        std::string area;
        // The exits' names as the world spells them ("n", "north", "se").
        std::vector<std::string> exits;
    };
    struct ChannelText {
        std::string channel;
        std::string talker;
        std::string text;
    };
    struct Events {
        std::function<void(const RoomInfo&)> roomInfo;
        // "HP 8/10  MP 5": for the status line.
        std::function<void(const std::string&)> vitals;
        std::function<void(const ChannelText&)> channelText;
        // A line of the client's own for the main output.
        std::function<void(const std::string&)> notice;
    };
    // Packages told about, so that a world repeating itself is told once.
    static constexpr std::size_t kMaxDroppedNamesTold = 64;

    // Char.Vitals goes into the vitals the world has told by any protocol.
    explicit GmcpMessages(VitalsReport& vitals)
        : m_vitals(vitals) {}

    void setEvents(Events events) { m_events = std::move(events); }
    void message(std::string_view name, std::string_view json);
    // A message too long to take was dropped: said once per package.
    void dropped(std::string_view name);

    // Char.Vitals as the status line shows it; empty when it says nothing usable.
    static std::string VitalsText(std::string_view json);
    // The same, from the object already read ("hp", "maxhp", "mp", ...).
    static std::string VitalsTextOf(const nlohmann::json& vitals);
    // Room.Info's object ("num", "name", "area", "exits" as an object or an array of names).
    static RoomInfo RoomInfoFrom(const nlohmann::json& room);

private:
    VitalsReport& m_vitals;
    Events m_events;
    std::vector<std::string> m_droppedTold;
};

} // namespace corvane
