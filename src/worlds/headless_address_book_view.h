#pragma once

#include "worlds/address_book_view.h"

namespace corvane {

// The connect dialog without widgets: it only holds what the presenter puts
// into it, so a start-up option can drive the same rules the dialog runs.
class HeadlessAddressBookView : public AddressBookView {
public:
    // Nobody uses it, so there is nothing to report.
    void setEvents(AddressBookEvents* /*events*/) override {}

    void setWorldNames(const std::vector<std::string>& names) override {
        m_names = names;
        m_selected = -1;
    }
    const std::vector<std::string>& worldNames() const { return m_names; }
    void selectWorld(int index) override { m_selected = index; }
    int selectedWorld() const { return m_selected; }
    std::string selectedWorldName() const override {
        return m_selected >= 0 && m_selected < static_cast<int>(m_names.size())
                   ? m_names[static_cast<std::size_t>(m_selected)]
                   : std::string();
    }

    void showNewWorldBox(bool shown) override { m_newWorldBoxShown = shown; }
    bool newWorldBoxShown() const { return m_newWorldBoxShown; }
    std::string newWorldName() const override { return m_newWorldName; }
    void setNewWorldName(const std::string& name) override { m_newWorldName = name; }

    std::string host() const override { return m_host; }
    void setHost(const std::string& host) override { m_host = host; }
    std::string port() const override { return m_port; }
    void setPort(const std::string& port) override { m_port = port; }
    bool secure() const override { return m_secure; }
    bool mcp() const override { return m_mcp; }
    void setMcp(bool mcp) override { m_mcp = mcp; }
    bool mxp() const override { return m_mxp; }
    void setMxp(bool mxp) override { m_mxp = mxp; }
    ServerKind server() const override { return m_server; }
    void setServer(ServerKind server) override { m_server = server; }
    LoginForm loginForm() const override { return m_login; }
    void setLoginForm(LoginForm form) override { m_login = form; }
    void setSecure(bool secure) override { m_secure = secure; }
    TextEncoding encoding() const override { return m_encoding; }
    void setEncoding(TextEncoding encoding) override { m_encoding = encoding; }

    void runModal() override {}
    void hideDialog() override { m_hidden = true; }
    bool hidden() const { return m_hidden; }
    void closeDialog() override { m_closed = true; }
    bool closed() const { return m_closed; }

private:
    std::vector<std::string> m_names;
    int m_selected = -1;
    bool m_newWorldBoxShown = false;
    std::string m_newWorldName;
    std::string m_host;
    std::string m_port;
    bool m_secure = false;
    bool m_mcp = true;
    bool m_mxp = false;
    ServerKind m_server = ServerKind::Muck;
    LoginForm m_login = LoginForm::Connect;
    TextEncoding m_encoding = TextEncoding::Automatic;
    bool m_hidden = false;
    bool m_closed = false;
};

} // namespace corvane
