#include "wire/msdp_reader.h"

#include <array>

namespace corvane {

namespace {

constexpr char kVar = 1;
constexpr char kVal = 2;
constexpr char kTableOpen = 3;
constexpr char kTableClose = 4;
constexpr char kArrayOpen = 5;
constexpr char kArrayClose = 6;
constexpr unsigned char kIac = 255;
constexpr unsigned char kSb = 250;
constexpr unsigned char kSe = 240;

using nlohmann::json;

// Length of the valid UTF-8 sequence at the start of `bytes`, 0 if none.
std::size_t utf8Length(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Names and values go on as text (to scripts, and into JSON files): a byte
// that does not belong to valid UTF-8 becomes U+FFFD.
std::string validUtf8(std::string bytes) {
    std::string_view rest(bytes);
    std::string out;
    bool changed = false;
    while (!rest.empty()) {
        const std::size_t length = utf8Length(rest);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            rest.remove_prefix(1);
            changed = true;
        } else {
            out.append(rest.substr(0, length));
            rest.remove_prefix(length);
        }
    }
    return changed ? out : bytes;
}

// Reads one subnegotiation front to back. Nesting is followed by recursion
// only to kMaxDepth; below that a value is skipped by counting brackets.
class Reader {
public:
    explicit Reader(std::string_view payload)
        : m_rest(payload) {}

    MsdpReport read() {
        MsdpReport report;
        while (!m_rest.empty()) {
            if (m_rest.front() != kVar) {
                // A stray value or a close with nothing open: not part of a variable.
                m_rest.remove_prefix(1);
                continue;
            }
            m_rest.remove_prefix(1);
            std::string name = text();
            json value = values(0);
            if (report.variables.size() >= MsdpReport::kMaxVariables) {
                m_cut = true;
                continue;
            }
            if (!name.empty() && !value.is_null()) {
                report.variables.push_back({std::move(name), std::move(value)});
            }
        }
        report.cut = m_cut;
        return report;
    }

private:
    // Up to the next marker. A NUL is allowed in neither a name nor a value; it is dropped.
    std::string text() {
        std::string out;
        std::size_t end = 0;
        for (; end < m_rest.size(); ++end) {
            const auto c = static_cast<unsigned char>(m_rest[end]);
            if (c > static_cast<unsigned char>(kArrayClose)) {
                out.push_back(static_cast<char>(c));
            } else if (c != 0) {
                break;
            }
        }
        m_rest.remove_prefix(end);
        return validUtf8(std::move(out));
    }

    bool counted() {
        if (m_values >= MsdpReport::kMaxValues) {
            m_cut = true;
            return false;
        }
        ++m_values;
        return true;
    }

    // The values after a name: one is itself, several are an array.
    json values(int depth) {
        json first;
        json all = json::array();
        int count = 0;
        while (!m_rest.empty() && m_rest.front() == kVal) {
            m_rest.remove_prefix(1);
            json one = value(depth);
            if (one.is_null()) {
                continue;
            }
            if (count++ == 0) {
                first = std::move(one);
            } else {
                if (count == 2) {
                    all.push_back(std::move(first));
                }
                all.push_back(std::move(one));
            }
        }
        return count > 1 ? all : first;
    }

    json value(int depth) {
        if (m_rest.empty()) {
            return json("");
        }
        const char marker = m_rest.front();
        if (marker != kTableOpen && marker != kArrayOpen) {
            std::string read = text();
            return counted() ? json(std::move(read)) : json();
        }
        m_rest.remove_prefix(1);
        if (depth + 1 >= MsdpReport::kMaxDepth || !counted()) {
            m_cut = true;
            skipNested();
            return {};
        }
        const bool table = marker == kTableOpen;
        const char close = table ? kTableClose : kArrayClose;
        json out = table ? json::object() : json::array();
        while (!m_rest.empty() && m_rest.front() != close) {
            const char next = m_rest.front();
            if (table && next == kVar) {
                m_rest.remove_prefix(1);
                std::string name = text();
                json inner = values(depth + 1);
                if (!inner.is_null()) {
                    out[name] = std::move(inner);
                }
            } else if (!table && next == kVal) {
                m_rest.remove_prefix(1);
                json inner = value(depth + 1);
                if (!inner.is_null()) {
                    out.push_back(std::move(inner));
                }
            } else if (next == kTableClose || next == kArrayClose) {
                // The other kind of close: the world lost count; it ends this one.
                break;
            } else {
                m_rest.remove_prefix(1);
            }
        }
        if (!m_rest.empty()) {
            m_rest.remove_prefix(1);
        }
        return out;
    }

    // Past the open already taken, up to and including its close.
    void skipNested() {
        std::size_t open = 1;
        while (!m_rest.empty() && open > 0) {
            const char c = m_rest.front();
            m_rest.remove_prefix(1);
            if (c == kTableOpen || c == kArrayOpen) {
                ++open;
            } else if (c == kTableClose || c == kArrayClose) {
                --open;
            }
        }
    }

    std::string_view m_rest;
    std::size_t m_values = 0;
    bool m_cut = false;
};

} // namespace

MsdpReport MsdpReport::Read(std::string_view payload) {
    return Reader(payload).read();
}

std::string MsdpReport::ReportRequest() {
    static constexpr std::array<std::string_view, 11> kReported{
        "HEALTH", "HEALTH_MAX", "MANA",      "MANA_MAX",  "MOVEMENT",  "MOVEMENT_MAX",
        "ROOM",   "ROOM_NAME",  "ROOM_VNUM", "ROOM_EXITS", "AREA_NAME"};
    std::string out{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(Option), kVar};
    out += "REPORT";
    for (const std::string_view name : kReported) {
        out += kVal;
        out += name;
    }
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSe);
    return out;
}

} // namespace corvane
