#pragma once

#include "worlds/address_book_view.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace corvane {

// The "Connect to a MUD/MUCK" dialog (frmConnect).
class QtAddressBookView : public QDialog, public AddressBookView {
    Q_OBJECT
public:
    explicit QtAddressBookView(QWidget* parent);

    void setEvents(AddressBookEvents* events) override { m_events = events; }
    void setWorldNames(const std::vector<std::string>& names) override;
    void selectWorld(int index) override;
    std::string selectedWorldName() const override;
    void showNewWorldBox(bool shown) override;
    std::string newWorldName() const override;
    void setNewWorldName(const std::string& name) override;
    std::string host() const override;
    void setHost(const std::string& host) override;
    std::string port() const override;
    void setPort(const std::string& port) override;
    bool secure() const override;
    bool mcp() const override;
    void setMcp(bool mcp) override;
    bool mxp() const override;
    void setMxp(bool mxp) override;
    ServerKind server() const override;
    void setServer(ServerKind server) override;
    LoginForm loginForm() const override;
    void setLoginForm(LoginForm form) override;
    void setSecure(bool secure) override;
    TextEncoding encoding() const override;
    void setEncoding(TextEncoding encoding) override;
    void runModal() override;
    void hideDialog() override;
    void closeDialog() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    template <typename Handler> void notify(Handler handler);

    AddressBookEvents* m_events = nullptr;
    QLabel* m_nameLabel = nullptr;
    QComboBox* m_worlds = nullptr;
    QLineEdit* m_newName = nullptr;
    QLineEdit* m_host = nullptr;
    QLineEdit* m_port = nullptr;
    QCheckBox* m_secure = nullptr;
    QCheckBox* m_mcp;
    QCheckBox* m_mxp;
    QComboBox* m_encoding = nullptr;
    QComboBox* m_server = nullptr;
    QComboBox* m_login = nullptr;
    bool m_activationPending = true;
};

} // namespace corvane
