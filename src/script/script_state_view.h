#pragma once

#include <string>
#include <vector>

namespace corvane {

class ScriptStateEvents {
public:
    virtual ~ScriptStateEvents() = default;
    virtual void onRowSelected(int row) = 0;
    // Variables: sets the named variable to the value; Timers: nothing.
    virtual void onSet() = 0;
    // Variables: removes the named one; Timers: cancels the selected timer.
    virtual void onRemove() = 0;
    virtual void onRefresh() = 0;
    virtual void onClosed() = 0;
};

// A small window over the connected world's scripts: its `vars` (name and
// value as JSON, editable) or its running timers (each can be cancelled).
class ScriptStateView {
public:
    enum class Kind { Variables, Timers };
    struct Row {
        std::string name;
        std::string value;
    };

    virtual ~ScriptStateView() = default;
    virtual void setEvents(ScriptStateEvents* events) = 0;
    // Caption and which controls there are: Timers has no name or value fields.
    virtual void setKind(Kind kind) = 0;
    virtual void setRows(const std::vector<Row>& rows) = 0;
    virtual void selectRow(int row) = 0;
    virtual int selectedRow() const = 0;
    virtual void setName(const std::string& name) = 0;
    virtual std::string name() const = 0;
    virtual void setValue(const std::string& value) = 0;
    virtual std::string value() const = 0;
    // What happened, or why nothing can be done (no world connected).
    virtual void setMessage(const std::string& message) = 0;
    virtual void setEditEnabled(bool enabled) = 0;
    virtual void showWindow() = 0;
};

} // namespace corvane
