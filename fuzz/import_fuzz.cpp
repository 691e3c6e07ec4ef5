// Any bytes as a TinyFugue or TinTin++ file to import: whatever the importer
// makes of them is valid UTF-8 (the rules file's JSON writer throws on
// anything else), saves and reads back as the same rules, and every pattern
// compiles or fails cleanly.

#include "core/text_codec.h"
#include "ini_listing.h"
#include "rules/pattern_matcher.h"
#include "rules/rules_file.h"
#include "rules/rules_import.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using corvane::fuzz::require;

namespace {

void requireText(const std::string& text) {
    require(corvane::IsValidUtf8(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const corvane::RulesImport imported =
        corvane::ImportRulesBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const corvane::Rule& rule : imported.rules) {
        for (const std::string* text : {&rule.world, &rule.name, &rule.pattern, &rule.send, &rule.soundFile,
                                        &rule.statusText, &rule.script, &rule.source}) {
            requireText(*text);
        }
        const corvane::PatternMatcher matcher(rule.pattern, rule.mode, rule.caseSensitive);
        matcher.matches(corvane::MatchSubject("Wren pages: hello there"));
    }
    for (const std::string& line : imported.skipped) {
        requireText(line);
    }
    requireText(imported.script);
    std::string error;
    const auto readBack = corvane::RulesFile::FromJson(corvane::RulesFile::ToJson(imported.rules), error);
    require(readBack.has_value() && *readBack == imported.rules);
    return 0;
}
