#include "core/gmcp_messages.h"

#include "core/telnet_filter.h"
#include "core/text_codec.h"
#include "core/vitals_report.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {

namespace {

using Json = nlohmann::json;

Json parse(std::string_view json) {
    return Json::parse(json.begin(), json.end(), nullptr, false);
}

// Worlds send numbers both as numbers and as strings ("8").
std::string valueText(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_number_integer()) {
        return std::to_string(value.get<long long>());
    }
    if (value.is_number()) {
        const double number = value.get<double>();
        return std::isfinite(number) ? std::to_string(std::llround(number)) : std::string();
    }
    return {};
}

std::string field(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? std::string() : valueText(*found);
}

std::int32_t roomNumber(const Json& value) {
    double number = 0;
    if (value.is_number()) {
        number = value.get<double>();
    } else if (value.is_string()) {
        try {
            number = std::stod(value.get<std::string>());
        } catch (const std::exception&) {
            return 0;
        }
    }
    if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(number);
}

} // namespace

std::string GmcpMessages::VitalsText(std::string_view json) {
    return VitalsTextOf(parse(json));
}

std::string GmcpMessages::VitalsTextOf(const Json& vitals) {
    if (!vitals.is_object()) {
        return {};
    }
    std::string text;
    const auto part = [&](const char* label, const char* key, const char* maxKey) {
        const std::string now = field(vitals, key);
        if (now.empty()) {
            return;
        }
        const std::string most = field(vitals, maxKey);
        if (!text.empty()) {
            text += "  ";
        }
        text += std::string(label) + " " + now + (most.empty() ? std::string() : "/" + most);
    };
    part("HP", "hp", "maxhp");
    part("MP", "mp", "maxmp");
    part("MV", "mv", "maxmv");
    part("EP", "ep", "maxep");
    part("WP", "wp", "maxwp");
    return text;
}

GmcpMessages::RoomInfo GmcpMessages::RoomInfoFrom(const Json& room) {
    RoomInfo info;
    if (!room.is_object()) {
        return info;
    }
    if (const auto num = room.find("num"); num != room.end()) {
        info.number = roomNumber(*num);
    }
    info.name = field(room, "name");
    info.area = field(room, "area");
    if (const auto exits = room.find("exits"); exits != room.end()) {
        if (exits->is_object()) {
            for (const auto& [exit, target] : exits->items()) {
                info.exits.push_back(exit);
            }
        } else if (exits->is_array()) {
            for (const Json& exit : *exits) {
                if (exit.is_string()) {
                    info.exits.push_back(exit.get<std::string>());
                }
            }
        }
    }
    return info;
}

void GmcpMessages::dropped(std::string_view name) {
    constexpr std::size_t kLongestName = 40;
    // The world's bytes: only what a package name is made of is shown.
    std::string shownName;
    for (const char c : name.substr(0, kLongestName)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
            c == '-') {
            shownName.push_back(c);
        }
    }
    std::string package = ToLowerAscii(shownName);
    if (const std::size_t dot = package.rfind('.'); dot != std::string::npos && dot > 0) {
        package.resize(dot);
    }
    if (std::find(m_droppedTold.begin(), m_droppedTold.end(), package) != m_droppedTold.end() ||
        m_droppedTold.size() >= kMaxDroppedNamesTold) {
        return;
    }
    m_droppedTold.push_back(package);
    if (m_events.notice) {
        const std::string shown = shownName.empty() ? std::string("A GMCP message") : "A GMCP " + shownName + " message";
        m_events.notice("*** " + shown + " from the world was larger than " +
                        std::to_string(TelnetFilter::MaxSubnegotiationLength / 1024) +
                        " KiB and was dropped; larger ones of its package are dropped without a word.");
    }
}

void GmcpMessages::message(std::string_view name, std::string_view json) {
    const std::string key = ToLowerAscii(name);
    if (key == "room.info" && m_events.roomInfo) {
        const Json room = parse(json);
        if (!room.is_object()) {
            return;
        }
        m_events.roomInfo(RoomInfoFrom(room));
    } else if (key == "char.vitals" && m_events.vitals) {
        const std::string text = m_vitals.take(parse(json));
        if (!text.empty()) {
            m_events.vitals(text);
        }
    } else if (key == "comm.channel.text" && m_events.channelText) {
        const Json message = parse(json);
        if (message.is_object()) {
            m_events.channelText({field(message, "channel"), field(message, "talker"), field(message, "text")});
        }
    }
}

} // namespace corvane
