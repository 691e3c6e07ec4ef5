#include "rules/rule_system.h"

#include "platform/prompts.h"
#include "settings/locked_file.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace corvane {

RuleSystem::RuleSystem(Services services)
    : m_services(std::move(services))
    , m_triggers(TriggerStage::Services{m_book, m_services.session, m_services.sound, m_services.status,
                                        m_services.history, m_services.timers, m_services.clock,
                                        m_services.send, m_services.notice})
    , m_aliases(m_book, m_services.session, m_services.notice) {
    m_book.setChangedHook([this] {
        save();
        compileLater();
    });
}

RuleSystem::~RuleSystem() {
    if (m_compileTimer) {
        m_services.timers.stop(*m_compileTimer);
    }
    if (m_pending) {
        // Quitting does not wait for the turns a large save would take.
        m_services.timers.stop(m_pending->timer);
        m_pending.reset();
        write({});
    }
}

void RuleSystem::compileLater() {
    if (m_compileTimer || m_book.allCompiled()) {
        return;
    }
    m_compileTimer = m_services.timers.startSingleShot(std::chrono::milliseconds(0), [this] {
        m_compileTimer.reset();
        if (m_book.compileSome(kCompileStep)) {
            compileLater();
        }
    });
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
    if (m_pending) {
        m_services.timers.stop(m_pending->timer);
        m_pending.reset();
    }
    if (m_book.size() <= kSaveAtOnce) {
        write({});
        return;
    }
    // Making the text of a large set takes longer than a turn of the event
    // loop should; a change meanwhile starts it again.
    m_pending = PendingSave{};
    m_pending->revision = m_book.revision();
    m_pending->timer = m_services.timers.startSingleShot(std::chrono::milliseconds(0), [this] { saveStep(); });
}

void RuleSystem::saveStep() {
    if (m_book.revision() != m_pending->revision) {
        m_pending.reset();
        save();
        return;
    }
    const std::size_t to = std::min(m_pending->next + kSaveStep, m_book.size());
    try {
        RulesFile::AppendJson(m_book.rules(), m_pending->next, to, m_pending->text);
    } catch (const std::exception& failure) {
        m_pending.reset();
        saveFailed(failure.what());
        return;
    }
    m_pending->next = to;
    if (to < m_book.size()) {
        m_pending->timer = m_services.timers.startSingleShot(std::chrono::milliseconds(0), [this] { saveStep(); });
        return;
    }
    std::string made = std::move(m_pending->text);
    m_pending.reset();
    write(std::move(made));
}

void RuleSystem::write(std::string made) {
    std::string reason;
    std::vector<Rule> merged;
    bool saved = false;
    try {
        saved = m_file->saveMerged(m_base, m_book.rules(), merged, reason, std::move(made));
    } catch (const std::exception& failure) {
        // The JSON writer refuses text that is not UTF-8; the file on disk
        // stays as it was, and so does the rule book.
        reason = failure.what();
    }
    if (saved) {
        if (merged == m_book.rules()) {
            m_base = std::move(merged);
            return;
        }
        // Another Corvane's rules join this window's.
        m_base = merged;
        m_loading = true;
        m_book.setRules(std::move(merged));
        m_loading = false;
        return;
    }
    saveFailed(reason);
}

void RuleSystem::saveFailed(const std::string& reason) {
    if (!m_saveFailureReported) {
        m_saveFailureReported = true;
        m_services.prompts.message("Corvane could not save the triggers and aliases to\r" + m_file->path() +
                                       "\r\r" + reason + ".",
                                   "Corvane Error", PromptIcon::Exclamation);
    }
}

} // namespace corvane
