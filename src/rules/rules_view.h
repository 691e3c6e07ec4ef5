#pragma once

#include <string>
#include <vector>

namespace corvane {

// One row of the rules list.
struct RuleRow {
    std::string text;
    bool enabled = true;
    // The pattern does not compile: the row is drawn in red.
    bool broken = false;
};

// A voice a spoken line can be said in: the engine's id for it and what the list shows.
struct VoiceChoice {
    std::string id;
    std::string label;
    friend bool operator==(const VoiceChoice&, const VoiceChoice&) = default;
};

// The fields of the selected rule, as the editor shows them. Colours are
// "#rrggbb", a colour name as typed, or empty.
struct RuleFields {
    int kind = 0; // trigger, alias, key
    std::string world;
    std::string name;
    bool enabled = true;
    std::string pattern;
    int mode = 0; // plain, whole words, regular expression
    bool caseSensitive = false;
    bool stopHere = false;
    std::string send;
    int colour = 0; // none, the match, the whole line
    std::string foreground;
    std::string background;
    bool bold = false;
    bool gag = false;
    std::string sound;
    bool notify = false;
    std::string status;
    int speech = 0; // as the Speech page says, speak, speak at once cutting in, don't speak
    // A voice id; empty: the Speech page's.
    std::string voice;
    // Lua run when the rule fires, after Send.
    std::string script;
    friend bool operator==(const RuleFields&, const RuleFields&) = default;
};

class RulesEvents {
public:
    virtual ~RulesEvents() = default;
    // 0: this world, 1: all worlds.
    virtual void onFilterChanged(int filter) = 0;
    virtual void onRowSelected(int row) = 0;
    virtual void onRowToggled(int row, bool enabled) = 0;
    virtual void onFieldsEdited() = 0;
    virtual void onAdd() = 0;
    virtual void onDuplicate() = 0;
    virtual void onDelete() = 0;
    virtual void onMoveUp() = 0;
    virtual void onMoveDown() = 0;
    virtual void onTestEdited() = 0;
    virtual void onClosed() = 0;
    // The Variables (0) or Timers (1) button: the connected world's scripts.
    virtual void onOpenScriptState(int /*which*/) {}
};

// The "Triggers and Aliases" window: the list with its world filter, the
// selected rule's fields, the buttons and the Test box.
class RulesView {
public:
    enum class Button { Duplicate, Delete, MoveUp, MoveDown };

    virtual ~RulesView() = default;
    virtual void setEvents(RulesEvents* events) = 0;
    virtual void setFilterCaption(const std::string& thisWorld) = 0;
    virtual void setRows(const std::vector<RuleRow>& rows) = 0;
    virtual void selectRow(int row) = 0;
    // Every row the player selected (the list takes several), in order.
    virtual std::vector<int> selectedRows() const = 0;
    // The voices a trigger's Speak can choose, before the fields are set.
    virtual void setVoices(const std::vector<VoiceChoice>& voices) = 0;
    virtual void setFields(const RuleFields& fields) = 0;
    virtual RuleFields fields() const = 0;
    virtual void setFieldsEnabled(bool enabled) = 0;
    // The library's message for a pattern that does not compile, in red;
    // empty hides it.
    virtual void setPatternError(const std::string& error) = 0;
    // Where the script does not compile, in red; empty hides it.
    virtual void setScriptError(const std::string& error) = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    virtual std::string testText() const = 0;
    virtual void setTestResult(const std::string& result) = 0;
    virtual void showWindow() = 0;
};

} // namespace corvane
