#include "rules/rules_file.h"

#include "rules/rules_merge.h"
#include "settings/atomic_file.h"
#include "settings/file_lock.h"
#include "settings/locked_file.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

using nlohmann::json;

// Past the limits: the file is refused, never set aside as unreadable.
struct OverLimit : std::runtime_error {
    using std::runtime_error::runtime_error;
};


const char* modeName(MatchMode mode) {
    switch (mode) {
    case MatchMode::Plain:
        return "plain";
    case MatchMode::Words:
        return "words";
    case MatchMode::Regex:
        return "regex";
    }
    return "plain";
}

MatchMode modeFrom(const std::string& name) {
    if (name == "words") {
        return MatchMode::Words;
    }
    if (name == "regex") {
        return MatchMode::Regex;
    }
    if (name != "plain") {
        throw std::runtime_error("unknown match mode \"" + name + "\"");
    }
    return MatchMode::Plain;
}

const char* colourName(Rule::Colour colour) {
    switch (colour) {
    case Rule::Colour::None:
        return "none";
    case Rule::Colour::Match:
        return "match";
    case Rule::Colour::Line:
        return "line";
    }
    return "none";
}

Rule::Colour colourFrom(const std::string& name) {
    if (name == "match") {
        return Rule::Colour::Match;
    }
    if (name == "line") {
        return Rule::Colour::Line;
    }
    return Rule::Colour::None;
}

json ruleJson(const Rule& rule) {
    json out = json::object();
    out["kind"] = rule.kind == Rule::Kind::Alias ? "alias" : rule.kind == Rule::Kind::Key ? "key" : "trigger";
    out["world"] = rule.world;
    out["name"] = rule.name;
    out["enabled"] = rule.enabled;
    out["pattern"] = rule.pattern;
    out["match"] = modeName(rule.mode);
    out["caseSensitive"] = rule.caseSensitive;
    out["stopHere"] = rule.stopHere;
    out["send"] = rule.send;
    if (!rule.script.empty()) {
        out["script"] = rule.script;
    }
    if (!rule.source.empty()) {
        out["source"] = rule.source;
    }
    if (rule.kind == Rule::Kind::Trigger) {
        out["colour"] = colourName(rule.colour);
        out["foreground"] = rule.foreground ? ColourText(*rule.foreground) : "";
        out["background"] = rule.background ? ColourText(*rule.background) : "";
        out["bold"] = rule.bold;
        out["gag"] = rule.gag;
        out["sound"] = rule.soundFile;
        out["notify"] = rule.notify;
        out["status"] = rule.statusText;
        static const char* const kVoicings[] = {"", "speak", "interrupt", "silent"};
        if (rule.voicing != Rule::Voicing::Usual) {
            out["speech"] = kVoicings[static_cast<int>(rule.voicing)];
        }
        if (!rule.voice.empty()) {
            out["voice"] = rule.voice;
        }
    }
    return out;
}

Rule ruleFrom(const json& in) {
    Rule rule;
    const std::string kind = in.value("kind", "trigger");
    if (kind != "trigger" && kind != "alias" && kind != "key") {
        throw std::runtime_error("unknown kind \"" + kind + "\"");
    }
    rule.kind = kind == "alias" ? Rule::Kind::Alias : kind == "key" ? Rule::Kind::Key : Rule::Kind::Trigger;
    rule.world = in.value("world", "");
    rule.name = in.value("name", "");
    rule.enabled = in.value("enabled", true);
    rule.pattern = in.at("pattern").get<std::string>();
    if (rule.pattern.size() > RulesFile::kMaxPatternBytes) {
        throw OverLimit("a pattern is " + std::to_string(rule.pattern.size()) + " bytes long, more than the " +
                        std::to_string(RulesFile::kMaxPatternBytes) + " Corvane takes");
    }
    rule.mode = modeFrom(in.value("match", "plain"));
    rule.caseSensitive = in.value("caseSensitive", false);
    rule.stopHere = in.value("stopHere", false);
    rule.send = in.value("send", "");
    rule.script = in.value("script", "");
    rule.source = in.value("source", "");
    rule.colour = colourFrom(in.value("colour", "none"));
    rule.foreground = ParseColour(in.value("foreground", ""));
    rule.background = ParseColour(in.value("background", ""));
    rule.bold = in.value("bold", false);
    rule.gag = in.value("gag", false);
    rule.soundFile = in.value("sound", "");
    rule.notify = in.value("notify", false);
    rule.statusText = in.value("status", "");
    const std::string speech = in.value("speech", "");
    rule.voicing = speech == "speak"       ? Rule::Voicing::Speak
                   : speech == "interrupt" ? Rule::Voicing::Interrupt
                   : speech == "silent"    ? Rule::Voicing::Silent
                                           : Rule::Voicing::Usual;
    rule.voice = in.value("voice", "");
    return rule;
}

std::string sizeText(std::uintmax_t bytes) {
    return bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MB" : std::to_string(bytes / 1024) + " KB";
}

std::string dateStamp(TimePoint now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// A string is parsed where it lies, far faster than through a stream.
template <typename Input>
std::optional<std::vector<Rule>> parseRules(Input&& input, std::string& error, bool& tooBig) {
    tooBig = false;
    std::vector<Rule> rules;
    bool inRules = false;
    // Each rule is taken as soon as its object ends and left out of the
    // parsed document, so a large file is never held twice.
    const json::parser_callback_t take = [&](int depth, json::parse_event_t event, json& parsed) {
        if (depth == 1 && event == json::parse_event_t::key) {
            inRules = parsed == "rules";
        } else if (depth == 2 && inRules && event == json::parse_event_t::object_end) {
            if (rules.size() >= RulesFile::kMaxRules) {
                throw OverLimit("it holds more than the " + std::to_string(RulesFile::kMaxRules) +
                                " triggers and aliases Corvane takes");
            }
            rules.push_back(ruleFrom(parsed));
            return false;
        }
        return true;
    };
    try {
        const json in = json::parse(std::forward<Input>(input), take);
        const int format = in.at("format").get<int>();
        if (format < 1 || format > RulesFile::kFormat) {
            error = "it is format " + std::to_string(format) + ", this Corvane reads format " +
                    std::to_string(RulesFile::kFormat);
            return std::nullopt;
        }
        if (!in.at("rules").is_array()) {
            error = "its rules are not a list";
            return std::nullopt;
        }
        return rules;
    } catch (const OverLimit& over) {
        tooBig = true;
        error = over.what();
        return std::nullopt;
    } catch (const std::exception& failure) {
        error = failure.what();
        return std::nullopt;
    }
}

} // namespace

std::string ColourText(Rgb colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::optional<Rgb> ParseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#' || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
        return std::nullopt;
    }
    const auto value = std::stoul(text.substr(1), nullptr, 16);
    return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>((value >> 8) & 0xFF),
               static_cast<std::uint8_t>(value & 0xFF)};
}

std::string RulesFile::PathBeside(const std::string& settingsPath) {
    const std::filesystem::path settings(settingsPath);
    return (settings.parent_path() / kFileName).string();
}

std::string RulesFile::ToJson(const std::vector<Rule>& rules) {
    std::string text;
    AppendJson(rules, 0, rules.size(), text);
    return text;
}

void RulesFile::AppendJson(const std::vector<Rule>& rules, std::size_t from, std::size_t to, std::string& text) {
    if (rules.empty()) {
        json out = json::object();
        out["format"] = kFormat;
        out["rules"] = json::array();
        text += out.dump(2) + "\n";
        return;
    }
    // The same text as the whole document's dump(2), made a rule at a time
    // into one string sized once: a large set is saved on every change.
    if (from == 0) {
        text += "{\n  \"format\": " + std::to_string(kFormat) + ",\n  \"rules\": [\n";
        text.reserve(rules.size() * 512);
    }
    for (std::size_t i = from; i < to && i < rules.size(); ++i) {
        const std::string one = ruleJson(rules[i]).dump(2);
        text += "    ";
        for (const char c : one) {
            text += c;
            if (c == '\n') {
                text += "    ";
            }
        }
        text += i + 1 < rules.size() ? ",\n" : "\n";
    }
    if (to >= rules.size()) {
        text += "  ]\n}\n";
    }
}

std::optional<std::vector<Rule>> RulesFile::FromJson(const std::string& text, std::string& error) {
    bool tooBig = false;
    return parseRules(text, error, tooBig);
}

std::optional<std::vector<Rule>> RulesFile::FromStream(std::istream& stream, std::string& error, bool& tooBig) {
    return parseRules(stream, error, tooBig);
}

std::vector<Rule> RulesFile::load(std::string& problem, TimePoint now) const {
    problem.clear();
    std::error_code code;
    if (!std::filesystem::exists(m_path, code)) {
        return {};
    }
    std::ifstream file(m_path, std::ios::binary);
    std::string error;
    bool tooBig = false;
    const std::uintmax_t size = std::filesystem::file_size(m_path, code);
    if (!file) {
        error = "it could not be read";
    } else if (!code && size > kMaxFileBytes) {
        // Only its start is read: enough to tell a rules file from anything else.
        char start[64] = {};
        file.read(start, sizeof start);
        const std::string_view head(start, static_cast<std::size_t>(file.gcount()));
        const std::size_t first = head.find_first_not_of(" \t\r\n");
        tooBig = first != std::string_view::npos && head[first] == '{';
        error = tooBig ? "it is " + sizeText(size) + ", more than the " + sizeText(kMaxFileBytes) + " Corvane reads"
                       : "it is not a rules file";
    } else {
        // Read whole: it is no larger than the limit, and a string parses
        // several times faster than the stream.
        std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (auto rules = parseRules(bytes, error, tooBig)) {
            m_known = std::hash<std::string>{}(bytes);
            return std::move(*rules);
        }
    }
    if (tooBig) {
        problem = "The triggers and aliases file " + m_path + " was not read: " + error +
                  ".\rIt was left as it is; Corvane starts with no rules and saves none over it.";
        return {};
    }
    file.close();
    const std::string aside = m_path + ".bad-" + dateStamp(now);
    std::filesystem::rename(m_path, aside, code);
    problem = "The triggers and aliases file " + m_path + " could not be read (" + error + ").\r" +
              (code ? "It was left where it is; no rules are loaded."
                    : "It was moved aside to " + aside + "; Corvane starts with no rules.");
    return {};
}

bool RulesFile::save(const std::vector<Rule>& rules, std::string& reason) const {
    FileLock lock;
    if (!lock.acquire(m_path, reason)) {
        return false;
    }
    const std::string text = ToJson(rules);
    if (!WriteFileAtomically(m_path, text, reason)) {
        return false;
    }
    m_known = std::hash<std::string>{}(text);
    return true;
}

bool RulesFile::saveMerged(const std::vector<Rule>& base, const std::vector<Rule>& mine, std::vector<Rule>& merged,
                           std::string& reason, std::string made) const {
    std::string written;
    const LockedChange change =
        ChangeFileLocked(m_path, FileLock::kDefaultWait, [&](std::string& bytes) -> std::optional<std::string> {
            std::string error;
            // A file gone or spoilt since it was read holds no change to keep;
            // one as this window last read or wrote it holds `base`, and is
            // not parsed again (a large set takes longer to read than to write).
            std::optional<std::vector<Rule>> disk;
            if (!bytes.empty() && m_known != std::hash<std::string>{}(bytes)) {
                disk = FromJson(bytes, error);
            }
            std::string().swap(bytes);
            merged = MergeRules(base, mine, disk ? *disk : base);
            written = !disk && !made.empty() ? std::move(made) : ToJson(merged);
            return written;
        });
    reason = change.reason;
    if (change.outcome != LockedChange::Outcome::Written) {
        return false;
    }
    m_known = std::hash<std::string>{}(written);
    return true;
}

} // namespace corvane
