#include "rules/import_lua.h"

#include <cstdio>
#include <cstdlib>

namespace corvane::import_lua {

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03u", static_cast<unsigned>(byte));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string sends(const std::vector<Send>& commands) {
    std::string out;
    for (const Send& command : commands) {
        out += "  send(" + quote(command.text) + (command.raw ? ", {raw=true}" : "") + ")\n";
    }
    return out;
}

std::string setVariable(const std::string& name, const std::string& value) {
    return "vars[" + quote(name) + "] = " + quote(value) + "\n";
}

std::string on(const std::string& event, const std::string& body) {
    return "on(" + quote(event) + ", function()\n" + body + "end)\n";
}

namespace {
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}
} // namespace

std::string every(double seconds, int count, const std::string& name, const std::string& body) {
    if (count <= 0) {
        return "every(" + number(seconds) + ", function()\n" + body + "end, " + quote(name) + ")\n";
    }
    // A count: the timer stops itself after its last run.
    return "do\n  local left = " + std::to_string(count) + "\n  every(" + number(seconds) + ", function()\n" +
           body + "    left = left - 1\n    if left <= 0 then cancel(" + quote(name) + ") end\n  end, " +
           quote(name) + ")\nend\n";
}

std::string after(double seconds, const std::string& body) {
    return "after(" + number(seconds) + ", function()\n" + body + "end)\n";
}

std::optional<double> tfSeconds(const std::string& time) {
    double total = 0;
    std::size_t start = 0;
    int fields = 0;
    while (start <= time.size()) {
        const std::size_t colon = time.find(':', start);
        const std::string field =
            time.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (field.empty() || field.find_first_not_of("0123456789.") != std::string::npos || ++fields > 3) {
            return std::nullopt;
        }
        total = total * 60 + std::strtod(field.c_str(), nullptr);
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    // Two fields are hours and minutes ("-0:30" is half an hour), not minutes and seconds.
    return fields == 2 ? total * 60 : total;
}

std::string concat(const std::string& text) {
    std::string out;
    std::string literal;
    const auto flush = [&] {
        if (!literal.empty()) {
            out += (out.empty() ? "" : " .. ") + quote(literal);
            literal.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != kOpen || text.find(kClose, i) == std::string::npos) {
            literal += text[i];
            continue;
        }
        const std::size_t close = text.find(kClose, i);
        flush();
        out += (out.empty() ? "" : " .. ") + std::string("tostring(") + text.substr(i + 1, close - i - 1) +
               " or \"\")";
        i = close;
    }
    flush();
    return out.empty() ? "\"\"" : out;
}

} // namespace corvane::import_lua
