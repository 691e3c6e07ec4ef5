#include "rules/rules_window.h"

#include "platform/choosers.h"
#include "platform/prompts.h"
#include "rules/rule_system.h"
#include "rules/rules_import.h"

#include <fstream>
#include <sstream>

namespace corvane {

void RulesWindow::open() {
    m_services.rules.triggers().resumeSending();
    if (!m_factory) {
        return;
    }
    if (!m_view) {
        m_view = m_factory();
        m_presenter = std::make_unique<RulesPresenter>(*m_view, m_services.rules.book(), m_services.session,
                                                       std::function<void()>{});
        m_view->setEvents(m_presenter.get());
    }
    m_presenter->open();
}

void RulesWindow::importFile() {
    FileChoice choice;
    choice.title = "Import Triggers and Aliases";
    choice.filters = {{"TinyFugue and TinTin++ files (*.tf *.tin *.tt)", "*.tf *.tin *.tt"},
                      {"All files (*)", "*"}};
    choice.mustExist = true;
    const std::optional<std::string> path = m_services.choosers.chooseFile(choice);
    if (!path) {
        return;
    }
    m_services.prompts.message(importFrom(*path), "Import Triggers and Aliases", PromptIcon::Information);
}

std::string RulesWindow::importFrom(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (!file) {
        return "Corvane could not read " + path + ".";
    }
    const RulesImport imported = ImportRulesFile(bytes.str());
    RuleBook& book = m_services.rules.book();
    std::vector<Rule> rules = book.rules();
    rules.insert(rules.end(), imported.rules.begin(), imported.rules.end());
    book.setRules(std::move(rules));
    std::string report = "Added " + std::to_string(imported.rules.size()) + " triggers and aliases from " + path + ".";
    if (!imported.skipped.empty()) {
        report += "\r\rLeft out:";
        for (const std::string& line : imported.skipped) {
            report += "\r" + line;
        }
    }
    if (m_presenter) {
        m_presenter->open();
    }
    return report;
}

} // namespace corvane
