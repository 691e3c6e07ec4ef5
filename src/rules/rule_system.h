#pragma once

#include "rules/alias_expander.h"
#include "rules/rule_book.h"
#include "rules/rules_file.h"
#include "rules/trigger_stage.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace corvane {

class Prompts;

// Triggers and aliases as one piece for the client to wire: the rules, the
// file they live in (saved after each change), and the two stages that use
// them on received and typed lines.
class RuleSystem {
public:
    struct Services {
        const Session& session;
        Sound& sound;
        StatusLine& status;
        SessionHistory& history;
        Timers& timers;
        const Clock& clock;
        Prompts& prompts;
        std::function<void(const std::string&)> send;
        std::function<void(const std::string&)> notice;
    };

    // Patterns compiled in one turn of the event loop when a large set was taken whole.
    static constexpr std::size_t kCompileStep = 1000;
    // A set of more rules than this is saved over several turns of the
    // event loop, its text made this many rules a turn.
    static constexpr std::size_t kSaveAtOnce = 2000;
    static constexpr std::size_t kSaveStep = 1000;

    explicit RuleSystem(Services services);
    ~RuleSystem();
    RuleSystem(const RuleSystem&) = delete;
    RuleSystem& operator=(const RuleSystem&) = delete;

    // Reads the file beside the settings file; a file that cannot be read
    // is reported once. Without a path nothing is read or saved.
    void load(const std::string& settingsPath);

    RuleBook& book() { return m_book; }
    // The settings file the rules were read beside; empty: none.
    const std::string& settingsPath() const { return m_settingsPath; }
    // A change is being written over several turns.
    bool saving() const { return m_pending.has_value(); }
    TriggerStage& triggers() { return m_triggers; }
    AliasExpander& aliases() { return m_aliases; }

private:
    // What a save over several turns has made so far.
    struct PendingSave {
        std::uint64_t revision = 0;
        std::size_t next = 0;
        std::string text;
        Timers::TimerId timer = 0;
    };

    void save();
    void saveStep();
    void write(std::string made);
    void saveFailed(const std::string& reason);
    // Compiles what the book has not yet, a step per turn of the event loop,
    // so that the first lines do not wait for all of it.
    void compileLater();

    Services m_services;
    RuleBook m_book;
    TriggerStage m_triggers;
    AliasExpander m_aliases;
    std::unique_ptr<RulesFile> m_file;
    std::string m_settingsPath;
    // The file's rules as this window last read or wrote them: what its own
    // changes are told apart from another Corvane's by.
    std::vector<Rule> m_base;
    bool m_loading = false;
    bool m_saveFailureReported = false;
    std::optional<Timers::TimerId> m_compileTimer;
    std::optional<PendingSave> m_pending;
};

} // namespace corvane
