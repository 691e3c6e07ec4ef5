#include "qt/qt_address_book_view.h"

#include "qt/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace corvane {

QtAddressBookView::QtAddressBookView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmConnect");
    setWindowTitle(tr("Connect to a MUD/MUCK"));

    m_worlds = new QComboBox(this);
    m_worlds->setObjectName("MUDList");
    m_worlds->setEditable(false);
    m_newName = new QLineEdit(this);
    m_newName->setObjectName("txtMUD");
    // Its label names the pick list until this box takes the list's place.
    m_newName->setAccessibleName(tr("New MUD/MUCK name"));
    m_newName->hide();
    m_host = new QLineEdit(this);
    m_host->setObjectName("txtHost");
    m_port = new QLineEdit(this);
    m_port->setObjectName("txtPort");
    m_port->setMaximumWidth(m_port->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    m_secure = new QCheckBox(tr("&Secure (TLS)"), this);
    m_secure->setObjectName("chkSecure");
    m_secure->setToolTip(tr("Connect with TLS; the world must offer it on this port."));
    m_mcp = new QCheckBox(tr("Speak &MCP"), this);
    m_mcp->setObjectName("chkMcp");
    m_mcp->setToolTip(tr("MUD Client Protocol: hides the world's #$# lines and opens its editor windows. "
                         "Clear it to see those lines as they come."));
    m_mxp = new QCheckBox(tr("M&XP links and colours"), this);
    m_mxp->setObjectName("chkMxp");
    m_mxp->setToolTip(tr("Read the world's MXP markup: links that send a command or open a web page, and "
                         "bold, italic, underline and colours. Nothing else of MXP is acted on."));
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName("cboEncoding");
    // The list's order is the order of TextEncoding.
    for (const TextEncoding encoding :
         {TextEncoding::Automatic, TextEncoding::Windows1252, TextEncoding::Utf8}) {
        const std::string_view caption = TextEncodingCaption(encoding);
        m_encoding->addItem(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
    m_encoding->setToolTip(tr("Automatic: read UTF-8 where it comes, send Windows-1252 until the world "
                              "sends UTF-8. The other two hold one encoding both ways."));
    m_server = new QComboBox(this);
    m_server->setObjectName("cboServer");
    // The list's order is the order of ServerKind.
    for (const ServerKind server : {ServerKind::Muck, ServerKind::Mush, ServerKind::Mud}) {
        const std::string_view caption = ServerKindName(server);
        m_server->addItem(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
    m_server->setToolTip(tr("MUCK: the full log-in with the arrival hook and reply framing. MUSH: framing, "
                            "no arrival hook. MUD: just the log-in, rooms and vitals from GMCP or MSDP."));
    m_login = new QComboBox(this);
    m_login->setObjectName("cboLogin");
    // The list's order is the order of LoginForm.
    m_login->addItems({tr("connect NAME PASSWORD"), tr("Name, then password, at the world's prompts"),
                       tr("None: I log in myself")});
    m_login->setToolTip(tr("How the stored character logs in. Worlds of the Diku family (tbaMUD, CircleMUD) "
                           "ask for the name and then the password; most others take \"connect\"."));
    for (QLineEdit* box : {m_host, m_port}) {
        box->installEventFilter(this);
    }

    m_nameLabel = new QLabel(tr("&MUD/MUCK Name:"), this);
    m_nameLabel->setBuddy(m_worlds);
    auto* hostLabel = new QLabel(tr("MUD/MUCK &Address or IP Number:"), this);
    hostLabel->setBuddy(m_host);
    auto* portLabel = new QLabel(tr("&Port:"), this);
    portLabel->setBuddy(m_port);
    auto* encodingLabel = new QLabel(tr("&Encoding:"), this);
    encodingLabel->setBuddy(m_encoding);

    auto* fields = new QGridLayout;
    fields->addWidget(m_nameLabel, 0, 0);
    // The new-name box takes the pick list's place, so both share one cell.
    fields->addWidget(m_worlds, 1, 0);
    fields->addWidget(m_newName, 1, 0);
    fields->addWidget(hostLabel, 2, 0);
    fields->addWidget(m_host, 3, 0);
    fields->addWidget(portLabel, 4, 0);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port);
    portRow->addSpacing(12);
    portRow->addWidget(m_secure);
    portRow->addStretch(1);
    fields->addLayout(portRow, 5, 0);
    fields->addWidget(encodingLabel, 6, 0);
    auto* encodingRow = new QHBoxLayout;
    encodingRow->addWidget(m_encoding);
    encodingRow->addSpacing(12);
    encodingRow->addWidget(m_mcp);
    encodingRow->addStretch(1);
    fields->addLayout(encodingRow, 7, 0);
    auto* serverLabel = new QLabel(tr("Se&rver:"), this);
    serverLabel->setBuddy(m_server);
    fields->addWidget(serverLabel, 8, 0);
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(m_server);
    serverRow->addSpacing(12);
    auto* loginLabel = new QLabel(tr("&Log-in:"), this);
    loginLabel->setBuddy(m_login);
    serverRow->addWidget(loginLabel);
    serverRow->addWidget(m_login);
    serverRow->addStretch(1);
    fields->addLayout(serverRow, 9, 0);
    fields->addWidget(m_mxp, 10, 0);
    fields->setRowStretch(11, 1);

    auto* ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName("btnConnect");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName("btnCancel");
    auto* add = new QPushButton(tr("&New"), this);
    add->setObjectName("btnNew");
    add->setAutoDefault(false);
    auto* remove = new QPushButton(tr("&Delete"), this);
    remove->setObjectName("btnDelete");
    remove->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {ok, cancel, add, remove}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    // Tab reads the rows as they are seen: each row's list before its box.
    setTabOrder(m_secure, m_encoding);
    setTabOrder(m_encoding, m_mcp);
    setTabOrder(m_mcp, m_server);
    setTabOrder(m_login, m_mxp);

    connect(m_worlds, &QComboBox::activated, this,
            [this](int index) { notify([index](AddressBookEvents& e) { e.onWorldPicked(index); }); });
    connect(m_host, &QLineEdit::textEdited, this,
            [this] { notify([](AddressBookEvents& e) { e.onHostEdited(); }); });
    connect(m_port, &QLineEdit::textEdited, this,
            [this] { notify([](AddressBookEvents& e) { e.onPortEdited(); }); });
    // Clicks only: the presenter's own setSecure must not count as an edit.
    connect(m_secure, &QCheckBox::clicked, this,
            [this] { notify([](AddressBookEvents& e) { e.onSecureToggled(); }); });
    connect(m_encoding, &QComboBox::activated, this,
            [this] { notify([](AddressBookEvents& e) { e.onEncodingChosen(); }); });
    connect(m_server, &QComboBox::activated, this,
            [this] { notify([](AddressBookEvents& e) { e.onServerChosen(); }); });
    connect(m_login, &QComboBox::activated, this,
            [this] { notify([](AddressBookEvents& e) { e.onLoginChosen(); }); });
    connect(m_mxp, &QCheckBox::clicked, this, [this] { notify([](AddressBookEvents& e) { e.onMxpToggled(); }); });
    connect(ok, &QPushButton::clicked, this, [this] { notify([](AddressBookEvents& e) { e.onOk(); }); });
    connect(cancel, &QPushButton::clicked, this,
            [this] { notify([](AddressBookEvents& e) { e.onCancel(); }); });
    connect(add, &QPushButton::clicked, this, [this] { notify([](AddressBookEvents& e) { e.onNew(); }); });
    connect(remove, &QPushButton::clicked, this,
            [this] { notify([](AddressBookEvents& e) { e.onDelete(); }); });
    setMinimumWidth(440);
}

template <typename Handler> void QtAddressBookView::notify(Handler handler) {
    if (m_events != nullptr) {
        handler(*m_events);
    }
}

void QtAddressBookView::setWorldNames(const std::vector<std::string>& names) {
    m_worlds->clear();
    for (const std::string& name : names) {
        m_worlds->addItem(toQt(name));
    }
}

void QtAddressBookView::selectWorld(int index) {
    m_worlds->setCurrentIndex(index);
}
std::string QtAddressBookView::selectedWorldName() const {
    return fromQt(m_worlds->currentText());
}

void QtAddressBookView::showNewWorldBox(bool shown) {
    m_worlds->setVisible(!shown);
    m_newName->setVisible(shown);
    m_nameLabel->setBuddy(shown ? static_cast<QWidget*>(m_newName) : m_worlds);
    if (shown) {
        m_newName->setFocus();
    }
}

std::string QtAddressBookView::newWorldName() const {
    return fromQt(m_newName->text());
}
void QtAddressBookView::setNewWorldName(const std::string& name) {
    m_newName->setText(toQt(name));
}
std::string QtAddressBookView::host() const {
    return fromQt(m_host->text());
}
void QtAddressBookView::setHost(const std::string& host) {
    m_host->setText(toQt(host));
}
std::string QtAddressBookView::port() const {
    return fromQt(m_port->text());
}
void QtAddressBookView::setPort(const std::string& port) {
    m_port->setText(toQt(port));
}

bool QtAddressBookView::secure() const {
    return m_secure->isChecked();
}

bool QtAddressBookView::mcp() const {
    return m_mcp->isChecked();
}

void QtAddressBookView::setMcp(bool mcp) {
    m_mcp->setChecked(mcp);
}

bool QtAddressBookView::mxp() const {
    return m_mxp->isChecked();
}

void QtAddressBookView::setMxp(bool mxp) {
    m_mxp->setChecked(mxp);
}
void QtAddressBookView::setSecure(bool secure) {
    m_secure->setChecked(secure);
}

ServerKind QtAddressBookView::server() const {
    return static_cast<ServerKind>(std::max(0, m_server->currentIndex()));
}

void QtAddressBookView::setServer(ServerKind server) {
    m_server->setCurrentIndex(static_cast<int>(server));
}

LoginForm QtAddressBookView::loginForm() const {
    return static_cast<LoginForm>(std::max(0, m_login->currentIndex()));
}

void QtAddressBookView::setLoginForm(LoginForm form) {
    m_login->setCurrentIndex(static_cast<int>(form));
}

TextEncoding QtAddressBookView::encoding() const {
    return static_cast<TextEncoding>(std::max(0, m_encoding->currentIndex()));
}
void QtAddressBookView::setEncoding(TextEncoding encoding) {
    m_encoding->setCurrentIndex(static_cast<int>(encoding));
}

void QtAddressBookView::runModal() {
    m_activationPending = true;
    // Without a window manager (offscreen, some X setups) activation never
    // comes; the first event-loop turn stands in for it.
    QTimer::singleShot(0, this, [this] {
        if (m_activationPending && isVisible()) {
            m_activationPending = false;
            notify([](AddressBookEvents& e) { e.onActivated(); });
        }
    });
    exec();
}

void QtAddressBookView::hideDialog() {
    hide();
}
void QtAddressBookView::closeDialog() {
    done(QDialog::Accepted);
}

bool QtAddressBookView::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        m_activationPending = false;
        notify([](AddressBookEvents& e) { e.onActivated(); });
    }
    return QDialog::event(event);
}

bool QtAddressBookView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            // After the click that gave the focus has placed the cursor.
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QtAddressBookView::reject() {
    if (m_events != nullptr) {
        m_events->onCancel();
    } else {
        QDialog::reject();
    }
}

} // namespace corvane
