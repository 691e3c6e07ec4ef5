#pragma once

#include "script/script_state_view.h"

namespace corvane::testing {

// Keeps what the Variables or Timers window was told to show.
class FakeScriptStateView : public ScriptStateView {
public:
    void setEvents(ScriptStateEvents* e) override { events = e; }
    void setKind(Kind k) override { kind = k; }
    void setRows(const std::vector<Row>& r) override { rows = r; }
    void selectRow(int row) override { selected = row; }
    int selectedRow() const override { return selected; }
    void setName(const std::string& n) override { nameText = n; }
    std::string name() const override { return nameText; }
    void setValue(const std::string& v) override { valueText = v; }
    std::string value() const override { return valueText; }
    void setMessage(const std::string& m) override { message = m; }
    void setEditEnabled(bool enabled) override { editEnabled = enabled; }
    void showWindow() override { ++shown; }

    ScriptStateEvents* events = nullptr;
    Kind kind = Kind::Variables;
    std::vector<Row> rows;
    int selected = -1;
    std::string nameText;
    std::string valueText;
    std::string message;
    bool editEnabled = false;
    int shown = 0;
};

} // namespace corvane::testing
