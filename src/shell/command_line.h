#pragma once

#include <string>
#include <vector>

namespace corvane {

// What the program was asked to do on its command line.
struct CommandLineOptions {
    bool showHelp = false;
    bool showVersion = false;
    std::string settingsPath;
    // Start logged in: a stored world and one of its stored characters.
    std::string world;
    std::string character;
    // The address of a world to connect to at once ("telnet://host:port",
    // "host port" or "host"), the positional words joined by blanks.
    std::string address;
    std::string error;
};

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);
std::string UsageText();

} // namespace corvane
