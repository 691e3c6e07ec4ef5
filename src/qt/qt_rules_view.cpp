#include "qt/qt_rules_view.h"

#include "qt/qt_screen_fit.h"
#include "qt/qt_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace corvane {

namespace {
QString text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string str(const QString& s) {
    return s.toUtf8().toStdString();
}
} // namespace

QtRulesView::QtRulesView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("RulesWindow");
    setWindowTitle(tr("Triggers and Aliases"));
    setModal(false);

    m_filter = new QComboBox(this);
    m_filter->setObjectName("RulesFilter");
    m_filter->setAccessibleName(tr("Show rules of"));
    m_filter->addItems({tr("This world"), tr("All worlds")});
    m_list = new QListWidget(this);
    m_list->setObjectName("RulesList");
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAccessibleName(tr("Rules"));
    m_list->setAccessibleDescription(tr("Triggers and aliases in the order they are tried; the box turns one on or off"));
    m_add = new QPushButton(tr("&Add"), this);
    m_add->setObjectName("RulesAdd");
    m_duplicate = new QPushButton(tr("D&uplicate"), this);
    m_duplicate->setObjectName("RulesDuplicate");
    m_delete = new QPushButton(tr("&Delete"), this);
    m_delete->setObjectName("RulesDelete");
    m_up = new QPushButton(tr("Move U&p"), this);
    m_up->setObjectName("RulesMoveUp");
    m_down = new QPushButton(tr("Move Do&wn"), this);
    m_down->setObjectName("RulesMoveDown");
    for (QPushButton* button : {m_add, m_duplicate, m_delete, m_up, m_down}) {
        button->setAutoDefault(false);
    }

    m_fields = new QWidget(this);
    auto* form = new QFormLayout(m_fields);
    auto named = [](QWidget* widget, const char* name) {
        widget->setObjectName(name);
        return widget;
    };
    m_kind = new QComboBox(m_fields);
    m_kind->addItems({tr("Trigger (matches lines from the world)"), tr("Alias (matches what you send)"),
                      tr("Key (pressed in the main window)")});
    form->addRow(tr("&Kind:"), named(m_kind, "RuleKind"));
    m_world = new QLineEdit(m_fields);
    m_world->setPlaceholderText(tr("every world"));
    form->addRow(tr("&World:"), named(m_world, "RuleWorld"));
    m_name = new QLineEdit(m_fields);
    form->addRow(tr("&Name:"), named(m_name, "RuleName"));
    m_enabled = new QCheckBox(tr("&On"), m_fields);
    form->addRow(QString(), named(m_enabled, "RuleEnabled"));
    m_pattern = new QLineEdit(m_fields);
    form->addRow(tr("&Pattern:"), named(m_pattern, "RulePattern"));
    m_error = new QLabel(m_fields);
    m_error->setObjectName("RulePatternError");
    m_error->setTextFormat(Qt::PlainText);
    m_error->setWordWrap(true);
    m_error->setStyleSheet("color: #c00000;");
    // Room for two lines of message is kept when there is none, so the
    // fields below never jump as a message comes and goes.
    m_error->setMinimumHeight(2 * m_error->fontMetrics().lineSpacing());
    m_error->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->addRow(QString(), m_error);
    m_mode = new QComboBox(m_fields);
    m_mode->addItems({tr("Plain text"), tr("Whole words"), tr("Regular expression")});
    form->addRow(tr("&Match:"), named(m_mode, "RuleMode"));
    m_case = new QCheckBox(tr("&Case-sensitive"), m_fields);
    m_stop = new QCheckBox(tr("&Stop here (later rules are not tried)"), m_fields);
    form->addRow(QString(), named(m_case, "RuleCase"));
    form->addRow(QString(), named(m_stop, "RuleStop"));
    m_send = new QPlainTextEdit(m_fields);
    m_send->setTabChangesFocus(true);
    m_send->setPlaceholderText(tr("Commands, one a line or split by ;  ($1 or %1 for what matched)"));
    m_send->setMaximumHeight(70);
    form->addRow(tr("S&end:"), named(m_send, "RuleSend"));
    m_script = new QPlainTextEdit(m_fields);
    m_script->setTabChangesFocus(true);
    m_script->setPlaceholderText(tr("Lua run when it fires: matches[1] for what matched, send(), echo(), gag()..."));
    m_script->setMaximumHeight(90);
    form->addRow(tr("Scr&ipt:"), named(m_script, "RuleScript"));
    m_scriptError = new QLabel(m_fields);
    m_scriptError->setObjectName("RuleScriptError");
    m_scriptError->setTextFormat(Qt::PlainText);
    m_scriptError->setWordWrap(true);
    m_scriptError->setStyleSheet("color: #c00000;");
    m_scriptError->hide();
    form->addRow(QString(), m_scriptError);
    m_colour = new QComboBox(m_fields);
    m_colour->addItems({tr("No colour"), tr("Colour the match"), tr("Colour the whole line")});
    form->addRow(tr("C&olour:"), named(m_colour, "RuleColour"));
    auto* colours = new QHBoxLayout;
    m_foreground = new QLineEdit(m_fields);
    m_foreground->setPlaceholderText(tr("text: yellow or #rrggbb"));
    m_background = new QLineEdit(m_fields);
    m_background->setPlaceholderText(tr("background: blue or #rrggbb"));
    m_foreground->setAccessibleName(tr("Text colour"));
    m_background->setAccessibleName(tr("Background colour"));
    m_bold = new QCheckBox(tr("&Bold"), m_fields);
    colours->addWidget(named(m_foreground, "RuleForeground"));
    colours->addWidget(named(m_background, "RuleBackground"));
    colours->addWidget(named(m_bold, "RuleBold"));
    form->addRow(QString(), colours);
    m_gag = new QCheckBox(tr("&Hide the line (still logged)"), m_fields);
    form->addRow(QString(), named(m_gag, "RuleGag"));
    m_sound = new QLineEdit(m_fields);
    m_sound->setPlaceholderText(tr("a WAV file to play"));
    form->addRow(tr("Soun&d:"), named(m_sound, "RuleSound"));
    m_notify = new QCheckBox(tr("Desktop &notification"), m_fields);
    form->addRow(QString(), named(m_notify, "RuleNotify"));
    m_status = new QLineEdit(m_fields);
    form->addRow(tr("S&tatus line:"), named(m_status, "RuleStatus"));
    m_speech = new QComboBox(m_fields);
    m_speech->addItems({tr("As the Speech page says"), tr("Speak"), tr("Speak at once, cutting in"),
                        tr("Don't speak (the line stays on screen)")});
    m_voice = new QComboBox(m_fields);
    m_voice->setToolTip(tr("The voice the line is spoken in"));
    setVoices({});
    form->addRow(tr("Say a&loud:"), named(m_speech, "RuleSpeech"));
    form->addRow(tr("Voice:"), named(m_voice, "RuleVoice"));

    m_test = new QLineEdit(this);
    m_test->setObjectName("RulesTest");
    m_test->setPlaceholderText(tr("Paste a line to see which rules match it (nothing is sent)"));
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName("RulesTestResult");
    m_result->setReadOnly(true);
    m_result->setAccessibleName(tr("Test result"));
    m_result->setMaximumHeight(90);
    auto* close = new QPushButton(tr("Close"), this);
    close->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(m_filter);
    left->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_add, m_duplicate, m_delete}) {
        buttons->addWidget(button);
    }
    auto* moves = new QHBoxLayout;
    moves->addWidget(m_up);
    moves->addWidget(m_down);
    left->addLayout(buttons);
    left->addLayout(moves);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 2);
    top->addWidget(ScrollingPart(m_fields), 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    auto* testLabel = new QLabel(tr("&Test:"), this);
    testLabel->setBuddy(m_test);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(testLabel);
    testRow->addWidget(m_test, 1);
    layout->addLayout(testRow);
    layout->addWidget(m_result);
    auto* bottom = new QHBoxLayout;
    auto* variables = new QPushButton(tr("&Variables..."), this);
    variables->setObjectName("RulesVariables");
    variables->setToolTip(tr("The connected world's script variables (vars), to read and change"));
    auto* timers = new QPushButton(tr("Time&rs..."), this);
    timers->setObjectName("RulesTimers");
    timers->setToolTip(tr("The connected world's running timers, to cancel"));
    for (QPushButton* button : {variables, timers}) {
        button->setAutoDefault(false);
        bottom->addWidget(button);
    }
    connect(variables, &QPushButton::clicked, this,
            [this] { notify([](RulesEvents& e) { e.onOpenScriptState(0); }); });
    connect(timers, &QPushButton::clicked, this, [this] { notify([](RulesEvents& e) { e.onOpenScriptState(1); }); });
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    // Its scroll area took the form after the controls below were made, which
    // put the form last for Tab; the test line and Close go back below it.
    QWidget* lastField = m_fields;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (m_fields->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0) {
            lastField = w;
        }
    }
    setTabOrder(lastField, m_test);
    setTabOrder(m_test, m_result);
    setTabOrder(m_result, variables);
    setTabOrder(variables, timers);
    setTabOrder(timers, close);
    // As large as the form asks; a smaller screen makes it smaller and the
    // form scrolls.
    ensurePolished();
    resize(sizeHint());

    connect(m_filter, &QComboBox::activated, this,
            [this](int index) { notify([index](RulesEvents& e) { e.onFilterChanged(index); }); });
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { notify([row](RulesEvents& e) { e.onRowSelected(row); }); });
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        const bool on = item->checkState() == Qt::Checked;
        notify([row, on](RulesEvents& e) { e.onRowToggled(row, on); });
    });
    connect(m_add, &QPushButton::clicked, this, [this] { notify([](RulesEvents& e) { e.onAdd(); }); });
    connect(m_duplicate, &QPushButton::clicked, this, [this] { notify([](RulesEvents& e) { e.onDuplicate(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { notify([](RulesEvents& e) { e.onDelete(); }); });
    connect(m_up, &QPushButton::clicked, this, [this] { notify([](RulesEvents& e) { e.onMoveUp(); }); });
    connect(m_down, &QPushButton::clicked, this, [this] { notify([](RulesEvents& e) { e.onMoveDown(); }); });
    connect(m_test, &QLineEdit::textChanged, this, [this] { notify([](RulesEvents& e) { e.onTestEdited(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    for (QLineEdit* edit : {m_world, m_name, m_pattern, m_foreground, m_background, m_sound, m_status}) {
        connect(edit, &QLineEdit::textEdited, this, [this] { edited(); });
    }
    for (QCheckBox* box : {m_enabled, m_case, m_stop, m_bold, m_gag, m_notify}) {
        connect(box, &QCheckBox::toggled, this, [this] { edited(); });
    }
    // A new kind greys what it does not use at once, not at the next selection.
    connect(m_kind, &QComboBox::currentIndexChanged, this, [this](int kind) { enableForKind(kind); });
    connect(m_speech, &QComboBox::currentIndexChanged, this, [this] { enableForKind(m_kind->currentIndex()); });
    for (QComboBox* combo : {m_kind, m_mode, m_colour, m_speech, m_voice}) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { edited(); });
    }
    connect(m_send, &QPlainTextEdit::textChanged, this, [this] { edited(); });
    connect(m_script, &QPlainTextEdit::textChanged, this, [this] { edited(); });
}

template <typename Handler> void QtRulesView::notify(Handler handler) {
    if (m_events != nullptr && !m_updating) {
        handler(*m_events);
    }
}

void QtRulesView::edited() {
    notify([](RulesEvents& e) { e.onFieldsEdited(); });
}

void QtRulesView::setFilterCaption(const std::string& thisWorld) {
    m_filter->setItemText(0, text(thisWorld));
}

void QtRulesView::setRows(const std::vector<RuleRow>& rows) {
    m_updating = true;
    const int current = m_list->currentRow();
    m_list->clear();
    for (const RuleRow& row : rows) {
        auto* item = new QListWidgetItem(text(row.text), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(row.enabled ? Qt::Checked : Qt::Unchecked);
        if (row.broken) {
            item->setForeground(QColor(0xc0, 0, 0));
            item->setToolTip(tr("The pattern does not compile: the rule is skipped."));
        }
    }
    if (current >= 0 && current < m_list->count()) {
        m_list->setCurrentRow(current);
    }
    m_updating = false;
}

std::vector<int> QtRulesView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void QtRulesView::selectRow(int row) {
    m_updating = true;
    m_list->setCurrentRow(row);
    m_updating = false;
}

void QtRulesView::setVoices(const std::vector<VoiceChoice>& voices) {
    const bool updating = m_updating;
    m_updating = true;
    m_voice->clear();
    m_voice->addItem(tr("The Speech page's voice"), QString());
    for (const VoiceChoice& voice : voices) {
        m_voice->addItem(text(voice.label), text(voice.id));
    }
    m_updating = updating;
}

void QtRulesView::setFields(const RuleFields& f) {
    m_updating = true;
    m_kind->setCurrentIndex(f.kind);
    m_world->setText(text(f.world));
    m_name->setText(text(f.name));
    m_enabled->setChecked(f.enabled);
    m_pattern->setText(text(f.pattern));
    m_mode->setCurrentIndex(f.mode);
    m_case->setChecked(f.caseSensitive);
    m_stop->setChecked(f.stopHere);
    if (m_send->toPlainText() != text(f.send)) {
        m_send->setPlainText(text(f.send));
    }
    if (m_script->toPlainText() != text(f.script)) {
        m_script->setPlainText(text(f.script));
    }
    m_colour->setCurrentIndex(f.colour);
    m_foreground->setText(text(f.foreground));
    m_background->setText(text(f.background));
    m_bold->setChecked(f.bold);
    m_gag->setChecked(f.gag);
    m_sound->setText(text(f.sound));
    m_notify->setChecked(f.notify);
    m_status->setText(text(f.status));
    m_speech->setCurrentIndex(f.speech);
    int voice = m_voice->findData(text(f.voice));
    if (voice < 0) {
        // A voice this engine does not offer (now) stays the rule's until changed.
        m_voice->addItem(tr("%1 (not offered now)").arg(text(f.voice)), text(f.voice));
        voice = m_voice->count() - 1;
    }
    m_voice->setCurrentIndex(voice);
    enableForKind(f.kind);
    m_updating = false;
}

void QtRulesView::enableForKind(int kind) {
    m_pattern->setPlaceholderText(kind == 2 ? tr("a key: KP8, F9, Ctrl+K, Alt+Shift+X") : QString());
    // Colour, hiding, sound and notification belong to triggers only.
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_colour, m_foreground, m_background, m_bold, m_gag, m_sound, m_notify, m_status, m_speech}) {
        widget->setEnabled(kind == 0);
    }
    // Only a line spoken by the rule is said in its voice.
    m_voice->setEnabled(kind == 0 && (m_speech->currentIndex() == 1 || m_speech->currentIndex() == 2));
    // A key has a name, not a pattern to match.
    for (QWidget* widget : std::initializer_list<QWidget*>{m_mode, m_case, m_stop}) {
        widget->setEnabled(kind != 2);
    }
}

RuleFields QtRulesView::fields() const {
    RuleFields f;
    f.kind = m_kind->currentIndex();
    f.world = str(m_world->text());
    f.name = str(m_name->text());
    f.enabled = m_enabled->isChecked();
    f.pattern = str(m_pattern->text());
    f.mode = m_mode->currentIndex();
    f.caseSensitive = m_case->isChecked();
    f.stopHere = m_stop->isChecked();
    f.send = str(m_send->toPlainText());
    f.script = str(m_script->toPlainText());
    f.colour = m_colour->currentIndex();
    f.foreground = str(m_foreground->text().trimmed());
    f.background = str(m_background->text().trimmed());
    f.bold = m_bold->isChecked();
    f.gag = m_gag->isChecked();
    f.sound = str(m_sound->text());
    f.notify = m_notify->isChecked();
    f.status = str(m_status->text());
    f.speech = m_speech->currentIndex();
    f.voice = str(m_voice->currentData().toString());
    return f;
}

void QtRulesView::setFieldsEnabled(bool enabled) {
    m_fields->setEnabled(enabled);
}

void QtRulesView::setPatternError(const std::string& error) {
    m_error->setText(text(error));
    m_pattern->setStyleSheet(error.empty() ? QString() : QString("color: #c00000;"));
}

void QtRulesView::setScriptError(const std::string& error) {
    m_scriptError->setText(text(error));
    m_scriptError->setVisible(!error.empty());
}

void QtRulesView::setButtonEnabled(Button button, bool enabled) {
    switch (button) {
    case Button::Duplicate:
        m_duplicate->setEnabled(enabled);
        break;
    case Button::Delete:
        m_delete->setEnabled(enabled);
        break;
    case Button::MoveUp:
        m_up->setEnabled(enabled);
        break;
    case Button::MoveDown:
        m_down->setEnabled(enabled);
        break;
    }
}

std::string QtRulesView::testText() const {
    return str(m_test->text());
}

void QtRulesView::setTestResult(const std::string& result) {
    m_result->setPlainText(text(result));
}

void QtRulesView::showWindow() {
    show();
    raise();
    activateWindow();
}

void QtRulesView::closeEvent(QCloseEvent* event) {
    notify([](RulesEvents& e) { e.onClosed(); });
    QDialog::closeEvent(event);
}

} // namespace corvane
