#include "rules/rules_presenter.h"

#include "core/session.h"
#include "rules/alias_expander.h"
#include "rules/expansion.h"
#include "rules/import_text.h"
#include "rules/key_bindings.h"
#include "rules/rules_file.h"
#include "rules/trigger_stage.h"

#include <algorithm>

namespace corvane {

namespace {

RuleFields fieldsOf(const Rule& rule) {
    RuleFields f;
    f.kind = static_cast<int>(rule.kind);
    f.world = rule.world;
    f.name = rule.name;
    f.enabled = rule.enabled;
    f.pattern = rule.pattern;
    f.mode = static_cast<int>(rule.mode);
    f.caseSensitive = rule.caseSensitive;
    f.stopHere = rule.stopHere;
    f.send = rule.send;
    f.colour = static_cast<int>(rule.colour);
    f.foreground = rule.foreground ? ColourText(*rule.foreground) : "";
    f.background = rule.background ? ColourText(*rule.background) : "";
    f.bold = rule.bold;
    f.gag = rule.gag;
    f.sound = rule.soundFile;
    f.notify = rule.notify;
    f.status = rule.statusText;
    f.speech = static_cast<int>(rule.voicing);
    f.voice = rule.voice;
    f.script = rule.script;
    return f;
}

// A colour field: "#rrggbb" or a name ("yellow", "light blue"). Text that is
// neither keeps the colour the rule had and says why in `error`.
std::optional<Rgb> colourField(const std::string& text, const std::optional<Rgb>& before, const char* which,
                               std::string& error) {
    const std::string typed = import_text::trim(text);
    if (typed.empty()) {
        return std::nullopt;
    }
    if (auto rgb = ParseColour(typed)) {
        return rgb;
    }
    if (auto rgb = import_text::namedColour(import_text::lower(typed))) {
        return rgb;
    }
    error = "\"" + typed + "\" is no " + which +
            " colour Corvane knows: type a name such as yellow or light blue, or #rrggbb.";
    return before;
}

Rule ruleOf(const RuleFields& f) {
    Rule rule;
    rule.kind = static_cast<Rule::Kind>(std::clamp(f.kind, 0, 2));
    rule.world = f.world;
    rule.name = f.name;
    rule.enabled = f.enabled;
    rule.pattern = f.pattern;
    rule.mode = static_cast<MatchMode>(std::clamp(f.mode, 0, 2));
    rule.caseSensitive = f.caseSensitive;
    rule.stopHere = f.stopHere;
    rule.send = f.send;
    rule.colour = static_cast<Rule::Colour>(std::clamp(f.colour, 0, 2));
    rule.bold = f.bold;
    rule.gag = f.gag;
    rule.soundFile = f.sound;
    rule.notify = f.notify;
    rule.statusText = f.status;
    rule.voicing = static_cast<Rule::Voicing>(std::clamp(f.speech, 0, 3));
    rule.voice = f.voice;
    rule.script = f.script;
    return rule;
}

// A key rule's key that cannot be bound: why (what holds it).
std::string keyError(const Rule& rule) {
    if (rule.kind != Rule::Kind::Key) {
        return {};
    }
    std::string key;
    return KeyBindings::Check(rule.pattern, key);
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string title(const Rule& rule) {
    return quoted(rule.name.empty() ? rule.pattern : rule.name);
}

std::string joinCommands(const std::vector<std::string>& commands) {
    std::string out;
    for (const std::string& command : commands) {
        out += (out.empty() ? "" : ", ") + quoted(command);
    }
    return out;
}

} // namespace

RulesPresenter::RulesPresenter(RulesView& view, RuleBook& book, const Session& session,
                               std::function<void()> closed)
    : m_view(view)
    , m_book(book)
    , m_session(session)
    , m_closed(std::move(closed)) {}

void RulesPresenter::open() {
    m_view.setFilterCaption(m_session.WorldName.empty() ? "This world"
                                                        : "This world (" + m_session.WorldName + ")");
    m_view.setVoices(m_voices ? m_voices() : std::vector<VoiceChoice>{});
    refreshRows();
    m_view.selectRow(m_rows.empty() ? -1 : 0);
    m_selected = m_rows.empty() ? -1 : 0;
    showSelected();
    onTestEdited();
    m_view.showWindow();
}

void RulesPresenter::refreshRows() {
    m_rows.clear();
    std::vector<RuleRow> rows;
    for (std::size_t i = 0; i < m_book.size(); ++i) {
        const Rule& rule = m_book.rule(i);
        if (m_filter == 0 && !rule.appliesTo(m_session.WorldName)) {
            continue;
        }
        m_rows.push_back(i);
        std::string text = (rule.kind == Rule::Kind::Alias ? "Alias "
                            : rule.kind == Rule::Kind::Key ? "Key "
                                                           : "Trigger ") +
                           title(rule);
        if (rule.name.empty() || rule.name != rule.pattern) {
            text += rule.name.empty() ? "" : "  " + rule.pattern;
        }
        text += rule.world.empty() ? "  [all worlds]" : "  [" + rule.world + "]";
        rows.push_back(RuleRow{text, rule.enabled,
                               rule.kind == Rule::Kind::Key ? !keyError(rule).empty() : !m_book.matcher(i).valid()});
    }
    m_view.setRows(rows);
}

int RulesPresenter::selectedIndex() const {
    if (m_selected < 0 || static_cast<std::size_t>(m_selected) >= m_rows.size()) {
        return -1;
    }
    return static_cast<int>(m_rows[static_cast<std::size_t>(m_selected)]);
}

void RulesPresenter::showSelected() {
    const int index = selectedIndex();
    const bool any = index >= 0;
    m_view.setFieldsEnabled(any);
    m_view.setButtonEnabled(RulesView::Button::Duplicate, any);
    m_view.setButtonEnabled(RulesView::Button::Delete, any);
    m_view.setButtonEnabled(RulesView::Button::MoveUp, any && m_selected > 0);
    m_view.setButtonEnabled(RulesView::Button::MoveDown,
                            any && static_cast<std::size_t>(m_selected) + 1 < m_rows.size());
    if (!any) {
        m_view.setFields(RuleFields{});
        m_view.setPatternError("");
        m_view.setScriptError("");
        return;
    }
    const auto at = static_cast<std::size_t>(index);
    m_view.setFields(fieldsOf(m_book.rule(at)));
    const Rule& rule = m_book.rule(at);
    m_view.setPatternError(rule.kind == Rule::Kind::Key ? keyError(rule) : m_book.matcher(at).error());
    showScriptError(m_book.rule(at));
}

void RulesPresenter::showScriptError(const Rule& rule) {
    m_view.setScriptError(m_checkScript && !rule.script.empty()
                              ? m_checkScript(rule.script, rule.name.empty() ? rule.pattern : rule.name)
                              : std::string());
}

void RulesPresenter::onFilterChanged(int filter) {
    const int index = selectedIndex();
    m_filter = filter;
    refreshRows();
    m_selected = -1;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (static_cast<int>(m_rows[row]) == index) {
            m_selected = static_cast<int>(row);
        }
    }
    m_view.selectRow(m_selected);
    showSelected();
}

void RulesPresenter::onRowSelected(int row) {
    m_selected = row;
    showSelected();
}

void RulesPresenter::onRowToggled(int row, bool enabled) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) {
        return;
    }
    const std::size_t index = m_rows[static_cast<std::size_t>(row)];
    Rule rule = m_book.rule(index);
    rule.enabled = enabled;
    m_book.replace(index, std::move(rule));
    if (row == m_selected) {
        showSelected();
    }
    onTestEdited();
}

void RulesPresenter::onFieldsEdited() {
    const int index = selectedIndex();
    if (index < 0) {
        return;
    }
    const auto at = static_cast<std::size_t>(index);
    const RuleFields fields = m_view.fields();
    Rule rule = ruleOf(fields);
    // Where an imported rule came from stays with it through edits.
    rule.source = m_book.rule(at).source;
    std::string colourError;
    rule.foreground = colourField(fields.foreground, m_book.rule(at).foreground, "text", colourError);
    rule.background = colourField(fields.background, m_book.rule(at).background, "background", colourError);
    m_book.replace(at, std::move(rule));
    if (m_book.rule(at).kind == Rule::Kind::Key) {
        m_view.setPatternError(keyError(m_book.rule(at)));
    } else {
        m_view.setPatternError(m_book.matcher(at).valid() ? colourError : m_book.matcher(at).error());
    }
    showScriptError(m_book.rule(at));
    const int selected = m_selected;
    refreshRows();
    // A rule moved to another world leaves this world's list.
    if (static_cast<std::size_t>(selected) < m_rows.size() &&
        m_rows[static_cast<std::size_t>(selected)] == at) {
        m_view.selectRow(selected);
    } else {
        m_selected = -1;
        m_view.selectRow(-1);
        showSelected();
    }
    onTestEdited();
}

void RulesPresenter::insertRule(Rule rule) {
    const int index = selectedIndex();
    const std::size_t at = index < 0 ? m_book.size() : static_cast<std::size_t>(index) + 1;
    m_book.insert(at, std::move(rule));
    refreshRows();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row] == at) {
            m_selected = static_cast<int>(row);
        }
    }
    m_view.selectRow(m_selected);
    showSelected();
    onTestEdited();
}

void RulesPresenter::onAdd() {
    Rule rule;
    rule.name = "New rule";
    rule.pattern = "";
    if (m_filter == 0) {
        rule.world = m_session.WorldName;
    }
    insertRule(std::move(rule));
}

void RulesPresenter::onDuplicate() {
    const int index = selectedIndex();
    if (index < 0) {
        return;
    }
    Rule copy = m_book.rule(static_cast<std::size_t>(index));
    copy.name += " (copy)";
    insertRule(std::move(copy));
}

void RulesPresenter::onDelete() {
    std::vector<std::size_t> doomed;
    for (const int row : m_view.selectedRows()) {
        if (row >= 0 && static_cast<std::size_t>(row) < m_rows.size()) {
            doomed.push_back(m_rows[static_cast<std::size_t>(row)]);
        }
    }
    if (doomed.empty() && selectedIndex() >= 0) {
        doomed.push_back(static_cast<std::size_t>(selectedIndex()));
    }
    if (doomed.empty()) {
        return;
    }
    // All at once: one change of the book, one save.
    std::vector<Rule> kept;
    for (std::size_t i = 0; i < m_book.size(); ++i) {
        if (std::find(doomed.begin(), doomed.end(), i) == doomed.end()) {
            kept.push_back(m_book.rule(i));
        }
    }
    m_book.setRules(std::move(kept));
    refreshRows();
    m_selected = m_rows.empty() ? -1 : std::min(m_selected, static_cast<int>(m_rows.size()) - 1);
    m_view.selectRow(m_selected);
    showSelected();
    onTestEdited();
}

void RulesPresenter::move(int by) {
    const int index = selectedIndex();
    const int target = m_selected + by;
    if (index < 0 || target < 0 || static_cast<std::size_t>(target) >= m_rows.size()) {
        return;
    }
    // Past the rows hidden by the filter: the rule takes its visible
    // neighbour's place.
    const std::size_t from = static_cast<std::size_t>(index);
    const std::size_t to = m_rows[static_cast<std::size_t>(target)];
    std::vector<Rule> rules = m_book.rules();
    Rule moving = rules[from];
    rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(from));
    rules.insert(rules.begin() + static_cast<std::ptrdiff_t>(to), std::move(moving));
    m_book.setRules(std::move(rules));
    m_selected = target;
    refreshRows();
    m_view.selectRow(m_selected);
    showSelected();
    onTestEdited();
}

void RulesPresenter::onMoveUp() {
    move(-1);
}

void RulesPresenter::onMoveDown() {
    move(1);
}

void RulesPresenter::onTestEdited() {
    const std::string line = m_view.testText();
    m_view.setTestResult(line.empty() ? "" : Describe(m_book, m_session.WorldName, line));
}

void RulesPresenter::onClosed() {
    if (m_closed) {
        m_closed();
    }
}

std::string RulesPresenter::Describe(const RuleBook& book, const std::string& world,
                                     const std::string& line) {
    std::string out;
    for (const TriggerFiring& firing : FireTriggers(book, book.active(Rule::Kind::Trigger, world), line)) {
        const Rule& rule = book.rule(firing.rule);
        out += "Trigger " + title(rule) + " matches " + quoted(std::string(firing.match.group(line, 0)));
        for (std::size_t g = 1; g < firing.match.groups.size(); ++g) {
            out += ", $" + std::to_string(g) + " = " + quoted(std::string(firing.match.group(line, g)));
        }
        out += "\n";
        if (!firing.commands.empty()) {
            out += "  sends " + joinCommands(firing.commands) + "\n";
        }
        out += rule.script.empty() ? "" : "  runs its script\n";
        if (rule.colour != Rule::Colour::None) {
            out += rule.colour == Rule::Colour::Match ? "  colours the match\n" : "  colours the line\n";
        }
        if (rule.gag) {
            out += "  hides the line\n";
        }
        if (!rule.soundFile.empty()) {
            out += "  plays " + rule.soundFile + "\n";
        }
        if (rule.notify) {
            out += "  shows a desktop notification\n";
        }
        const std::string voice = rule.voice.empty() ? "" : " (voice " + quoted(rule.voice) + ")";
        switch (rule.voicing) {
        case Rule::Voicing::Usual:
            break;
        case Rule::Voicing::Speak:
            out += "  speaks the line" + voice + "\n";
            break;
        case Rule::Voicing::Interrupt:
            out += "  speaks the line at once, cutting in" + voice + "\n";
            break;
        case Rule::Voicing::Silent:
            out += "  keeps the line from speech\n";
            break;
        }
        if (!firing.status.empty()) {
            out += "  shows " + quoted(firing.status) + " in the status line\n";
        }
        if (rule.stopHere) {
            out += "  stops here\n";
        }
    }
    if (const auto alias = ExpandAlias(book, book.active(Rule::Kind::Alias, world), line)) {
        const Rule& rule = book.rule(alias->rule);
        out += "Alias " + title(rule) +
               (alias->commands.empty() ? "" : " sends " + joinCommands(alias->commands)) + "\n" +
               (rule.script.empty() ? "" : "  runs its script\n");
    }
    // A key's name in the box says what the key does.
    std::string why;
    if (const std::string key = KeyBindings::Normalise(line, why); !key.empty()) {
        for (const std::size_t index : book.active(Rule::Kind::Key, world)) {
            const Rule& rule = book.rule(index);
            if (KeyBindings::Normalise(rule.pattern, why) == key) {
                out += "Key " + title(rule) + " sends " + joinCommands(SplitCommands(rule.send)) + "\n";
                out += rule.script.empty() ? "" : "  runs its script\n";
                break;
            }
        }
    }
    return out.empty() ? "No rule matches." : out;
}

} // namespace corvane
