#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// MSDP (telnet option 69): the world's variables, each a string, an array
// or a table of named values, nested. Read into JSON values, bounded in
// nesting and in size whatever the world sends; `cut` says something was
// left out.
struct MsdpReport {
    static constexpr unsigned char Option = 69;
    // Deeper tables and arrays are skipped whole.
    static constexpr int kMaxDepth = 16;
    static constexpr std::size_t kMaxVariables = 256;
    // Strings, arrays and tables in one subnegotiation.
    static constexpr std::size_t kMaxValues = 8192;

    struct Variable {
        std::string name;
        // A string, or an array (several values, or MSDP's array), or an
        // object (MSDP's table).
        nlohmann::json value;
    };
    std::vector<Variable> variables;
    bool cut = false;

    static MsdpReport Read(std::string_view payload);

    // What Corvane asks for once the world agreed: that it report the
    // vitals and the room as they change. Framed for the wire.
    static std::string ReportRequest();
};

} // namespace corvane
