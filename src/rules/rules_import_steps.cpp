// Telling TinTin++ files from TinyFugue's, and importing either a share at a time.
#include "core/text_codec.h"
#include "rules/import_text.h"
#include "rules/import_translation.h"
#include "rules/rules_import.h"
#include "rules/tf_reader.h"
#include "rules/tin_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <optional>
#include <variant>

namespace corvane {

namespace {

using import_translation::TfTranslation;
using import_translation::TinTranslation;
using Translation = std::variant<std::monostate, TfTranslation, TinTranslation>;

bool tinName(const std::string& name) {
    static constexpr const char* kTinNames[] = {"action", "alias",   "gag",     "highlight", "substitute", "nop",
                                                "variable", "ticker", "session", "event",     "delay",      "macro"};
    return name.size() >= 2 && std::any_of(std::begin(kTinNames), std::end(kTinNames), [&](const char* known) {
               return import_text::startsWith(known, name);
           });
}

// The file's commands read as the client that wrote it splits them.
Translation split(const std::string& text) {
    // Reading a large tf file as tt++ commands only to find none took longer
    // than importing it: without a '#' and a tt++ command's name after it,
    // no command can be one.
    bool mayBeTinTin = false;
    for (std::size_t at = text.find('#'); at != std::string::npos && !mayBeTinTin; at = text.find('#', at + 1)) {
        std::string name;
        for (std::size_t i = at + 1; i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) != 0;
             ++i) {
            name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
        }
        mayBeTinTin = tinName(name);
    }
    if (mayBeTinTin) {
        std::vector<tin_reader::TinCommand> commands = tin_reader::tinCommands(text);
        if (std::any_of(commands.begin(), commands.end(),
                        [](const tin_reader::TinCommand& command) { return tinName(command.name); })) {
            return Translation(std::in_place_type<TinTranslation>, std::move(commands));
        }
    }
    return Translation(std::in_place_type<TfTranslation>, tf_reader::tfCommands(text));
}

} // namespace

struct ImportSteps::State {
    std::string bytes;
    bool decoded = false;
    bool readAsWindows1252 = false;
    Translation translation;
    bool translated = false;
};

ImportSteps::ImportSteps(std::string bytes)
    : m_state(std::make_unique<State>()) {
    m_state->bytes = std::move(bytes);
}

ImportSteps::~ImportSteps() = default;

bool ImportSteps::step() {
    State& s = *m_state;
    if (!s.decoded) {
        s.decoded = true;
        // A byte order mark says UTF-8 and is no command.
        if (s.bytes.starts_with("\xEF\xBB\xBF")) {
            s.bytes.erase(0, 3);
        }
        s.readAsWindows1252 = !IsValidUtf8(s.bytes);
        if (s.readAsWindows1252) {
            s.bytes = Cp1252ToUtf8(s.bytes);
        }
        return true;
    }
    if (std::holds_alternative<std::monostate>(s.translation)) {
        s.translation = split(s.bytes);
        std::string().swap(s.bytes);
        return true;
    }
    if (!s.translated) {
        s.translated = !std::visit(
            [](auto& translation) {
                if constexpr (std::is_same_v<std::decay_t<decltype(translation)>, std::monostate>) {
                    return false;
                } else {
                    return translation.step(kStepBytes, kStepCommands);
                }
            },
            s.translation);
    }
    return !s.translated;
}

RulesImport ImportSteps::take() {
    State& s = *m_state;
    RulesImport imported;
    if (auto* tf = std::get_if<TfTranslation>(&s.translation)) {
        imported = tf->finish();
    } else if (auto* tin = std::get_if<TinTranslation>(&s.translation)) {
        imported = tin->finish();
    }
    imported.readAsWindows1252 = s.readAsWindows1252;
    return imported;
}

RulesImport ImportRulesFile(const std::string& text) {
    Translation translation = split(text);
    if (auto* tin = std::get_if<TinTranslation>(&translation)) {
        while (tin->step(SIZE_MAX, SIZE_MAX)) {
        }
        return tin->finish();
    }
    auto& tf = std::get<TfTranslation>(translation);
    while (tf.step(SIZE_MAX, SIZE_MAX)) {
    }
    return tf.finish();
}

RulesImport ImportRulesBytes(std::string_view bytes) {
    ImportSteps steps{std::string(bytes)};
    while (steps.step()) {
    }
    return steps.take();
}

} // namespace corvane
