#include "rules/rule_system.h"

#include "platform/prompts.h"
#include "settings/locked_file.h"

#include <exception>
#include <filesystem>

namespace corvane {

RuleSystem::RuleSystem(Services services)
    : m_services(std::move(services))
    , m_triggers(TriggerStage::Services{m_book, m_services.session, m_services.sound, m_services.status,
                                        m_services.history, m_services.timers, m_services.clock,
                                        m_services.send, m_services.notice})
    , m_aliases(m_book, m_services.session, m_services.notice) {
    m_book.setChangedHook([this] { save(); });
}

void RuleSystem::load(const std::string& settingsPath) {
    if (settingsPath.empty()) {
        return;
    }
    m_settingsPath = settingsPath;
    m_file = std::make_unique<RulesFile>(RulesFile::PathBeside(settingsPath));
    // What a save killed half-way left behind (its temporary file and lock).
    RemoveStaleTemporaryFiles(m_file->path());
    std::string problem;
    std::vector<Rule> rules = m_file->load(problem, m_services.clock.now());
    if (!problem.empty()) {
        m_services.prompts.message(problem, "Corvane Error", PromptIcon::Exclamation);
        std::error_code code;
        if (std::filesystem::exists(m_file->path(), code)) {
            // It could not be moved aside: it is never written over.
            m_file.reset();
        }
    }
    m_base = rules;
    m_loading = true;
    m_book.setRules(std::move(rules));
    m_loading = false;
}

void RuleSystem::save() {
    if (m_loading || !m_file) {
        return;
    }
    std::string reason;
    std::vector<Rule> merged;
    bool saved = false;
    try {
        saved = m_file->saveMerged(m_base, m_book.rules(), merged, reason);
    } catch (const std::exception& failure) {
        // The JSON writer refuses text that is not UTF-8; the file on disk
        // stays as it was, and so does the rule book.
        reason = failure.what();
    }
    if (saved) {
        m_base = merged;
        if (merged != m_book.rules()) {
            // Another Corvane's rules join this window's.
            m_loading = true;
            m_book.setRules(std::move(merged));
            m_loading = false;
        }
        return;
    }
    if (!m_saveFailureReported) {
        m_saveFailureReported = true;
        m_services.prompts.message("Corvane could not save the triggers and aliases to\r" + m_file->path() +
                                       "\r\r" + reason + ".",
                                   "Corvane Error", PromptIcon::Exclamation);
    }
}

} // namespace corvane
