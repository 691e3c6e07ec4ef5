#include "qt/qt_script_state_view.h"

#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace corvane {

QtScriptStateView::QtScriptStateView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("ScriptState");
    setModal(false);
    m_list = new QTreeWidget(this);
    m_list->setObjectName("ScriptStateList");
    m_list->setColumnCount(2);
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_name = new QLineEdit(this);
    m_name->setObjectName("ScriptStateName");
    m_value = new QLineEdit(this);
    m_value->setObjectName("ScriptStateValue");
    m_value->setPlaceholderText(tr("a word, a number, or JSON such as {\"hp\": 5}"));
    m_nameLabel = new QLabel(tr("&Name:"), this);
    m_nameLabel->setBuddy(m_name);
    m_valueLabel = new QLabel(tr("V&alue:"), this);
    m_valueLabel->setBuddy(m_value);
    auto* form = new QFormLayout;
    form->addRow(m_nameLabel, m_name);
    form->addRow(m_valueLabel, m_value);
    m_set = new QPushButton(tr("&Set"), this);
    m_set->setObjectName("ScriptStateSet");
    m_remove = new QPushButton(tr("&Remove"), this);
    m_remove->setObjectName("ScriptStateRemove");
    m_refresh = new QPushButton(tr("Re&fresh"), this);
    m_refresh->setObjectName("ScriptStateRefresh");
    auto* close = new QPushButton(tr("Close"), this);
    m_message = new QLabel(this);
    m_message->setObjectName("ScriptStateMessage");
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_set, m_remove, m_refresh}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    close->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(form);
    layout->addWidget(m_message);
    layout->addLayout(buttons);
    resize(480, 380);

    const auto notify = [this](auto handler) {
        if (m_events != nullptr && !m_updating) {
            handler(*m_events);
        }
    };
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this, notify] {
        const int row = selectedRow();
        notify([row](ScriptStateEvents& e) { e.onRowSelected(row); });
    });
    connect(m_set, &QPushButton::clicked, this, [notify] { notify([](ScriptStateEvents& e) { e.onSet(); }); });
    connect(m_value, &QLineEdit::returnPressed, this,
            [notify] { notify([](ScriptStateEvents& e) { e.onSet(); }); });
    connect(m_remove, &QPushButton::clicked, this,
            [notify] { notify([](ScriptStateEvents& e) { e.onRemove(); }); });
    connect(m_refresh, &QPushButton::clicked, this,
            [notify] { notify([](ScriptStateEvents& e) { e.onRefresh(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void QtScriptStateView::setKind(Kind kind) {
    m_kind = kind;
    const bool variables = kind == Kind::Variables;
    setWindowTitle(variables ? tr("Script Variables") : tr("Script Timers"));
    m_list->setHeaderLabels(variables ? QStringList{tr("Name"), tr("Value")} : QStringList{tr("Timer"), tr("When")});
    m_list->setAccessibleName(variables ? tr("Variables") : tr("Running timers"));
    m_name->setAccessibleName(tr("Variable name"));
    m_value->setAccessibleName(tr("Variable value"));
    for (QWidget* widget : std::initializer_list<QWidget*>{m_nameLabel, m_name, m_valueLabel, m_value, m_set}) {
        widget->setVisible(variables);
    }
    m_remove->setText(variables ? tr("&Remove") : tr("&Cancel Timer"));
}

void QtScriptStateView::setRows(const std::vector<Row>& rows) {
    m_updating = true;
    const int current = selectedRow();
    m_list->clear();
    for (const Row& row : rows) {
        new QTreeWidgetItem(m_list, QStringList{toQt(row.name), toQt(row.value)});
    }
    if (current >= 0 && current < m_list->topLevelItemCount()) {
        m_list->setCurrentItem(m_list->topLevelItem(current));
    }
    m_updating = false;
}

void QtScriptStateView::selectRow(int row) {
    m_updating = true;
    m_list->setCurrentItem(row >= 0 && row < m_list->topLevelItemCount() ? m_list->topLevelItem(row) : nullptr);
    m_updating = false;
}

int QtScriptStateView::selectedRow() const {
    return m_list->currentItem() == nullptr ? -1 : m_list->indexOfTopLevelItem(m_list->currentItem());
}

void QtScriptStateView::setName(const std::string& name) {
    m_name->setText(toQt(name));
}

std::string QtScriptStateView::name() const {
    return fromQt(m_name->text().trimmed());
}

void QtScriptStateView::setValue(const std::string& value) {
    m_value->setText(toQt(value));
}

std::string QtScriptStateView::value() const {
    return fromQt(m_value->text());
}

void QtScriptStateView::setMessage(const std::string& message) {
    m_message->setText(toQt(message));
}

void QtScriptStateView::setEditEnabled(bool enabled) {
    for (QWidget* widget : std::initializer_list<QWidget*>{m_name, m_value, m_set, m_remove}) {
        widget->setEnabled(enabled);
    }
}

void QtScriptStateView::showWindow() {
    show();
    raise();
    activateWindow();
}

void QtScriptStateView::closeEvent(QCloseEvent* event) {
    if (m_events != nullptr) {
        m_events->onClosed();
    }
    QDialog::closeEvent(event);
}

} // namespace corvane
