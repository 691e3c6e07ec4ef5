#pragma once

#include "rules/rule.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What an import made of another client's file: the rules it could express,
// and a line for each command it left out, saying why.
struct RulesImport {
    std::vector<Rule> rules;
    std::vector<std::string> skipped;
    // Lua for what is not a rule (variables, timers, hooks, key bindings and
    // the functions the rules call), run in each world's script state.
    std::string script;
    // How many of the file's commands went into `script`.
    std::size_t scripted = 0;
    // The file was not UTF-8 and was read as Windows-1252.
    bool readAsWindows1252 = false;
};

// A TinyFugue file: /def with -t (glob, simple or regexp by -m; -p orders
// them, -F lets later ones fire, -a gives gag, bold and colour), /alias,
// /gag and /hilite.
RulesImport ImportTinyFugue(const std::string& text);
// A TinTin++ file: #action, #alias, #gag, #highlight, and #substitute where
// it only colours the text.
RulesImport ImportTinTin(const std::string& text);
// Either, told apart by the commands in it.
RulesImport ImportRulesFile(const std::string& text);
// A file's bytes as they are on disk: UTF-8 where they are valid UTF-8, else
// Windows-1252 (what older files written on Windows or in Latin-1 hold), so
// everything imported is valid UTF-8.
RulesImport ImportRulesBytes(std::string_view bytes);

// ImportRulesBytes a share at a time, so that a large file never holds the
// window for long: each step() decodes, splits or translates a bounded share
// of the file.
class ImportSteps {
public:
    // A step translates commands until this much of their text or this many
    // of them are done (about 30 ms at the worst found, long regular
    // expressions, on the slowest machine measured).
    static constexpr std::size_t kStepBytes = 256 * 1024;
    static constexpr std::size_t kStepCommands = 2000;

    explicit ImportSteps(std::string bytes);
    ~ImportSteps();
    ImportSteps(const ImportSteps&) = delete;
    ImportSteps& operator=(const ImportSteps&) = delete;

    // Does the next share of the work; false once the import is whole.
    bool step();
    // What the file made, once step() has said it is whole.
    RulesImport take();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace corvane
