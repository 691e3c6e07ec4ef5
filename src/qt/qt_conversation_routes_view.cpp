#include "qt/qt_conversation_routes_view.h"

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
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {
// Setting the same text again would move the caret while the player types.
void setTextKeepingCaret(QLineEdit* edit, const std::string& value) {
    if (edit->text() != toQt(value)) {
        edit->setText(toQt(value));
    }
}
} // namespace

QtConversationRoutesView::QtConversationRoutesView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("ConversationRoutesWindow");
    setWindowTitle(tr("Conversation Routes"));
    setModal(false);

    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(name);
        return widget;
    };
    m_list = named(new QListWidget(this), "ConversationRoutesList");
    m_list->setAccessibleName(tr("Routes"));
    m_addPuppet = named(new QPushButton(tr("Add P&uppet"), this), "ConversationRoutesAddPuppet");
    m_addRoute = named(new QPushButton(tr("Add &Route"), this), "ConversationRoutesAddRoute");
    m_delete = named(new QPushButton(tr("&Delete"), this), "ConversationRoutesDelete");
    m_up = named(new QPushButton(tr("Move U&p"), this), "ConversationRoutesMoveUp");
    m_down = named(new QPushButton(tr("Move Do&wn"), this), "ConversationRoutesMoveDown");
    m_save = named(new QPushButton(tr("&Save"), this), "ConversationRoutesSave");
    auto* close = named(new QPushButton(tr("Close"), this), "ConversationRoutesClose");
    for (QPushButton* button : {m_addPuppet, m_addRoute, m_delete, m_up, m_down, m_save, close}) {
        button->setAutoDefault(false);
    }

    auto* fields = new QWidget(this);
    auto* form = new QFormLayout(fields);
    m_example = named(new QLabel(fields), "ConversationRouteExample");
    m_example->setTextFormat(Qt::PlainText);
    m_example->setWordWrap(true);
    form->addRow(tr("Lines like:"), m_example);
    m_name = named(new QLineEdit(fields), "ConversationRouteName");
    m_name->setPlaceholderText(tr("the window's name, as Rex"));
    form->addRow(tr("&Name:"), m_name);
    m_linePrefix = named(new QLineEdit(fields), "ConversationRouteLinePrefix");
    m_linePrefix->setPlaceholderText(tr("what its lines start with, as Rex> "));
    form->addRow(tr("Lines &start with:"), m_linePrefix);
    m_sendPrefix = named(new QLineEdit(fields), "ConversationRouteSendPrefix");
    m_sendPrefix->setPlaceholderText(tr("what typed lines are sent with, as rex "));
    form->addRow(tr("S&end with:"), m_sendPrefix);
    m_routeKind = named(new QComboBox(fields), "ConversationRouteKind");
    m_routeKind->addItems({tr("Pages (answered with page name=)"), tr("Whispers (answered with whisper name=)")});
    form->addRow(tr("&Kind:"), m_routeKind);
    m_mode = named(new QComboBox(fields), "ConversationRouteMode");
    m_mode->addItems({tr("Plain text"), tr("Whole words"), tr("Regular expression")});
    form->addRow(tr("&Match:"), m_mode);
    m_pattern = named(new QLineEdit(fields), "ConversationRoutePattern");
    m_pattern->setPlaceholderText(tr("^(?<who>\\S+) sends you a note: "));
    form->addRow(tr("Pa&ttern:"), m_pattern);
    m_lines = named(new QComboBox(fields), "ConversationRouteLines");
    m_lines->addItems({tr("To its window and the main output"), tr("To its window only"), tr("Off")});
    form->addRow(tr("&Lines go:"), m_lines);
    m_opens = named(new QCheckBox(tr("The window &opens by itself"), fields), "ConversationRouteOpens");
    m_opens->setToolTip(tr("Otherwise its lines wait, counted as unread, in View > Conversations"));
    form->addRow(QString(), m_opens);
    m_error = named(new QLabel(fields), "ConversationRouteError");
    m_error->setTextFormat(Qt::PlainText);
    m_error->setWordWrap(true);
    m_error->setStyleSheet("color: #c00000;");
    m_error->hide();
    form->addRow(QString(), m_error);

    auto* left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    auto* adds = new QHBoxLayout;
    adds->addWidget(m_addPuppet);
    adds->addWidget(m_addRoute);
    adds->addWidget(m_delete);
    auto* moves = new QHBoxLayout;
    moves->addWidget(m_up);
    moves->addWidget(m_down);
    left->addLayout(adds);
    left->addLayout(moves);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(ScrollingPart(fields), 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_save);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    // As large as the form asks; a smaller screen makes it smaller and the
    // form scrolls.
    ensurePolished();
    resize(sizeHint());
    // Tab goes down the list's side, then the form beside it, then the bottom row.
    const QList<QWidget*> order{m_list,  m_addPuppet, m_addRoute, m_delete,  m_up,    m_down,
                                m_name,  m_linePrefix, m_sendPrefix, m_routeKind, m_mode, m_pattern,
                                m_lines, m_opens,     m_save,     close};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { notify([row](ConversationRoutesEvents& e) { e.onRowSelected(row); }); });
    connect(m_addPuppet, &QPushButton::clicked, this, [this] { notify([](auto& e) { e.onAddPuppet(); }); });
    connect(m_addRoute, &QPushButton::clicked, this, [this] { notify([](auto& e) { e.onAddRoute(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { notify([](auto& e) { e.onDelete(); }); });
    connect(m_up, &QPushButton::clicked, this, [this] { notify([](auto& e) { e.onMoveUp(); }); });
    connect(m_down, &QPushButton::clicked, this, [this] { notify([](auto& e) { e.onMoveDown(); }); });
    connect(m_save, &QPushButton::clicked, this, [this] { notify([](auto& e) { e.onSave(); }); });
    connect(close, &QPushButton::clicked, this, &QtConversationRoutesView::reject);
    for (QLineEdit* edit : {m_name, m_linePrefix, m_sendPrefix, m_pattern}) {
        connect(edit, &QLineEdit::textEdited, this, [this] { edited(); });
    }
    for (QComboBox* box : {m_routeKind, m_mode, m_lines}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { edited(); });
    }
    connect(m_opens, &QCheckBox::toggled, this, [this] { edited(); });
}

template <typename Handler> void QtConversationRoutesView::notify(Handler handler) {
    if (m_events != nullptr && !m_updating) {
        handler(*m_events);
    }
}

void QtConversationRoutesView::edited() {
    notify([](ConversationRoutesEvents& e) { e.onFieldsEdited(); });
}

void QtConversationRoutesView::setRows(const std::vector<std::string>& rows) {
    m_updating = true;
    // Rows keep their items, so the list does not jump while a field is typed in.
    while (m_list->count() > static_cast<int>(rows.size())) {
        delete m_list->takeItem(m_list->count() - 1);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int at = static_cast<int>(i);
        if (at < m_list->count()) {
            m_list->item(at)->setText(toQt(rows[i]));
        } else {
            m_list->addItem(toQt(rows[i]));
        }
    }
    m_updating = false;
}

void QtConversationRoutesView::selectRow(int row) {
    m_updating = true;
    m_list->setCurrentRow(row);
    m_updating = false;
}

void QtConversationRoutesView::setFields(const ConversationRouteFields& f) {
    using Kind = ConversationRouteFields::Kind;
    m_updating = true;
    m_kind = f.kind;
    m_example->setText(toQt(f.example));
    setTextKeepingCaret(m_name, f.name);
    setTextKeepingCaret(m_linePrefix, f.linePrefix);
    setTextKeepingCaret(m_sendPrefix, f.sendPrefix);
    m_routeKind->setCurrentIndex(f.whisper ? 1 : 0);
    m_mode->setCurrentIndex(f.mode);
    setTextKeepingCaret(m_pattern, f.pattern);
    m_lines->setCurrentIndex(f.lines);
    m_opens->setChecked(f.opens);
    for (QWidget* widget : std::initializer_list<QWidget*>{m_name, m_linePrefix, m_sendPrefix}) {
        widget->setEnabled(f.kind == Kind::Puppet);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{m_routeKind, m_mode, m_pattern}) {
        widget->setEnabled(f.kind == Kind::Route);
    }
    m_updating = false;
}

ConversationRouteFields QtConversationRoutesView::fields() const {
    ConversationRouteFields f;
    f.kind = m_kind;
    f.name = fromQt(m_name->text());
    f.linePrefix = fromQt(m_linePrefix->text());
    f.sendPrefix = fromQt(m_sendPrefix->text());
    f.whisper = m_routeKind->currentIndex() == 1;
    f.mode = m_mode->currentIndex();
    f.pattern = fromQt(m_pattern->text());
    f.lines = m_lines->currentIndex();
    f.opens = m_opens->isChecked();
    return f;
}

void QtConversationRoutesView::setError(const std::string& error) {
    m_error->setText(toQt(error));
    m_error->setVisible(!error.empty());
}

void QtConversationRoutesView::setButtonEnabled(Button button, bool enabled) {
    switch (button) {
    case Button::Delete:
        m_delete->setEnabled(enabled);
        break;
    case Button::MoveUp:
        m_up->setEnabled(enabled);
        break;
    case Button::MoveDown:
        m_down->setEnabled(enabled);
        break;
    case Button::Save:
        m_save->setEnabled(enabled);
        break;
    }
}

void QtConversationRoutesView::showWindow() {
    // Opened by the player from the menu, so it may take the keyboard.
    show();
    raise();
    activateWindow();
}

void QtConversationRoutesView::reject() {
    if (m_events == nullptr || m_events->onCloseAsked()) {
        QDialog::reject();
    }
}

void QtConversationRoutesView::closeEvent(QCloseEvent* event) {
    if (m_events != nullptr && !m_events->onCloseAsked()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace corvane
