#pragma once

#include "worlds/address_book_view.h"
#include "worlds/world_entry.h"

#include <string>
#include <vector>

namespace corvane {

struct Session;
class Connection;
class Prompts;
class MainWindowView;

// Rules of the "Connect to a MUD/MUCK" dialog: the address book as a working
// copy that is written back after every add, update and delete, the checks
// and questions of OK before the connection is handed the world, and a
// command-line address that fills the dialog and connects without waiting.
class AddressBookPresenter : public AddressBookEvents {
public:
    AddressBookPresenter(AddressBookView& view, Session& session, Connection& connection, Prompts& prompts,
                         MainWindowView& window, std::string settingsPath, std::string commandLine);

    // Opening the dialog; it starts at the world of that name when it is listed.
    void startAt(std::string worldName) { m_startWorld = std::move(worldName); }
    void load();
    // The world picked when the dialog closed (-1: none).
    int selectedWorld() const { return m_selected; }
    void LoadAddressBook();
    void SaveAddressBook();

    void onWorldPicked(int index) override;
    void onHostEdited() override;
    void onPortEdited() override;
    void onSecureToggled() override;
    void onEncodingChosen() override;
    void onServerChosen() override;
    void onMxpToggled() override;
    void onLoginChosen() override;
    void onNew() override;
    void onDelete() override;
    void onOk() override;
    void onCancel() override;
    void onActivated() override;

private:
    void showPort(const std::string& text);
    // The worlds of the settings file as it is now.
    std::vector<WorldEntry> readStoredWorlds();
    bool storable(const std::string& name, const std::string& host);
    void addEntry(const WorldEntry& entry);
    // MCP and Server are not asked about like the address: they are read
    // when the connection starts.
    void storeSectionChoices(int worldIndex);
    void updateEntry(const std::string& host, const std::string& port, bool secure, TextEncoding encoding);
    // The world's own section: "Secure", "Encoding", "MCP" and "Server".
    void saveSection(const WorldEntry& entry);
    bool sectionSharedWithAnother(std::size_t index) const;
    void showWorldNames();

    AddressBookView& m_view;
    Session& m_session;
    Connection& m_connection;
    Prompts& m_prompts;
    MainWindowView& m_window;
    std::string m_settingsPath;
    std::string m_commandLine;

    std::vector<WorldEntry> m_entries;
    int m_selected = -1;
    std::string m_startWorld;
    // One more than the number of entries loaded or added; while it is 1
    // there is nothing of the user's to save.
    int m_entryCounter = 1;
    // How many keys the last load or save left in a row from "MUD 1",
    // skipped ones included: a save removes those it no longer fills.
    int m_storedKeys = 0;
    bool m_newEntry = false;
    bool m_hostChanged = false;
    bool m_portChanged = false;
    bool m_secureChanged = false;
    bool m_encodingChanged = false;
    // The player picked the new world's log-in form; picking a server then keeps it.
    bool m_loginChosen = false;
    // The user set "MXP links and colours" on a new world: the Server no longer sets it.
    bool m_mxpChosen = false;
};

} // namespace corvane
