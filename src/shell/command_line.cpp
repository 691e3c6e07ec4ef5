#include "shell/command_line.h"

namespace corvane {

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineOptions options;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto takeValue = [&](const std::string& name, std::string& into) {
            const std::string withEquals = name + "=";
            if (argument.rfind(withEquals, 0) == 0) {
                into = argument.substr(withEquals.size());
                return true;
            }
            if (argument == name) {
                if (i + 1 >= arguments.size()) {
                    options.error = name + " needs a value";
                } else {
                    into = arguments[++i];
                }
                return true;
            }
            return false;
        };
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (argument == "--version" || argument == "-v") {
            options.showVersion = true;
        } else if (takeValue("--settings", options.settingsPath) || takeValue("--world", options.world) ||
                   takeValue("--character", options.character)) {
        } else if (argument == "--") {
            words.insert(words.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            // Qt's own options (-platform, -style ...) are removed before this runs.
            options.error = "unknown option " + argument;
        } else {
            words.push_back(argument);
        }
        if (!options.error.empty()) {
            break;
        }
    }
    if (options.error.empty() && !options.character.empty() && options.world.empty()) {
        options.error = "--character needs --world";
    }
    if (options.error.empty() && !options.world.empty() && !words.empty()) {
        options.error = "an address and --world cannot be given together";
    }
    for (const auto& word : words) {
        if (!options.address.empty()) {
            options.address += ' ';
        }
        options.address += word;
    }
    return options;
}

std::string UsageText() {
    return "Usage: corvane [options] [address]\n"
           "\n"
           "Corvane is a client for text worlds (MUCKs and MUDs).\n"
           "\n"
           "Address (connects at once; the program ends when that connection is over):\n"
           "  telnet://HOST:PORT      a world's address as a link hands it over\n"
           "  telnets://HOST:PORT     the same over TLS (port 992 when none is given)\n"
           "  HOST PORT               host name or IP number and port\n"
           "  HOST                    port 23\n"
           "\n"
           "Start logged in (the steps of the connect and character dialogs, without them):\n"
           "  --world NAME            connect to the stored world NAME\n"
           "  --character NAME        log in its stored character NAME (default: the first)\n"
           "\n"
           "Options:\n"
           "  --settings FILE         use FILE as the settings file (also: CORVANE_SETTINGS)\n"
           "  -h, --help              show this text and exit\n"
           "  -v, --version           show the version and exit\n";
}

} // namespace corvane
