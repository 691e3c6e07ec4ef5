#pragma once

#include <optional>
#include <string>

namespace corvane {

struct WorldAddress {
    std::string host;
    std::string port;
    bool secure = false;
};

// Reads the address another program hands over on the command line:
// "telnet://host:port", "host:port", "host port" or a host alone (port "23");
// "telnets://host:port" asks for a secure connection (port "992" when none).
std::optional<WorldAddress> ParseCommandLineAddress(const std::string& commandLine);

} // namespace corvane
