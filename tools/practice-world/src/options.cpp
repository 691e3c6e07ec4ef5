#include "options.h"

#include <charconv>

namespace practice_world {

namespace {

bool parseInt(const std::string& text, int low, int high, int& value) {
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || parsed < low ||
        parsed > high)
        return false;
    value = parsed;
    return true;
}

struct IntOption {
    const char* name;
    int Options::*field;
    int low;
    int high;
};

const IntOption kIntOptions[] = {
    {"--port", &Options::port, 0, 65535},
    {"--tls-port", &Options::tlsPort, 0, 65535},
    {"--idle-seconds", &Options::idleSeconds, 0, 86400 * 365},
    {"--lag", &Options::lagMilliseconds, 0, 60000},
    {"--max-connections", &Options::maxConnections, 1, 1000},
    {"--nop-seconds", &Options::nopSeconds, 1, 86400},
};

struct TextOption {
    const char* name;
    std::string Options::*field;
};

const TextOption kTextOptions[] = {
    {"--bind", &Options::bindAddress},
    {"--accounts", &Options::accountsFile},
    {"--log", &Options::logFile},
};

} // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if ((name == "--version" || name == "-v") && !value) {
            options.version = true;
            continue;
        }
        if (name == "--telnet-probe" && !value) {
            options.telnetProbe = true;
            continue;
        }
        if (name == "--modern" && !value) {
            options.modern = true;
            continue;
        }
        if (name == "--tls-cut-off" && !value) {
            options.tlsCutOff = true;
            continue;
        }
        if (name == "--mud" && !value) {
            options.mud = true;
            continue;
        }
        if (name == "--mccp" && !value) {
            // Compression is a MUD's offer: the switch brings the MUD manner with it.
            options.mud = true;
            options.mccp = true;
            continue;
        }
        if (name == "--diku" && !value) {
            // A Diku is a MUD: the switch brings the MUD manner with it.
            options.mud = true;
            options.diku = true;
            continue;
        }
        auto takeValue = [&]() -> bool {
            if (value)
                return true;
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };

        bool known = false;
        for (const IntOption& option : kIntOptions) {
            if (name != option.name)
                continue;
            known = true;
            if (!takeValue())
                return std::nullopt;
            if (!parseInt(*value, option.low, option.high, options.*option.field)) {
                error = name + " takes a whole number from " + std::to_string(option.low) + " to " +
                        std::to_string(option.high) + ", not '" + *value + "'";
                return std::nullopt;
            }
        }
        for (const TextOption& option : kTextOptions) {
            if (name != option.name)
                continue;
            known = true;
            if (!takeValue())
                return std::nullopt;
            if (value->empty()) {
                error = name + " needs a value";
                return std::nullopt;
            }
            options.*option.field = *value;
        }
        if (!known) {
            error = "unknown option '" + arguments[i] + "'";
            return std::nullopt;
        }
    }
    return options;
}

std::string usageText() {
    return "Usage: corvane-practice-world [options]\n"
           "\n"
           "A small MUCK server for trying out Corvane. Prints the port it listens on\n"
           "as the first line of standard output. SIGINT or SIGTERM stops it.\n"
           "\n"
           "Options:\n"
           "  --port N             Port to listen on (default 4201; 0 picks a free one).\n"
           "  --tls-port N         Also listen for TLS on port N (0 picks a free one), with a\n"
           "                       self-signed certificate made at start. Prints the port and\n"
           "                       the certificate's SHA-256 fingerprint as the second line.\n"
           "  --tls-cut-off        End TLS sessions without close_notify, as a cut link does.\n"
           "  --bind ADDRESS       IPv4 address to listen on (default 127.0.0.1).\n"
           "  --accounts FILE      Extra accounts, one 'NAME PASSWORD' per line.\n"
           "  --idle-seconds N     Idle time before 'who' counts a player as idle (default 180).\n"
           "  --lag MS             Delay every command's reply by MS milliseconds (default 0).\n"
           "  --telnet-probe       Send IAC DO TERMINAL-TYPE and IAC WILL ECHO after the greeting.\n"
           "  --log FILE           Write every byte in and out, with timestamps, to FILE.\n"
           "  --max-connections N  Refuse connections beyond N (default 64).\n"
           "  --modern             Behave like a newer server: no OUTPUTPREFIX/OUTPUTSUFFIX,\n"
           "                       IAC DO NAWS at connect, banner lines ending in a bare LF,\n"
           "                       a 'Name ... On for Idle  Doing' WHO, IAC NOP to a quiet\n"
           "                       connection, and a bot whose says are UTF-8.\n"
           "  --mud                Behave like a MUD server: prompts with IAC GA, a bordered WHO,\n"
           "                       GMCP, UTF-8 input only.\n"
           "  --diku               A MUD with Diku-family manners: name and password asked\n"
           "                       at prompts (IAC WILL ECHO for the password), an open\n"
           "                       prompt without IAC GA, tells, '[ 1 Wa] Name' WHO rows.\n"
           "  --mccp               A MUD that compresses what it sends (MCCP2, telnet option\n"
           "                       86) once the client agrees to it.\n"
           "  --nop-seconds N      With --modern: quiet time before IAC NOP (default 60).\n"
           "  -h, --help           Show this text.\n"
           "  -v, --version        Show the version.\n";
}

} // namespace practice_world
