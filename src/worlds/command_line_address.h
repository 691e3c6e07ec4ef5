#pragma once

#include <optional>
#include <string>

namespace corvane {

struct WorldAddress {
    std::string host;
    std::string port;
};

// Reads the address another program hands over on the command line:
// "telnet://host:port", "host:port", "host port" or a host alone (port "23").
std::optional<WorldAddress> ParseCommandLineAddress(const std::string& commandLine);

} // namespace corvane
