#include "qt/qt_user_macros_view.h"

#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace corvane {

QtUserMacrosView::QtUserMacrosView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("Form6");
    setWindowTitle(tr("User Macros"));
    setModal(false);

    m_names = new QComboBox(this);
    m_names->setObjectName("Combo1");
    m_names->setEditable(true);
    m_names->setInsertPolicy(QComboBox::NoInsert);
    m_names->setMinimumContentsLength(24);
    m_file = new QLineEdit(this);
    m_file->setObjectName("txtMacroFile");
    m_file->setMinimumWidth(320);
    auto* nameLabel = new QLabel(tr("&Macro Name:"), this);
    nameLabel->setBuddy(m_names);
    auto* fileLabel = new QLabel(tr("Macro &File:"), this);
    fileLabel->setBuddy(m_file);

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    m_ok = button("btnOK", tr("&OK"));
    m_cancel = button("btnCancel", tr("&Cancel"));
    m_changeName = button("btnChangeName", tr("Change Macro &Name"));
    m_browse = button("btnBrowse", tr("&Browse"));
    m_edit = button("btnEditMacro", tr("&Edit Macro"));
    m_record = button("btnRecordMacro", tr("&Record Macro"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(m_names, 1, 0);
    layout->addWidget(m_ok, 1, 1);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_changeName);
    nameRow->addStretch(1);
    layout->addLayout(nameRow, 2, 0);
    layout->addWidget(m_cancel, 2, 1);
    layout->setRowMinimumHeight(3, 8);
    layout->addWidget(fileLabel, 4, 0);
    layout->addWidget(m_file, 5, 0, 1, 2);
    auto* fileButtons = new QHBoxLayout;
    for (QPushButton* b : {m_browse, m_edit, m_record}) {
        fileButtons->addWidget(b, 1);
    }
    layout->addLayout(fileButtons, 6, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    // Tab reads the grid row by row, as it is seen.
    const QList<QWidget*> order{m_names, m_ok, m_changeName, m_cancel, m_file, m_browse, m_edit, m_record};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(m_names, &QComboBox::activated, this,
            [this](int index) { notify([index](UserMacrosEvents& e) { e.onNamePicked(index); }); });
    connect(m_names->lineEdit(), &QLineEdit::textEdited, this,
            [this] { notify([](UserMacrosEvents& e) { e.onNameEdited(); }); });
    connect(m_browse, &QPushButton::clicked, this,
            [this] { notify([](UserMacrosEvents& e) { e.onBrowse(); }); });
    connect(m_edit, &QPushButton::clicked, this,
            [this] { notify([](UserMacrosEvents& e) { e.onEditMacro(); }); });
    connect(m_record, &QPushButton::clicked, this,
            [this] { notify([](UserMacrosEvents& e) { e.onRecordMacro(); }); });
    connect(m_changeName, &QPushButton::clicked, this,
            [this] { notify([](UserMacrosEvents& e) { e.onChangeName(); }); });
    connect(m_ok, &QPushButton::clicked, this, [this] { notify([](UserMacrosEvents& e) { e.onOk(); }); });
    connect(m_cancel, &QPushButton::clicked, this,
            [this] { notify([](UserMacrosEvents& e) { e.onCancel(); }); });
}

template <typename Handler> void QtUserMacrosView::notify(Handler handler) {
    if (m_events != nullptr) {
        handler(*m_events);
    }
}

void QtUserMacrosView::setNames(const std::vector<std::string>& names) {
    m_names->clear();
    for (const std::string& name : names) {
        m_names->addItem(toQt(name));
    }
}

void QtUserMacrosView::selectName(int index) {
    m_names->setCurrentIndex(index);
    m_names->setEditText(m_names->itemText(index));
}

int QtUserMacrosView::selectedName() const {
    const int index = m_names->currentIndex();
    return index >= 0 && m_names->itemText(index) == m_names->currentText() ? index : -1;
}

std::string QtUserMacrosView::nameText() const {
    return fromQt(m_names->currentText());
}

void QtUserMacrosView::replaceName(int index, const std::string& name) {
    m_names->setItemText(index, toQt(name));
}

void QtUserMacrosView::setFileText(const std::string& text) {
    m_file->setText(toQt(text));
}

std::string QtUserMacrosView::fileText() const {
    return fromQt(m_file->text());
}

void QtUserMacrosView::setRecordCaption(const std::string& caption) {
    m_record->setText(toQt(caption));
}

QWidget* QtUserMacrosView::control(Control which) const {
    switch (which) {
    case Control::Names:
        return m_names;
    case Control::File:
        return m_file;
    case Control::Browse:
        return m_browse;
    case Control::Edit:
        return m_edit;
    case Control::Record:
        return m_record;
    case Control::ChangeName:
        return m_changeName;
    case Control::Ok:
        return m_ok;
    case Control::Cancel:
        return m_cancel;
    }
    return nullptr;
}

void QtUserMacrosView::setControlEnabled(Control which, bool enabled) {
    control(which)->setEnabled(enabled);
}

void QtUserMacrosView::setDefaultButton(Control which) {
    for (QPushButton* button : {m_ok, m_cancel, m_changeName, m_browse, m_edit, m_record}) {
        button->setDefault(button == control(which));
    }
}

void QtUserMacrosView::showWindow() {
    m_closing = false;
    show();
    raise();
    activateWindow();
    m_names->setFocus();
}

void QtUserMacrosView::closeWindow() {
    m_closing = true;
    hide();
}

void QtUserMacrosView::reject() {
    if (m_events != nullptr) {
        m_events->onCancel();
    } else {
        QDialog::reject();
    }
}

void QtUserMacrosView::closeEvent(QCloseEvent* event) {
    if (!m_closing && m_events != nullptr) {
        event->ignore();
        m_events->onCancel();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace corvane
