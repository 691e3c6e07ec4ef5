#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace corvane {

// What the world has told of the character's vitals, under Char.Vitals's
// names ("hp", "maxhp", "mp", ...), whichever protocol told it. A world that
// speaks both GMCP and MSDP may report some in one and the rest in the other,
// and either may send only what changed: the status line shows all that is
// known, not whichever report came last.
class VitalsReport {
public:
    // Takes what one report carried. Returns the status text for all that is
    // known when it differs from the last one returned, else empty.
    std::string take(const nlohmann::json& fields);
    // A new connection: nothing is known of its world.
    void clear();

private:
    nlohmann::json m_known = nlohmann::json::object();
    std::string m_told;
};

} // namespace corvane
