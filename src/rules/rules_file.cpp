#include "rules/rules_file.h"

#include "settings/atomic_file.h"
#include "settings/file_lock.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

using nlohmann::json;

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
    out["kind"] = rule.kind == Rule::Kind::Alias ? "alias" : "trigger";
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
    }
    return out;
}

Rule ruleFrom(const json& in) {
    Rule rule;
    const std::string kind = in.value("kind", "trigger");
    if (kind != "trigger" && kind != "alias") {
        throw std::runtime_error("unknown kind \"" + kind + "\"");
    }
    rule.kind = kind == "alias" ? Rule::Kind::Alias : Rule::Kind::Trigger;
    rule.world = in.value("world", "");
    rule.name = in.value("name", "");
    rule.enabled = in.value("enabled", true);
    rule.pattern = in.at("pattern").get<std::string>();
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
    return rule;
}

std::string dateStamp(TimePoint now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
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
    json out = json::object();
    out["format"] = kFormat;
    out["rules"] = json::array();
    for (const Rule& rule : rules) {
        out["rules"].push_back(ruleJson(rule));
    }
    return out.dump(2) + "\n";
}

std::optional<std::vector<Rule>> RulesFile::FromJson(const std::string& text, std::string& error) {
    try {
        const json in = json::parse(text);
        const int format = in.at("format").get<int>();
        if (format < 1 || format > kFormat) {
            error = "it is format " + std::to_string(format) + ", this Corvane reads format " +
                    std::to_string(kFormat);
            return std::nullopt;
        }
        std::vector<Rule> rules;
        for (const json& item : in.at("rules")) {
            rules.push_back(ruleFrom(item));
        }
        return rules;
    } catch (const std::exception& failure) {
        error = failure.what();
        return std::nullopt;
    }
}

std::vector<Rule> RulesFile::load(std::string& problem, TimePoint now) const {
    problem.clear();
    std::error_code code;
    if (!std::filesystem::exists(m_path, code)) {
        return {};
    }
    std::ifstream file(m_path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string error;
    if (file) {
        if (auto rules = FromJson(bytes.str(), error)) {
            return std::move(*rules);
        }
    } else {
        error = "it could not be read";
    }
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
    return WriteFileAtomically(m_path, ToJson(rules), reason);
}

} // namespace corvane
