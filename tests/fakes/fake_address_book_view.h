#pragma once

#include "worlds/address_book_view.h"

#include <functional>
#include <string>
#include <vector>

namespace corvane::testing {

// The connect dialog in memory. While "shown" it runs the script the test
// gave it; the test plays the user with pick, type... and click....
class FakeAddressBookView : public AddressBookView {
public:
    void setEvents(AddressBookEvents* e) override { events = e; }
    void setWorldNames(const std::vector<std::string>& names) override {
        worldNames = names;
        selected = -1;
        listText.clear();
    }
    void selectWorld(int index) override {
        selected = index;
        listText = index >= 0 && index < static_cast<int>(worldNames.size())
                       ? worldNames[static_cast<std::size_t>(index)]
                       : std::string();
    }
    std::string selectedWorldName() const override { return listText; }
    void showNewWorldBox(bool shown) override { newWorldBoxShown = shown; }
    std::string newWorldName() const override { return newName; }
    void setNewWorldName(const std::string& text) override { newName = text; }
    std::string host() const override { return hostText; }
    void setHost(const std::string& text) override { hostText = text; }
    std::string port() const override { return portText; }
    void setPort(const std::string& text) override { portText = text; }
    bool secure() const override { return secureTicked; }
    bool mcp() const override { return mcpTicked; }
    void setMcp(bool mcp) override { mcpTicked = mcp; }
    bool mxp() const override { return mxpTicked; }
    void setMxp(bool mxp) override { mxpTicked = mxp; }
    ServerKind server() const override { return serverChosen; }
    void setServer(ServerKind server) override { serverChosen = server; }
    LoginForm loginForm() const override { return loginChosen; }
    void setLoginForm(LoginForm form) override { loginChosen = form; }
    void setSecure(bool secure) override { secureTicked = secure; }
    TextEncoding encoding() const override { return encodingShown; }
    void setEncoding(TextEncoding encoding) override { encodingShown = encoding; }
    void runModal() override {
        open = true;
        ++timesShown;
        events->onActivated();
        if (open && whileShown) {
            whileShown(*this);
        }
        open = false;
    }
    void hideDialog() override { hidden = true; }
    void closeDialog() override { open = false; }

    // The user's side.
    void pick(int index) {
        selectWorld(index);
        events->onWorldPicked(index);
    }
    void typeHost(const std::string& text) {
        hostText = text;
        events->onHostEdited();
    }
    void typePort(const std::string& text) {
        portText = text;
        events->onPortEdited();
    }
    void clickSecure() {
        secureTicked = !secureTicked;
        events->onSecureToggled();
    }
    void chooseEncoding(TextEncoding encoding) {
        encodingShown = encoding;
        events->onEncodingChosen();
    }
    void chooseServer(ServerKind server) {
        serverChosen = server;
        events->onServerChosen();
    }
    void chooseLogin(LoginForm form) {
        loginChosen = form;
        events->onLoginChosen();
    }
    void clickMxp() {
        mxpTicked = !mxpTicked;
        events->onMxpToggled();
    }
    void clickNew() { events->onNew(); }
    void clickDelete() { events->onDelete(); }
    void clickOk() { events->onOk(); }
    void clickCancel() { events->onCancel(); }

    // For scripts about the connection rather than the dialog: picks the
    // stored world of that name, or makes the pick list show the name as if
    // it were stored, so OK connects without asking anything.
    void setWorldName(const std::string& name) {
        for (std::size_t i = 0; i < worldNames.size(); ++i) {
            if (worldNames[i] == name) {
                pick(static_cast<int>(i));
                return;
            }
        }
        listText = name;
    }

    AddressBookEvents* events = nullptr;
    std::vector<std::string> worldNames;
    int selected = -1;
    std::string listText;
    bool newWorldBoxShown = false;
    std::string newName;
    std::string hostText;
    std::string portText;
    bool secureTicked = false;
    bool mcpTicked = true;
    bool mxpTicked = false;
    ServerKind serverChosen = ServerKind::Muck;
    LoginForm loginChosen = LoginForm::Connect;
    TextEncoding encodingShown = TextEncoding::Automatic;
    bool open = false;
    bool hidden = false;
    int timesShown = 0;
    std::function<void(FakeAddressBookView&)> whileShown;
};

} // namespace corvane::testing
