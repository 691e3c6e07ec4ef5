#include "rules/rules_window.h"

#include "platform/choosers.h"
#include "platform/prompts.h"
#include "rules/imported_scripts.h"
#include "rules/rule_system.h"
#include "rules/rules_file.h"
#include "rules/rules_import.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace corvane {

namespace {

std::string tooLarge(const std::string& path) {
    return path + " is larger than " + std::to_string(RulesWindow::kMaxImportBytes / (1024 * 1024)) +
           " MB, which is more than a file of triggers and aliases holds. Nothing was imported.";
}

// The file's bytes, or why there are none.
std::string readImport(const std::string& path, std::string& problem) {
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code) {
        problem = "Corvane could not read " + path + " (" + code.message() + ").";
        return {};
    }
    if (size > RulesWindow::kMaxImportBytes) {
        problem = tooLarge(path);
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad() || (!file && !file.eof())) {
        problem = "Corvane could not read " + path + ".";
        return {};
    }
    // It may have grown since its size was taken.
    if (file.peek() != std::char_traits<char>::eof()) {
        problem = tooLarge(path);
        return {};
    }
    return bytes;
}

// Why `count` rules from the file cannot join the book, or nothing: the
// rules file holds no more than its limit, and one over it is not read.
std::string tooMany(const std::string& path, std::size_t count, const RuleBook& book) {
    if (count > RulesWindow::kMaxImportRules) {
        return path + " holds " + std::to_string(count) + " triggers and aliases; Corvane imports at most " +
               std::to_string(RulesWindow::kMaxImportRules) + " from one file. Nothing was imported.";
    }
    const std::size_t kept = static_cast<std::size_t>(std::count_if(
        book.rules().begin(), book.rules().end(), [&](const Rule& rule) { return rule.source != path; }));
    if (kept + count > RulesFile::kMaxRules) {
        return path + " holds " + std::to_string(count) + " triggers and aliases; with the " +
               std::to_string(kept) + " you have, that is more than the " + std::to_string(RulesFile::kMaxRules) +
               " Corvane keeps. Nothing was imported.";
    }
    return {};
}

} // namespace

struct RulesWindow::Import {
    enum class Stage { Read, Translate, Apply, Compile, Report };
    std::string path;
    std::function<void(const std::string&)> done;
    Stage stage = Stage::Read;
    std::optional<Timers::TimerId> timer;
    std::unique_ptr<ImportSteps> steps;
    RulesImport imported;
    // What the report says so far.
    std::string report;
};

RulesWindow::RulesWindow(Services services)
    : m_services(services) {}

RulesWindow::~RulesWindow() {
    if (m_import && m_import->timer) {
        m_services.timers.stop(*m_import->timer);
    }
}

void RulesWindow::open() {
    m_services.rules.triggers().resumeSending();
    if (!m_factory) {
        return;
    }
    if (!m_view) {
        m_view = m_factory();
        m_presenter = std::make_unique<RulesPresenter>(*m_view, m_services.rules.book(), m_services.session,
                                                       std::function<void()>{});
        m_presenter->setScriptCheck(m_scriptCheck);
        m_presenter->setScriptStateHook(m_scriptState);
        m_presenter->setVoices(m_voices);
        m_view->setEvents(m_presenter.get());
    }
    m_presenter->open();
}

void RulesWindow::importFile() {
    if (m_import) {
        m_services.prompts.message("Corvane is still importing " + m_import->path +
                                       ".\rImport another file when it is done.",
                                   "Import Triggers and Aliases", PromptIcon::Information);
        return;
    }
    FileChoice choice;
    choice.title = "Import Triggers and Aliases";
    choice.filters = {
        {"TinyFugue and TinTin++ files (*.tf *.tfrc *.tin *.tintin *.tt)", "*.tf *.tfrc *.tin *.tintin *.tt"},
        {"All files (*)", "*"}};
    choice.mustExist = true;
    const std::optional<std::string> path = m_services.choosers.chooseFile(choice);
    if (!path) {
        return;
    }
    importFrom(*path, [this](const std::string& report) {
        m_services.prompts.report(report, "Import Triggers and Aliases");
    });
}

const std::string& RulesWindow::importing() const {
    static const std::string none;
    return m_import ? m_import->path : none;
}

bool RulesWindow::importFrom(const std::string& path, std::function<void(const std::string&)> done) {
    if (m_import) {
        return false;
    }
    m_import = std::make_unique<Import>();
    m_import->path = path;
    m_import->done = std::move(done);
    m_import->timer = m_services.timers.startSingleShot(std::chrono::milliseconds(0), [this] { importStep(); });
    return true;
}

void RulesWindow::importStep() {
    Import& job = *m_import;
    job.timer.reset();
    switch (job.stage) {
    case Import::Stage::Read: {
        std::string problem;
        std::string bytes = readImport(job.path, problem);
        if (!problem.empty()) {
            finishImport(problem);
            return;
        }
        job.steps = std::make_unique<ImportSteps>(std::move(bytes));
        job.stage = Import::Stage::Translate;
        break;
    }
    case Import::Stage::Translate:
        if (!job.steps->step()) {
            job.imported = job.steps->take();
            job.steps.reset();
            job.stage = Import::Stage::Apply;
        }
        break;
    case Import::Stage::Apply:
        if (const std::string refused = tooMany(job.path, job.imported.rules.size(), m_services.rules.book());
            !refused.empty()) {
            finishImport(refused);
            return;
        }
        job.report = applyImport();
        job.stage = Import::Stage::Compile;
        break;
    case Import::Stage::Compile:
        // The report comes once the rules are saved and every pattern is
        // compiled, so that showing the editor's rows compiles none.
        if (!m_services.rules.book().compileSome(RuleSystem::kCompileStep) && !m_services.rules.saving()) {
            job.stage = Import::Stage::Report;
        }
        break;
    case Import::Stage::Report:
        finishImport(reportImport());
        return;
    }
    job.timer = m_services.timers.startSingleShot(std::chrono::milliseconds(0), [this] { importStep(); });
}

void RulesWindow::finishImport(const std::string& report) {
    std::function<void(const std::string&)> done = std::move(m_import->done);
    m_import.reset();
    if (m_presenter) {
        m_presenter->open();
    }
    if (done) {
        done(report);
    }
}

std::string RulesWindow::applyImport() {
    Import& job = *m_import;
    // Importing a file again replaces what it brought the last time.
    RuleBook& book = m_services.rules.book();
    std::vector<Rule> rules;
    rules.reserve(book.size() + job.imported.rules.size());
    std::size_t replaced = 0;
    for (const Rule& rule : book.rules()) {
        if (rule.source == job.path) {
            ++replaced;
        } else {
            rules.push_back(rule);
        }
    }
    for (Rule& rule : job.imported.rules) {
        rule.source = job.path;
        rules.push_back(std::move(rule));
    }
    book.setRules(std::move(rules));
    std::string report =
        "Added " + std::to_string(job.imported.rules.size()) + " triggers and aliases from " + job.path + ".";
    if (replaced > 0) {
        report += "\rThey replace the " + std::to_string(replaced) + " imported from it before.";
    }
    return report;
}

std::string RulesWindow::reportImport() {
    Import& job = *m_import;
    const RulesImport& imported = job.imported;
    std::string report = job.report;
    if (imported.scripted > 0) {
        report += "\r" + std::to_string(imported.scripted) +
                  " variables, timers and hooks became Lua, run in each world's script.";
    }
    if (imported.readAsWindows1252) {
        report += "\rThe file is not UTF-8; it was read as Windows-1252.";
    }
    if (!m_services.rules.settingsPath().empty()) {
        std::string reason;
        if (!ImportedScripts::Beside(m_services.rules.settingsPath()).store(job.path, imported.script, reason)) {
            report += "\r\rThe file's script was not saved: " + reason + ".";
        } else if (!imported.script.empty() && m_scriptStored) {
            m_scriptStored(job.path);
        }
    }
    if (!imported.skipped.empty()) {
        report += "\r\rLeft out (" + std::to_string(imported.skipped.size()) + "):";
        const std::size_t shown = std::min(imported.skipped.size(), kReportLines);
        for (std::size_t i = 0; i < shown; ++i) {
            report += "\r" + imported.skipped[i];
        }
        if (shown < imported.skipped.size()) {
            report += "\r... and " + std::to_string(imported.skipped.size() - shown) + " more.";
        }
    }
    return report;
}

} // namespace corvane
