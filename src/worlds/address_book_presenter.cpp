#include "worlds/address_book_presenter.h"

#include "core/connection.h"
#include "core/constants.h"
#include "core/main_window_view.h"
#include "core/number_text.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "platform/prompts.h"
#include "settings/settings.h"
#include "worlds/command_line_address.h"
#include "worlds/login_form.h"
#include "worlds/typed_names.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr const char* kFirstPort = "8888";

// The port box never holds a number outside 1..65535; text without a number
// counts as 0, so clearing the box puts "1" into it at once.
std::string clampedPort(const std::string& text) {
    const double value = NumericValue(text);
    if (!(value >= 1)) {
        return "1";
    }
    if (value > 65535) {
        return "65535";
    }
    return text;
}

// Questions about a world name its security only where it plays a part, so
// those about plain worlds read as they always have.
std::string secureLine(bool shown, bool secure) {
    return shown ? std::string("\rSecure (TLS): ") + (secure ? "Yes" : "No") : std::string();
}

// Likewise the encoding, where it is not left to the client.
std::string storedServerName(ServerKind server) {
    return server == ServerKind::Muck ? std::string() : std::string(ServerKindName(server));
}

std::string storedLoginName(LoginForm form) {
    return form == LoginForm::Connect ? std::string() : std::string(LoginFormName(form));
}

std::string encodingLine(bool shown, TextEncoding encoding) {
    return shown ? "\rEncoding: " + std::string(TextEncodingCaption(encoding)) : std::string();
}

bool hasComma(const std::string& text) {
    return text.find(',') != std::string::npos;
}

} // namespace

AddressBookPresenter::AddressBookPresenter(AddressBookView& view, Session& session, Connection& connection,
                                           Prompts& prompts, MainWindowView& window, std::string settingsPath,
                                           std::string commandLine)
    : m_view(view)
    , m_session(session)
    , m_connection(connection)
    , m_prompts(prompts)
    , m_window(window)
    , m_settingsPath(std::move(settingsPath))
    , m_commandLine(std::move(commandLine)) {}

void AddressBookPresenter::load() {
    m_view.showNewWorldBox(false);
    showPort(kFirstPort);
    m_view.setSecure(false);
    m_view.setEncoding(TextEncoding::Automatic);
    m_view.setMcp(true);
    m_view.setMxp(false);
    m_view.setServer(ServerKind::Muck);
    m_newEntry = false;
    m_hostChanged = false;
    m_portChanged = false;
    LoadAddressBook();
}

std::vector<WorldEntry> AddressBookPresenter::readStoredWorlds() {
    std::vector<WorldEntry> entries;
    for (int number = 1;; ++number) {
        const std::string value = ReadSetting(kAddressSection, WorldKey(number), m_settingsPath);
        if (value.empty()) {
            break;
        }
        m_storedKeys = std::max(m_storedKeys, number);
        // A value that is no world is passed over; the next save drops it.
        if (auto entry = ParseWorldEntry(value)) {
            entry->secure =
                EqualsNoCase(TrimmedName(ReadSetting(entry->name, kSecureKey, m_settingsPath)), "True");
            entry->encoding = ReadSetting(entry->name, kEncodingKey, m_settingsPath);
            entry->mcp = !EqualsNoCase(TrimmedName(ReadSetting(entry->name, kMcpKey, m_settingsPath)), "False");
            entry->server = ReadSetting(entry->name, kServerKey, m_settingsPath);
            entry->login = ReadSetting(entry->name, kLoginKey, m_settingsPath);
            entry->mxp = EqualsNoCase(TrimmedName(ReadSetting(entry->name, kMxpKey, m_settingsPath)), "True");
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

void AddressBookPresenter::LoadAddressBook() {
    m_entryCounter = 1;
    m_storedKeys = 0;
    m_entries = readStoredWorlds();
    m_entryCounter += static_cast<int>(m_entries.size());
    showWorldNames();
    if (m_entries.empty()) {
        m_selected = -1;
        m_view.selectWorld(-1);
    } else {
        const auto start = std::find_if(m_entries.begin(), m_entries.end(),
                                        [this](const WorldEntry& entry) { return entry.name == m_startWorld; });
        onWorldPicked(start == m_entries.end() ? 0 : static_cast<int>(start - m_entries.begin()));
    }
}

void AddressBookPresenter::SaveAddressBook() {
    if (m_entryCounter <= 1) {
        return;
    }
    // Every listed world is written back, one with an empty name too: it was
    // read from the file, and dropping it here would lose its address.
    int written = 0;
    for (const WorldEntry& entry : m_entries) {
        WriteSetting(kAddressSection, WorldKey(++written), FormatWorldEntry(entry), m_settingsPath);
    }
    const int lastKey = std::max(static_cast<int>(m_entries.size()), m_storedKeys);
    for (int number = written + 1; number <= lastKey; ++number) {
        DeleteSetting(kAddressSection, WorldKey(number), m_settingsPath);
    }
    m_storedKeys = written;
}

void AddressBookPresenter::showWorldNames() {
    std::vector<std::string> names;
    names.reserve(m_entries.size());
    for (const WorldEntry& entry : m_entries) {
        names.push_back(entry.name);
    }
    m_view.setWorldNames(names);
}

void AddressBookPresenter::showPort(const std::string& text) {
    m_view.setPort(clampedPort(text));
}

void AddressBookPresenter::onWorldPicked(int index) {
    if (index < 0 || index >= static_cast<int>(m_entries.size())) {
        return;
    }
    m_selected = index;
    m_view.selectWorld(index);
    const WorldEntry& entry = m_entries[static_cast<std::size_t>(index)];
    m_view.setHost(entry.host);
    showPort(entry.port);
    m_view.setSecure(entry.secure);
    m_view.setEncoding(ParseTextEncoding(entry.encoding));
    m_view.setMcp(entry.mcp);
    m_view.setMxp(entry.mxp);
    m_view.setServer(ParseServerKind(entry.server));
    m_view.setLoginForm(ParseLoginForm(entry.login));
    m_loginChosen = false;
    m_hostChanged = false;
    m_portChanged = false;
    m_secureChanged = false;
    m_encodingChanged = false;
}

void AddressBookPresenter::onHostEdited() {
    m_hostChanged = true;
}

void AddressBookPresenter::onPortEdited() {
    const std::string text = m_view.port();
    const std::string clamped = clampedPort(text);
    if (clamped != text) {
        m_view.setPort(clamped);
    }
    m_portChanged = true;
}

void AddressBookPresenter::onSecureToggled() {
    m_secureChanged = true;
}

void AddressBookPresenter::onEncodingChosen() {
    m_encodingChanged = true;
}

void AddressBookPresenter::onServerChosen() {
    // A new world logs in as most worlds of its kind do, until the player picks a form.
    if (m_newEntry && !m_loginChosen) {
        m_view.setLoginForm(DefaultLoginForm(m_view.server()));
    }
    // MXP markup is a MUD's; on a MUCK the same angle brackets are players' words.
    if (m_newEntry && !m_mxpChosen) {
        m_view.setMxp(m_view.server() == ServerKind::Mud);
    }
}

void AddressBookPresenter::onMxpToggled() {
    m_mxpChosen = true;
}

void AddressBookPresenter::onLoginChosen() {
    m_loginChosen = true;
}

void AddressBookPresenter::onNew() {
    m_view.showNewWorldBox(true);
    m_newEntry = true;
    // A new world owes nothing to the one picked before it: a MUCK saved with
    // another world's Server or encoding would play wrong without a word.
    m_view.setNewWorldName("");
    m_view.setHost("");
    showPort(kFirstPort);
    m_view.setSecure(false);
    m_view.setEncoding(TextEncoding::Automatic);
    m_view.setMcp(true);
    m_view.setMxp(false);
    m_view.setServer(ServerKind::Muck);
    m_hostChanged = false;
    m_portChanged = false;
    m_secureChanged = false;
    m_encodingChanged = false;
    m_loginChosen = false;
    m_mxpChosen = false;
    m_view.setLoginForm(DefaultLoginForm(m_view.server()));
}

void AddressBookPresenter::onDelete() {
    if (m_entries.empty() || m_selected < 0) {
        return;
    }
    const auto index = static_cast<std::size_t>(m_selected);
    const std::string name = m_entries[index].name;
    const PromptAnswer answer =
        m_prompts.ask(name + "\r(" + m_view.host() + " " + m_view.port() + ")\r\rDelete this MUD/MUCK?",
                      "DELETE MUD/MUCK", PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::No);
    if (answer != PromptAnswer::Yes) {
        return;
    }
    // The world's section holds its characters, macros and triggers. A name
    // that is also a program section, or that another listed world still
    // uses, would take settings with it that are not this world's alone.
    if (!IsProgramSection(name) && !sectionSharedWithAnother(index)) {
        DeleteSetting(name, "", m_settingsPath);
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    SaveAddressBook();
    LoadAddressBook();
}

bool AddressBookPresenter::sectionSharedWithAnother(std::size_t index) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (i != index && EqualsNoCase(m_entries[i].name, m_entries[index].name)) {
            return true;
        }
    }
    return false;
}

bool AddressBookPresenter::storable(const std::string& name, const std::string& host) {
    std::string problem;
    if (m_newEntry && hasComma(name)) {
        problem = "A MUD/MUCK name cannot contain a comma.";
    } else if (m_newEntry && IsProgramSection(name)) {
        problem = "\"" + name + "\" is the name of a settings section.\rPlease choose another MUD/MUCK name.";
    } else if (hasComma(host)) {
        problem = "A MUD/MUCK address cannot contain a comma.";
    }
    if (problem.empty()) {
        return true;
    }
    m_prompts.message(problem, "ERROR", PromptIcon::Exclamation);
    return false;
}

void AddressBookPresenter::onOk() {
    const std::string name = m_newEntry ? TrimmedName(m_view.newWorldName()) : m_view.selectedWorldName();
    const std::string host = m_view.host();
    const std::string port = m_view.port();
    const bool secure = m_view.secure();
    const TextEncoding encoding = m_view.encoding();
    if (host.empty() || port.empty() || name.empty()) {
        m_prompts.message("All fields are required!", "Corvane", PromptIcon::Exclamation);
        return;
    }
    if (!storable(name, host)) {
        return;
    }
    m_session.WorldName = name;
    m_window.setBusyCursor(true);
    int worldIndex = m_selected;
    if (m_newEntry) {
        const PromptAnswer answer = m_prompts.ask(
            name + "\rHost: " + host + "\rPort: " + port + secureLine(secure, secure) +
                encodingLine(encoding != TextEncoding::Automatic, encoding) + "\r\r\rAdd this MUD?",
            "Corvane " + std::string(VersionText), PromptButtons::YesNoCancel, PromptIcon::Question,
            PromptAnswer::Yes);
        if (answer == PromptAnswer::Cancel) {
            m_window.setBusyCursor(false);
            return;
        }
        if (answer == PromptAnswer::Yes) {
            addEntry({name, host, port, secure, std::string(TextEncodingName(encoding)), m_view.mcp(),
                      storedServerName(m_view.server()), storedLoginName(m_view.loginForm()), m_view.mxp()});
            worldIndex = static_cast<int>(m_entries.size()) - 1;
        } else {
            // Not in the book, so no index: another world's macro files
            // must not be taken for this one's.
            worldIndex = -1;
        }
    } else if (m_hostChanged || m_portChanged || m_secureChanged || m_encodingChanged) {
        // Secure or not is part of where the world is.
        const bool whereChanged = m_hostChanged || m_portChanged || m_secureChanged;
        const PromptAnswer answer = m_prompts.ask(
            name + "\rHost: " + host + "\rPort: " + port + secureLine(secure || m_secureChanged, secure) +
                encodingLine(encoding != TextEncoding::Automatic || m_encodingChanged, encoding) +
                (whereChanged ? "\r\rThe Address or Port has changed." : "\r\rThe Encoding has changed.") +
                "\rUpdate this information?",
            "CORVane " + std::string(VersionText), PromptButtons::YesNoCancel, PromptIcon::Question,
            PromptAnswer::Yes);
        if (answer == PromptAnswer::Cancel) {
            m_window.setBusyCursor(false);
            return;
        }
        if (answer == PromptAnswer::Yes) {
            updateEntry(host, port, secure, encoding);
        }
    }
    storeSectionChoices(worldIndex);
    m_view.hideDialog();
    // The connect call does not wait for the socket, and a failure box it
    // shows must not sit under a busy pointer.
    m_window.setBusyCursor(false);
    m_connection.ConnectToWorld(name, host, port, worldIndex, secure, encoding, m_view.server());
    m_view.closeDialog();
}

void AddressBookPresenter::addEntry(const WorldEntry& entry) {
    // Another window on the same settings may have added worlds since this
    // dialog read them; writing the working copy alone would drop those.
    for (WorldEntry& stored : readStoredWorlds()) {
        const bool known = std::any_of(m_entries.begin(), m_entries.end(),
                                       [&stored](const WorldEntry& e) { return e.name == stored.name; });
        if (!known && stored.name != entry.name) {
            m_entries.push_back(std::move(stored));
            ++m_entryCounter;
        }
    }
    ++m_entryCounter;
    m_entries.push_back(entry);
    showWorldNames();
    m_view.selectWorld(m_selected);
    SaveAddressBook();
    saveSection(entry);
}

void AddressBookPresenter::updateEntry(const std::string& host, const std::string& port, bool secure,
                                       TextEncoding encoding) {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_entries.size())) {
        return;
    }
    WorldEntry& entry = m_entries[static_cast<std::size_t>(m_selected)];
    entry.host = host;
    entry.port = port;
    entry.secure = secure;
    // Stored text that names no encoding stays while the choice stays automatic.
    if (ParseTextEncoding(entry.encoding) != encoding) {
        entry.encoding = TextEncodingName(encoding);
    }
    SaveAddressBook();
    saveSection(entry);
}

void AddressBookPresenter::storeSectionChoices(int worldIndex) {
    if (worldIndex < 0 || worldIndex >= static_cast<int>(m_entries.size())) {
        return;
    }
    WorldEntry& entry = m_entries[static_cast<std::size_t>(worldIndex)];
    bool changed = false;
    if (entry.mcp != m_view.mcp()) {
        entry.mcp = m_view.mcp();
        changed = true;
    }
    if (entry.mxp != m_view.mxp()) {
        entry.mxp = m_view.mxp();
        changed = true;
    }
    // Likewise a log-in form: "connect" is no key at all.
    if (ParseLoginForm(entry.login) != m_view.loginForm()) {
        entry.login = storedLoginName(m_view.loginForm());
        changed = true;
    }
    // Stored text that names no server stays while the choice stays MUCK.
    if (ParseServerKind(entry.server) != m_view.server()) {
        entry.server = storedServerName(m_view.server());
        changed = true;
    }
    if (changed) {
        saveSection(entry);
    }
}

void AddressBookPresenter::saveSection(const WorldEntry& entry) {
    if (IsProgramSection(entry.name)) {
        return;
    }
    // On is no key at all.
    if (!entry.mcp) {
        WriteSetting(entry.name, kMcpKey, "False", m_settingsPath);
    } else if (!ReadSetting(entry.name, kMcpKey, m_settingsPath).empty()) {
        DeleteSetting(entry.name, kMcpKey, m_settingsPath);
    }
    // Off is no key at all, as for every world stored before the box.
    if (entry.mxp) {
        WriteSetting(entry.name, kMxpKey, "True", m_settingsPath);
    } else if (!ReadSetting(entry.name, kMxpKey, m_settingsPath).empty()) {
        DeleteSetting(entry.name, kMxpKey, m_settingsPath);
    }
    // MUCK is no key at all, like Automatic below.
    const std::string storedServer = ReadSetting(entry.name, kServerKey, m_settingsPath);
    if (entry.server.empty()) {
        if (!storedServer.empty()) {
            DeleteSetting(entry.name, kServerKey, m_settingsPath);
        }
    } else if (entry.server != storedServer) {
        WriteSetting(entry.name, kServerKey, entry.server, m_settingsPath);
    }
    const std::string storedLogin = ReadSetting(entry.name, kLoginKey, m_settingsPath);
    if (entry.login.empty()) {
        if (!storedLogin.empty()) {
            DeleteSetting(entry.name, kLoginKey, m_settingsPath);
        }
    } else if (entry.login != storedLogin) {
        WriteSetting(entry.name, kLoginKey, entry.login, m_settingsPath);
    }
    // A world that was never secure keeps its section as it was.
    if (entry.secure) {
        WriteSetting(entry.name, kSecureKey, "True", m_settingsPath);
    } else if (!ReadSetting(entry.name, kSecureKey, m_settingsPath).empty()) {
        DeleteSetting(entry.name, kSecureKey, m_settingsPath);
    }
    // Automatic is no key at all, so a world the Encoding choice never
    // touched keeps the section it had.
    const std::string stored = ReadSetting(entry.name, kEncodingKey, m_settingsPath);
    if (entry.encoding.empty()) {
        if (!stored.empty()) {
            DeleteSetting(entry.name, kEncodingKey, m_settingsPath);
        }
    } else if (entry.encoding != stored) {
        WriteSetting(entry.name, kEncodingKey, entry.encoding, m_settingsPath);
    }
}

void AddressBookPresenter::onCancel() {
    m_view.closeDialog();
}

void AddressBookPresenter::onActivated() {
    if (m_session.Connected) {
        return;
    }
    const auto address = ParseCommandLineAddress(m_commandLine);
    if (!address) {
        return;
    }
    // Once only: every message box closing activates the dialog again, and
    // an address that OK refuses would otherwise be offered for ever.
    m_commandLine.clear();
    m_view.setHost(address->host);
    showPort(address->port);
    m_view.setSecure(address->secure);
    m_view.setEncoding(TextEncoding::Automatic);
    m_view.setServer(ServerKind::Muck);
    m_view.setMxp(false);
    m_session.WorldName.clear();
    const std::string port = m_view.port();
    const auto match = std::find_if(m_entries.begin(), m_entries.end(), [&](const WorldEntry& entry) {
        return entry.host == address->host && entry.port == port && entry.secure == address->secure;
    });
    if (match != m_entries.end()) {
        onWorldPicked(static_cast<int>(match - m_entries.begin()));
        m_session.WorldName = match->name;
    } else {
        // Named after its host, so OK goes straight to "Add this MUD?"
        // instead of refusing an empty name: an address handed over by a
        // link is meant to connect at once.
        // The address's own fields stay: only the name box is new.
        m_view.showNewWorldBox(true);
        m_newEntry = true;
        m_view.setNewWorldName(address->host);
    }
    onOk();
}

} // namespace corvane
