#pragma once

#include "rules/rule_book.h"
#include "rules/rules_view.h"

#include <functional>

namespace corvane {

struct Session;

// The rules of the Triggers and Aliases window. Every edit goes into the
// rule book at once (which saves it); closing the window keeps everything.
class RulesPresenter : public RulesEvents {
public:
    RulesPresenter(RulesView& view, RuleBook& book, const Session& session, std::function<void()> closed);

    void open();
    // Compiles a rule's script (never runs it): the error, or empty. None: not checked.
    void setScriptCheck(std::function<std::string(const std::string& script, const std::string& name)> check) {
        m_checkScript = std::move(check);
    }

    void onFilterChanged(int filter) override;
    void onRowSelected(int row) override;
    void onRowToggled(int row, bool enabled) override;
    void onFieldsEdited() override;
    void onAdd() override;
    void onDuplicate() override;
    void onDelete() override;
    void onMoveUp() override;
    void onMoveDown() override;
    void onTestEdited() override;
    void onClosed() override;
    void onOpenScriptState(int which) override {
        if (m_openScriptState) {
            m_openScriptState(which);
        }
    }
    void setScriptStateHook(std::function<void(int)> open) { m_openScriptState = std::move(open); }
    // The speech engine's voices, asked each time the window opens. None: no choice of voice.
    void setVoices(std::function<std::vector<VoiceChoice>()> voices) { m_voices = std::move(voices); }

    // What the rules would do with a line, as the Test box says it.
    static std::string Describe(const RuleBook& book, const std::string& world, const std::string& line);

private:
    void refreshRows();
    void showSelected();
    void insertRule(Rule rule);
    void move(int by);
    int selectedIndex() const;
    void showScriptError(const Rule& rule);

    RulesView& m_view;
    RuleBook& m_book;
    const Session& m_session;
    std::function<void()> m_closed;
    int m_filter = 0;
    // Book indexes of the rows shown.
    std::vector<std::size_t> m_rows;
    int m_selected = -1;
    std::function<std::string(const std::string&, const std::string&)> m_checkScript;
    std::function<void(int)> m_openScriptState;
    std::function<std::vector<VoiceChoice>()> m_voices;
};

} // namespace corvane
