#include "core/vitals_report.h"

#include "core/gmcp_messages.h"

#include <array>

namespace corvane {

namespace {
// Only what the status line reads is kept, so a world naming ever new
// fields cannot grow it.
constexpr std::array<const char*, 10> kKept{"hp", "maxhp", "mp", "maxmp", "mv",
                                            "maxmv", "ep", "maxep", "wp", "maxwp"};
} // namespace

std::string VitalsReport::take(const nlohmann::json& fields) {
    if (!fields.is_object()) {
        return {};
    }
    for (const char* key : kKept) {
        if (const auto found = fields.find(key); found != fields.end()) {
            m_known[key] = *found;
        }
    }
    std::string text = GmcpMessages::VitalsTextOf(m_known);
    if (text.empty() || text == m_told) {
        return {};
    }
    m_told = text;
    return text;
}

void VitalsReport::clear() {
    m_known = nlohmann::json::object();
    m_told.clear();
}

} // namespace corvane
