#include "rules/rules_window.h"

#include "platform/choosers.h"
#include "platform/prompts.h"
#include "rules/imported_scripts.h"
#include "rules/rule_system.h"
#include "rules/rules_import.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

std::string tooLarge(const std::string& path) {
    return path + " is larger than " + std::to_string(RulesWindow::kMaxImportBytes / (1024 * 1024)) +
           " MB, which is more than a file of triggers and aliases holds. Nothing was imported.";
}

} // namespace

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
    m_services.prompts.report(importFrom(*path), "Import Triggers and Aliases");
}

std::string RulesWindow::importFrom(const std::string& path) {
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (code) {
        return "Corvane could not read " + path + " (" + code.message() + ").";
    }
    if (size > kMaxImportBytes) {
        return tooLarge(path);
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad() || (!file && !file.eof())) {
        return "Corvane could not read " + path + ".";
    }
    // It may have grown since its size was taken.
    if (file.peek() != std::char_traits<char>::eof()) {
        return tooLarge(path);
    }
    RulesImport imported = ImportRulesBytes(bytes);
    if (imported.rules.size() > kMaxImportRules) {
        return path + " holds " + std::to_string(imported.rules.size()) +
               " triggers and aliases; Corvane imports at most " + std::to_string(kMaxImportRules) +
               " from one file. Nothing was imported.";
    }
    // Importing a file again replaces what it brought the last time.
    RuleBook& book = m_services.rules.book();
    std::vector<Rule> rules;
    std::size_t replaced = 0;
    for (const Rule& rule : book.rules()) {
        if (rule.source == path) {
            ++replaced;
        } else {
            rules.push_back(rule);
        }
    }
    for (Rule& rule : imported.rules) {
        rule.source = path;
        rules.push_back(std::move(rule));
    }
    book.setRules(std::move(rules));
    std::string report =
        "Added " + std::to_string(imported.rules.size()) + " triggers and aliases from " + path + ".";
    if (replaced > 0) {
        report += "\rThey replace the " + std::to_string(replaced) + " imported from it before.";
    }
    if (imported.scripted > 0) {
        report += "\r" + std::to_string(imported.scripted) +
                  " variables, timers and hooks became Lua, run in each world's script.";
    }
    if (imported.readAsWindows1252) {
        report += "\rThe file is not UTF-8; it was read as Windows-1252.";
    }
    if (!m_services.rules.settingsPath().empty()) {
        std::string reason;
        if (!ImportedScripts::Beside(m_services.rules.settingsPath()).store(path, imported.script, reason)) {
            report += "\r\rThe file's script was not saved: " + reason + ".";
        } else if (!imported.script.empty() && m_scriptStored) {
            m_scriptStored(path);
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
    if (m_presenter) {
        m_presenter->open();
    }
    return report;
}

} // namespace corvane
