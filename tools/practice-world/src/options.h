#pragma once

#include <optional>
#include <string>
#include <vector>

namespace practice_world {

// How the server was asked to run, from its command line.
struct Options {
    std::string bindAddress = "127.0.0.1";
    int port = 4201;
    // -1: no TLS port.
    int tlsPort = -1;
    std::string accountsFile;
    int idleSeconds = 180;
    int lagMilliseconds = 0;
    bool telnetProbe = false;
    std::string logFile;
    int maxConnections = 64;
    // The newer server's manners; see Manner.
    bool modern = false;
    // Behave like a MUD server (--mud); see the README.
    bool mud = false;
    // With mud: a Diku-family server's manners (--diku); see the README.
    bool diku = false;
    // With mud: compress what is sent (MCCP2) once the client agrees (--mccp).
    bool mccp = false;
    // With modern: a connection quiet this long in both directions gets IAC NOP.
    int nopSeconds = 60;
    // End TLS sessions without close_notify, as a cut link or a killed
    // server does (--tls-cut-off).
    bool tlsCutOff = false;
    bool help = false;
    bool version = false;
};

// `arguments` excludes the program name. On a bad argument returns nullopt and
// says why in `error`.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);
std::string usageText();

} // namespace practice_world
