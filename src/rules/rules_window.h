#pragma once

#include "platform/clock.h"
#include "rules/rules_presenter.h"
#include "rules/rules_view.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace corvane {

class RuleSystem;
class Choosers;
class Prompts;
struct Session;

// Edit > "Triggers and Aliases" and File > "Import Triggers and Aliases":
// one editor window at a time, and the import of another client's file, done
// a share per turn of the event loop so the window stays in use meanwhile.
class RulesWindow {
public:
    struct Services {
        RuleSystem& rules;
        const Session& session;
        Choosers& choosers;
        Prompts& prompts;
        Timers& timers;
    };
    // A file larger than this is refused before it is read: real setups are
    // well under a megabyte, and a larger file is most likely not one.
    static constexpr std::uintmax_t kMaxImportBytes = 8 * 1024 * 1024;
    // More rules than this from one file is no setup a player keeps by hand.
    static constexpr std::size_t kMaxImportRules = 10000;
    // The report names this many commands left out, then how many more.
    static constexpr std::size_t kReportLines = 30;
    using ViewFactory = std::function<std::unique_ptr<RulesView>()>;

    explicit RulesWindow(Services services);
    ~RulesWindow();
    RulesWindow(const RulesWindow&) = delete;
    RulesWindow& operator=(const RulesWindow&) = delete;

    void setViewFactory(ViewFactory factory) { m_factory = std::move(factory); }
    // Told when an import stored its script (see ImportedScripts), by the file it came from.
    // Compiles a rule's script for the editor's "Script" box (see RulesPresenter::setScriptCheck).
    void setScriptCheck(std::function<std::string(const std::string&, const std::string&)> check) {
        m_scriptCheck = std::move(check);
    }
    // The Variables (0) and Timers (1) buttons.
    void setScriptStateHook(std::function<void(int)> open) { m_scriptState = std::move(open); }
    // The voices a trigger's Speak can choose (see RulesPresenter::setVoices).
    void setVoices(std::function<std::vector<VoiceChoice>()> voices) { m_voices = std::move(voices); }
    void setScriptStoredHook(std::function<void(const std::string&)> hook) { m_scriptStored = std::move(hook); }
    // Opens the editor (or brings it forward); triggers stopped by the
    // runaway limit send again.
    void open();
    // Asks for a file and imports it; the report box comes at the end. While
    // an import runs another is refused with a box saying so.
    void importFile();
    // Starts adding what the file at path holds, in place of what an earlier
    // import of the same file added; `done` gets the report at the end. An
    // import already running: false, and nothing starts.
    bool importFrom(const std::string& path, std::function<void(const std::string& report)> done);
    // The file an import now running reads; empty: none runs.
    const std::string& importing() const;
    RulesPresenter* presenter() { return m_presenter.get(); }

private:
    struct Import;
    void importStep();
    void finishImport(const std::string& report);
    std::string applyImport();
    std::string reportImport();

    Services m_services;
    ViewFactory m_factory;
    std::unique_ptr<RulesView> m_view;
    std::unique_ptr<RulesPresenter> m_presenter;
    std::function<void(const std::string&)> m_scriptStored;
    std::function<std::string(const std::string&, const std::string&)> m_scriptCheck;
    std::function<void(int)> m_scriptState;
    std::function<std::vector<VoiceChoice>()> m_voices;
    std::unique_ptr<Import> m_import;
};

} // namespace corvane
