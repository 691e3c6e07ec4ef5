#pragma once

#include "core/server_kind.h"
#include "core/text_encoding.h"
#include "worlds/login_form.h"

#include <string>
#include <vector>

namespace corvane {

// What the user does in the "Connect to a MUD/MUCK" dialog.
class AddressBookEvents {
public:
    virtual ~AddressBookEvents() = default;
    // Only the user's own picks and edits are reported, never the
    // presenter's: the change flags must tell the two apart.
    virtual void onWorldPicked(int index) = 0;
    virtual void onHostEdited() = 0;
    virtual void onPortEdited() = 0;
    // The user ticked or cleared "Secure (TLS)".
    virtual void onSecureToggled() = 0;
    // The user picked an entry of "Encoding".
    virtual void onEncodingChosen() = 0;
    // The user picked an entry of "Server", or of "Log-in".
    virtual void onServerChosen() = 0;
    virtual void onLoginChosen() = 0;
    // The user ticked or cleared "MXP links and colours".
    virtual void onMxpToggled() = 0;
    virtual void onNew() = 0;
    virtual void onDelete() = 0;
    virtual void onOk() = 0;
    virtual void onCancel() = 0;
    // The dialog became the active window.
    virtual void onActivated() = 0;
};

// The "Connect to a MUD/MUCK" dialog (frmConnect).
class AddressBookView {
public:
    virtual ~AddressBookView() = default;
    virtual void setEvents(AddressBookEvents* events) = 0;

    // The pick list of stored worlds (MUDList).
    virtual void setWorldNames(const std::vector<std::string>& names) = 0;
    virtual void selectWorld(int index) = 0;
    // The text the pick list shows; empty when nothing is picked.
    virtual std::string selectedWorldName() const = 0;

    // The box for a new world's name (txtMUD), shown in place of the pick
    // list and given the focus.
    virtual void showNewWorldBox(bool shown) = 0;
    virtual std::string newWorldName() const = 0;
    virtual void setNewWorldName(const std::string& name) = 0;

    virtual std::string host() const = 0;
    virtual void setHost(const std::string& host) = 0;
    virtual std::string port() const = 0;
    virtual void setPort(const std::string& port) = 0;
    // "Secure (TLS)" beside the port.
    virtual bool secure() const = 0;
    virtual void setSecure(bool secure) = 0;
    // "Encoding": Automatic, Windows-1252 or UTF-8.
    virtual TextEncoding encoding() const = 0;
    virtual void setEncoding(TextEncoding encoding) = 0;
    // "MCP": speak the MUD Client Protocol with this world.
    virtual bool mcp() const = 0;
    virtual void setMcp(bool mcp) = 0;
    // "MXP links and colours": read the world's MXP markup.
    virtual bool mxp() const = 0;
    virtual void setMxp(bool mxp) = 0;
    // "Server": MUCK, MUSH or MUD, which decides what log-in sends.
    virtual ServerKind server() const = 0;
    virtual void setServer(ServerKind server) = 0;
    // "Log-in": how the stored character's name and password go to the world.
    virtual LoginForm loginForm() const = 0;
    virtual void setLoginForm(LoginForm form) = 0;

    // Shows the dialog and returns once it has closed.
    virtual void runModal() = 0;
    virtual void hideDialog() = 0;
    virtual void closeDialog() = 0;
};

} // namespace corvane
