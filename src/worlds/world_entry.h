#pragma once

#include <optional>
#include <string>

namespace corvane {

inline constexpr const char* kAddressSection = "Addresses";
// In the world's own section: "True" when the world is reached over TLS.
inline constexpr const char* kSecureKey = "Secure";
// In the world's own section: "False" when the world's MCP lines are shown as
// they come and never answered.
inline constexpr const char* kMcpKey = "MCP";
// In the world's own section: "True" when the world's MXP links and colours
// are read. Worlds stored before it existed have no key, and stay as they were.
inline constexpr const char* kMxpKey = "MXP";

// One world of the address book, as stored under "MUD n" in the settings file.
struct WorldEntry {
    std::string name;
    std::string host;
    std::string port;
    // Kept in the world's section, not in the "MUD n" value.
    bool secure = false;
    // The section's "Encoding=" as stored: text that names no encoding is
    // kept as it is, for whatever wrote it, and reads as automatic.
    std::string encoding;
    // Speaks MCP with the world; off only by the world's "MCP=False".
    bool mcp = true;
    // The section's "Server=" as stored: text that names no kind of server
    // is kept as it is and reads as a MUCK.
    std::string server;
    // The section's "Login=" as stored; absent or unknown reads as "connect".
    std::string login;
    // Reads MXP; on only by the world's "MXP=True".
    bool mxp = false;
};

// The key of the n-th stored world, counting from 1.
std::string WorldKey(int number);

// Reads "name,host,port": the first comma ends the name, the second the host,
// and the port is the rest. nullopt when a comma is missing.
std::optional<WorldEntry> ParseWorldEntry(const std::string& value);
std::string FormatWorldEntry(const WorldEntry& entry);

// The world's "MXP=True", read from the settings file when it connects.
bool WorldSpeaksMxp(const std::string& worldName, const std::string& settingsPath);

} // namespace corvane
