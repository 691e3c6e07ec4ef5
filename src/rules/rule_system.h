#pragma once

#include "rules/alias_expander.h"
#include "rules/rule_book.h"
#include "rules/rules_file.h"
#include "rules/trigger_stage.h"

#include <functional>
#include <memory>
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

    explicit RuleSystem(Services services);

    // Reads the file beside the settings file; a file that cannot be read
    // is reported once. Without a path nothing is read or saved.
    void load(const std::string& settingsPath);

    RuleBook& book() { return m_book; }
    // The settings file the rules were read beside; empty: none.
    const std::string& settingsPath() const { return m_settingsPath; }
    TriggerStage& triggers() { return m_triggers; }
    AliasExpander& aliases() { return m_aliases; }

private:
    void save();

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
};

} // namespace corvane
