#include "qt/qt_character_view.h"

#include "qt/qt_text.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

QtCharacterView::QtCharacterView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("Form5");

    m_characters = new QComboBox(this);
    m_characters->setObjectName("Combo1");
    m_characters->setEditable(false);
    m_newName = new QLineEdit(this);
    m_newName->setObjectName("Text1");
    m_newName->setAccessibleName(tr("New character name"));
    m_newName->hide();
    m_password = new QLineEdit(this);
    m_password->setObjectName("txtPW");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_password->installEventFilter(this);

    m_nameLabel = new QLabel(tr("Cha&racter:"), this);
    m_nameLabel->setBuddy(m_characters);
    auto* passwordLabel = new QLabel(tr("&Password:"), this);
    passwordLabel->setBuddy(m_password);

    auto* fields = new QGridLayout;
    fields->addWidget(m_nameLabel, 0, 0);
    // The new-name box takes the pick list's place, so both share one cell.
    fields->addWidget(m_characters, 1, 0);
    fields->addWidget(m_newName, 1, 0);
    fields->addWidget(passwordLabel, 2, 0);
    fields->addWidget(m_password, 3, 0);
    fields->setRowStretch(4, 1);

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName("Command1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName("Command2");
    m_new = new QPushButton(tr("&New"), this);
    m_new->setObjectName("Command3");
    m_new->setAutoDefault(false);
    m_delete = new QPushButton(tr("&Delete"), this);
    m_delete->setObjectName("Command4");
    m_delete->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {ok, cancel, m_new, m_delete}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    connect(m_characters, &QComboBox::activated, this,
            [this](int index) { notify([index](CharacterEvents& e) { e.onCharacterPicked(index); }); });
    connect(m_password, &QLineEdit::textEdited, this,
            [this] { notify([](CharacterEvents& e) { e.onPasswordEdited(); }); });
    connect(ok, &QPushButton::clicked, this, [this] { notify([](CharacterEvents& e) { e.onOk(); }); });
    connect(cancel, &QPushButton::clicked, this,
            [this] { notify([](CharacterEvents& e) { e.onCancel(); }); });
    connect(m_new, &QPushButton::clicked, this, [this] { notify([](CharacterEvents& e) { e.onNew(); }); });
    connect(m_delete, &QPushButton::clicked, this,
            [this] { notify([](CharacterEvents& e) { e.onDelete(); }); });
    setMinimumWidth(360);
}

template <typename Handler> void QtCharacterView::notify(Handler handler) {
    if (m_events != nullptr) {
        handler(*m_events);
    }
}

void QtCharacterView::setTitle(const std::string& title) {
    setWindowTitle(toQt(title));
}

void QtCharacterView::setCharacterNames(const std::vector<std::string>& names) {
    m_characters->clear();
    for (const std::string& name : names) {
        m_characters->addItem(toQt(name));
    }
}

void QtCharacterView::selectCharacter(int index) {
    m_characters->setCurrentIndex(index);
}

void QtCharacterView::showNewNameBox(bool shown) {
    m_characters->setVisible(!shown);
    m_newName->setVisible(shown);
    m_nameLabel->setBuddy(shown ? static_cast<QWidget*>(m_newName) : m_characters);
    if (shown) {
        m_newName->setFocus();
    }
}

std::string QtCharacterView::newName() const {
    return fromQt(m_newName->text());
}
std::string QtCharacterView::password() const {
    return fromQt(m_password->text());
}
void QtCharacterView::setPassword(const std::string& password) {
    m_password->setText(toQt(password));
}

void QtCharacterView::setListButtonsEnabled(bool enabled) {
    m_new->setEnabled(enabled);
    m_delete->setEnabled(enabled);
}

void QtCharacterView::runModal() {
    exec();
}
void QtCharacterView::hideDialog() {
    hide();
}
void QtCharacterView::closeDialog() {
    done(QDialog::Accepted);
}

bool QtCharacterView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_password && event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor.
        QTimer::singleShot(0, m_password, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void QtCharacterView::reject() {
    if (m_events != nullptr) {
        m_events->onCancel();
    } else {
        QDialog::reject();
    }
}

} // namespace corvane
