#pragma once

#include "rules/rules_view.h"

#include <map>

namespace corvane::testing {

class FakeRulesView : public RulesView {
public:
    void setEvents(RulesEvents* e) override { events = e; }
    void setFilterCaption(const std::string& text) override { filterCaption = text; }
    void setRows(const std::vector<RuleRow>& r) override { rows = r; }
    void selectRow(int row) override { selected = row; }
    std::vector<int> selectedRows() const override {
        return chosen.empty() && selected >= 0 ? std::vector<int>{selected} : chosen;
    }
    void setVoices(const std::vector<VoiceChoice>& offered) override { voices = offered; }
    void setFields(const RuleFields& f) override { shown = f; }
    RuleFields fields() const override { return shown; }
    void setFieldsEnabled(bool enabled) override { fieldsEnabled = enabled; }
    void setPatternError(const std::string& error) override { patternError = error; }
    void setScriptError(const std::string& error) override { scriptError = error; }
    void setButtonEnabled(Button button, bool enabled) override { buttons[button] = enabled; }
    std::string testText() const override { return test; }
    void setTestResult(const std::string& result) override { testResult = result; }
    void showWindow() override { ++shows; }

    RulesEvents* events = nullptr;
    std::string filterCaption;
    std::vector<RuleRow> rows;
    int selected = -1;
    // Rows selected beside the current one; empty: only it.
    std::vector<int> chosen;
    std::vector<VoiceChoice> voices;
    RuleFields shown;
    bool fieldsEnabled = false;
    std::string patternError;
    std::string scriptError;
    std::map<Button, bool> buttons;
    std::string test;
    std::string testResult;
    int shows = 0;
};

} // namespace corvane::testing
