#include "mud_manner.h"

#include "telnet_decoder.h"
#include "text_format.h"

namespace practice_world::mud {

namespace {
constexpr unsigned char kGa = 249;
constexpr unsigned char kCharset = 42;

std::string command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(telnet::kIac), static_cast<char>(verb), static_cast<char>(option)};
}

// IAC SB <option> body IAC SE, an IAC in the body doubled.
std::string subnegotiation(unsigned char option, std::string_view body) {
    std::string out{static_cast<char>(telnet::kIac), static_cast<char>(telnet::kSb), static_cast<char>(option)};
    for (const char c : body) {
        out.push_back(c);
        if (static_cast<unsigned char>(c) == telnet::kIac)
            out.push_back(c);
    }
    out.push_back(static_cast<char>(telnet::kIac));
    out.push_back(static_cast<char>(telnet::kSe));
    return out;
}
} // namespace

bool validUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string unknownCommand(std::string_view word) {
    return "Command '" + std::string(word) + "' is not available. Type \"help\" for help.";
}

std::string prompt() {
    return "HP:8/10 MP:5 > " + std::string{static_cast<char>(telnet::kIac), static_cast<char>(kGa)};
}

std::string doubledCarriageReturns(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            out += text.substr(start);
            break;
        }
        out += text.substr(start, end - start);
        out += end + 2 < text.size() ? "\r\r\n" : "\r\n";
        start = end + 2;
    }
    return out;
}

std::vector<std::string> whoTableLines(const std::vector<WhoRow>& rows) {
    const std::string border = "+" + std::string(16, '-') + "+" + std::string(10, '-') + "+" + std::string(8, '-') + "+";
    std::vector<std::string> lines{border, "| " + padRight("Account Name", 14) + " | " + padRight("On for", 8) +
                                               " | " + padRight("Idle", 6) + " |",
                                   "+" + std::string(16, '~') + "+" + std::string(10, '~') + "+" +
                                       std::string(8, '~') + "+"};
    for (const WhoRow& row : rows) {
        lines.push_back("| " + padRight(row.name, 14) + " | " + padRight(std::to_string(row.onFor.count() / 60) + "m", 8) +
                        " | " + padRight(std::to_string(row.idle.count()) + "s", 6) + " |");
    }
    lines.push_back(border);
    lines.push_back(std::to_string(rows.size()) + " unique accounts logged in.");
    return lines;
}

std::string gmcp(std::string_view name, std::string_view json) {
    std::string body(name);
    body += ' ';
    body += json;
    return subnegotiation(kGmcp, body);
}

std::string msdp(std::string_view name, std::string_view value) {
    return subnegotiation(kMsdp, "\x01" + std::string(name) + "\x02" + std::string(value));
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

std::string mssp(std::size_t players, long long startedAt) {
    const auto variable = [](std::string_view name, std::initializer_list<std::string_view> values) {
        std::string out = "\x01" + std::string(name);
        for (const std::string_view value : values)
            out += "\x02" + std::string(value);
        return out;
    };
    return subnegotiation(kMssp, variable("NAME", {"Corvane Practice World"}) +
                                     variable("PLAYERS", {std::to_string(players)}) +
                                     variable("UPTIME", {std::to_string(startedAt)}) +
                                     variable("CODEBASE", {"Practice World 1.0"}) + variable("GENRE", {"Fantasy"}) +
                                     variable("LANGUAGE", {"English", "Esperanto"}));
}

std::string mxpExits(const std::vector<std::string>& exits) {
    static const std::string kTempSecure = "\x1b[4z";
    std::string line = "Exits:";
    for (std::size_t i = 0; i < exits.size(); ++i) {
        line += (i == 0 ? " " : ", ") + kTempSecure + "<SEND HREF=\"" + exits[i] + "\" HINT=\"Walk " + exits[i] +
                "\">" + exits[i] + kTempSecure + "</SEND>";
    }
    return line + ".\r\n";
}

std::string offers() {
    return command(telnet::kWill, kGmcp) + command(telnet::kWill, kMccp2) + command(telnet::kWill, kMssp) +
           command(telnet::kWill, kMsdp) + command(telnet::kDo, telnet::kTerminalType) +
           command(telnet::kDo, telnet::kNaws) + command(telnet::kDo, kCharset) + command(telnet::kWill, kMxp);
}

} // namespace practice_world::mud

namespace practice_world::diku {

std::string greeting() {
    return "\r\n    Corvane Practice World, Diku manners\r\n\r\n" + std::string(kNamePrompt);
}

std::string passwordPrompt() {
    return "Password: " + std::string{static_cast<char>(telnet::kIac), static_cast<char>(telnet::kWill),
                                      static_cast<char>(telnet::kEcho)};
}

std::string echoOn() {
    return std::string{static_cast<char>(telnet::kIac), static_cast<char>(telnet::kWont),
                       static_cast<char>(telnet::kEcho)} +
           "\r\n";
}

std::string prompt() {
    return "20H 100M 85V > ";
}

std::vector<std::string> whoLines(const std::vector<WhoRow>& rows) {
    std::vector<std::string> lines{"Players", "-------"};
    for (const WhoRow& row : rows) {
        lines.push_back("[ 1 Wa] " + row.name + " the Swordpupil");
    }
    lines.emplace_back();
    lines.push_back(rows.size() == 1 ? std::string("One lonely character displayed.")
                                     : std::to_string(rows.size()) + " characters displayed.");
    return lines;
}

} // namespace practice_world::diku
