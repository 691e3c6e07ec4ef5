#include "rules/tf_pattern.h"

#include "rules/import_text.h"

#include <cstdlib>
#include <optional>

namespace corvane::tf_pattern {

namespace {

using namespace import_text;

// A TinyFugue glob matches the whole line: * and ? as wildcards, [..] sets,
// {a|b} alternatives, a backslash quoting the next character.
std::string globToRegex(const std::string& glob) {
    std::string out = "^";
    for (std::size_t i = 0; i < glob.size(); ++i) {
        const char c = glob[i];
        if (c == '\\' && i + 1 < glob.size()) {
            out += escapeRegex(glob[++i]);
        } else if (c == '*') {
            out += ".*";
        } else if (c == '?') {
            out += ".";
        } else if (c == '[') {
            const std::size_t close = glob.find(']', i + 2);
            if (close == std::string::npos) {
                out += "\\[";
            } else {
                std::string set;
                for (std::size_t k = i + 1; k < close; ++k) {
                    set += glob[k] == '\\' || glob[k] == '[' ? std::string("\\") + glob[k]
                                                             : std::string(1, glob[k]);
                }
                out += "[" + set + "]";
                i = close;
            }
        } else if (c == '{') {
            out += "(?:";
        } else if (c == '}') {
            out += ")";
        } else if (c == '|') {
            out += "|";
        } else {
            out += escapeRegex(c);
        }
    }
    return out + "$";
}

// One colour of an attribute: a name, "rgbRGB" (0-5 each) or "grayN" (0-23),
// each with "bg" before it for the background.
bool tfColour(std::string name, Rule& rule) {
    name = lower(trim(name));
    const bool background = startsWith(name, "bg");
    if (background) {
        name = name.substr(2);
    }
    std::optional<Rgb> rgb;
    if (name.size() == 6 && startsWith(name, "rgb") &&
        name.find_first_not_of("012345", 3) == std::string::npos) {
        rgb = xtermColour(16 + 36 * (name[3] - '0') + 6 * (name[4] - '0') + (name[5] - '0'));
    } else if (startsWith(name, "gray") && name.size() > 4 && name.size() <= 6 &&
               name.find_first_not_of("0123456789", 4) == std::string::npos &&
               std::atoi(name.c_str() + 4) < 24) {
        rgb = xtermColour(232 + std::atoi(name.c_str() + 4));
    } else if (startsWith(name, "bright")) {
        rgb = namedColour("light " + name.substr(6));
    } else if (name.find_first_not_of("0123456789") == std::string::npos && !name.empty() &&
               name.size() <= 3 && std::atoi(name.c_str()) < 256) {
        rgb = xtermColour(std::atoi(name.c_str()));
    } else {
        rgb = namedColour(name);
    }
    if (!rgb) {
        return false;
    }
    (background ? rule.background : rule.foreground) = rgb;
    return true;
}

} // namespace

bool tfAttributes(const std::string& attributes, Rule& rule, std::string& why) {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const char a = attributes[i];
        if (a == 'g') {
            rule.gag = true;
        } else if (a == 'B' || a == 'h') {
            rule.bold = true;
        } else if (a == 'n' || a == ',' || a == 'x') {
            continue;
        } else if (a == 'C') {
            std::size_t end = attributes.find(',', i);
            std::string colour =
                attributes.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            if (!tfColour(colour, rule)) {
                why = "uses the colour \"" + colour + "\"";
                return false;
            }
            // "Cred,Cbgblue" and "Cred,bgblue" both give a background.
            if (end != std::string::npos && startsWith(attributes.substr(end + 1), "bg")) {
                const std::size_t next = attributes.find(',', end + 1);
                colour = attributes.substr(end + 1,
                                           next == std::string::npos ? std::string::npos : next - end - 1);
                if (!tfColour(colour, rule)) {
                    why = "uses the colour \"" + colour + "\"";
                    return false;
                }
                end = next;
            }
            i = end == std::string::npos ? attributes.size() : end;
        } else {
            why = "uses the attribute " +
                  (static_cast<unsigned char>(a) < 0x80 ? std::string(1, a)
                                                        : std::string("\"" + attributes.substr(i) + "\"")) +
                  ", which Corvane cannot draw";
            return false;
        }
    }
    if (rule.bold || rule.foreground || rule.background) {
        rule.colour = Rule::Colour::Line;
    }
    return true;
}

bool tfPattern(const std::string& pattern, const std::string& matching, Rule& rule, std::string& why) {
    rule.mode = MatchMode::Regex;
    if (matching == "regexp") {
        // TinyFugue's regular expressions heed case, its globs do not.
        rule.pattern = pattern;
        rule.caseSensitive = true;
    } else if (matching == "simple") {
        rule.pattern = "^";
        for (const char c : pattern) {
            rule.pattern += escapeRegex(c);
        }
        rule.pattern += "$";
        rule.caseSensitive = true;
    } else if (matching == "glob") {
        rule.pattern = globToRegex(pattern);
    } else {
        why = "uses the matching style \"" + matching + "\"";
        return false;
    }
    return true;
}

} // namespace corvane::tf_pattern
