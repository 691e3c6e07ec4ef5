#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One thing a world says about itself: "PLAYERS" and its values (a
// variable may have several, such as the languages it speaks).
struct MsspVariable {
    std::string name;
    std::vector<std::string> values;
};

// What a world sent in one MSSP subnegotiation (telnet option 70):
// MSSP_VAR name MSSP_VAL value [MSSP_VAL value ...], repeated. What is kept
// is bounded whatever the world sends; `cut` says something was left out.
struct MsspReport {
    static constexpr unsigned char Option = 70;
    static constexpr std::size_t kMaxVariables = 128;
    static constexpr std::size_t kMaxValues = 16;
    static constexpr std::size_t kMaxTextBytes = 512;

    std::vector<MsspVariable> variables;
    bool cut = false;

    // Control characters become spaces: the text is shown as it is.
    static MsspReport Read(std::string_view payload);
    // The values of the first variable of that name (names compare without
    // case), or none.
    const std::vector<std::string>* find(std::string_view name) const;
};

} // namespace corvane
