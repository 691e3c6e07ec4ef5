#include "worlds/character_presenter.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "platform/prompts.h"
#include "settings/scramble.h"
#include "settings/settings.h"
#include "worlds/login_form.h"
#include "worlds/password_store.h"
#include "worlds/typed_names.h"
#include "worlds/world_is_stored.h"

#include <algorithm>
#include <optional>

namespace corvane {

namespace {

// What the questions about a stored name show instead of its password: the
// box may be on a shared or recorded screen, and no length is given away.
const std::string kHiddenPassword = "********";

std::string characterKey(int number) {
    return "Character " + std::to_string(number);
}

// Scrambling keeps only seven bits of each character, and a value read back
// is cut after 254 characters.
bool fitsStoredForm(const std::string& name, const std::string& password) {
    return CanStorePassword(password) && Utf8Length(name) + 1 + password.size() <= kMaxSettingLength;
}

} // namespace

CharacterPresenter::CharacterPresenter(CharacterView& view, Session& session, CommandSender& sender,
                                       Prompts& prompts, std::string settingsPath)
    : m_view(view)
    , m_session(session)
    , m_sender(sender)
    , m_prompts(prompts)
    , m_settingsPath(std::move(settingsPath))
    , m_store(CurrentKeyring(), m_settingsPath) {}

void CharacterPresenter::load() {
    m_view.setTitle(m_session.WorldName + " Character(s)");
    m_view.showNewNameBox(false);
    m_view.setListButtonsEnabled(true);
    LoadCharacters();
}

void CharacterPresenter::LoadCharacters() {
    m_newCharacter = false;
    m_passwordChanged = false;
    m_session.CharacterName.clear();
    m_names.clear();
    m_passwords.clear();
    m_unreadable.clear();
    m_storedKeys = 0;
    for (int number = 1;; ++number) {
        const std::string value = ReadSetting(m_session.WorldName, characterKey(number), m_settingsPath);
        if (value.empty()) {
            break;
        }
        m_storedKeys = number;
        const auto comma = value.find(',');
        if (comma != std::string::npos) {
            m_names.push_back(value.substr(0, comma));
            std::string unreadable;
            m_passwords.push_back(
                m_store.password(m_session.WorldName, m_names.back(), value.substr(comma + 1), &unreadable));
            m_unreadable.push_back(std::move(unreadable));
        }
    }
    m_characterCount = static_cast<int>(m_names.size());
    showCharacterNames();
    m_selected = -1;
    if (!m_names.empty()) {
        onCharacterPicked(0);
    }
}

void CharacterPresenter::SaveCharacters() {
    // Nothing writes this key any more; files from older versions may hold it.
    DeleteSetting(m_session.WorldName, "Characters", m_settingsPath);
    if (!WorldIsStored(m_session.WorldName, m_settingsPath)) {
        return;
    }
    const int names = static_cast<int>(m_names.size());
    const int lastKey = std::max(m_characterCount, m_storedKeys);
    for (int i = 0; i < lastKey; ++i) {
        const std::string key = characterKey(i + 1);
        if (i < names) {
            const auto at = static_cast<std::size_t>(i);
            WriteSetting(m_session.WorldName, key,
                         m_names[at] + "," + m_store.field(m_session.WorldName, m_names[at], m_passwords[at]),
                         m_settingsPath);
        } else {
            DeleteSetting(m_session.WorldName, key, m_settingsPath);
        }
    }
    m_characterCount = names;
    m_storedKeys = names;
}

bool CharacterPresenter::hasSelection() const {
    return m_selected >= 0 && m_selected < static_cast<int>(m_names.size());
}

void CharacterPresenter::showCharacterNames() {
    m_view.setCharacterNames(m_names);
}

void CharacterPresenter::showLast() {
    if (m_names.empty()) {
        m_selected = -1;
        m_view.selectCharacter(-1);
        m_view.setPassword("");
    } else {
        onCharacterPicked(static_cast<int>(m_names.size()) - 1);
    }
}

void CharacterPresenter::onCharacterPicked(int index) {
    if (index < 0 || index >= static_cast<int>(m_names.size())) {
        return;
    }
    m_selected = index;
    m_view.selectCharacter(index);
    m_view.setPassword(m_passwords[static_cast<std::size_t>(index)]);
}

void CharacterPresenter::onPasswordEdited() {
    m_passwordChanged = true;
}

void CharacterPresenter::onNew() {
    m_view.showNewNameBox(true);
    m_newCharacter = true;
    m_view.setListButtonsEnabled(false);
}

void CharacterPresenter::onDelete() {
    if (!hasSelection()) {
        return;
    }
    const auto index = static_cast<std::size_t>(m_selected);
    const PromptAnswer answer =
        m_prompts.ask(m_names[index] + "/" + kHiddenPassword + "\rDelete this name/pw?", "DELETE",
                      PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::No);
    if (answer != PromptAnswer::Yes) {
        return;
    }
    const std::string gone = m_names[index];
    m_names.erase(m_names.begin() + m_selected);
    m_passwords.erase(m_passwords.begin() + m_selected);
    m_unreadable.erase(m_unreadable.begin() + m_selected);
    if (std::find(m_names.begin(), m_names.end(), gone) == m_names.end()) {
        m_store.forget(m_session.WorldName, gone);
    }
    showCharacterNames();
    SaveCharacters();
    showLast();
}

void CharacterPresenter::leaveNewCharacter() {
    m_newCharacter = false;
    m_passwordChanged = false;
    m_view.setListButtonsEnabled(true);
    m_view.showNewNameBox(false);
    m_view.setPassword(hasSelection() ? m_passwords[static_cast<std::size_t>(m_selected)] : std::string());
}

void CharacterPresenter::error(const std::string& text) {
    m_prompts.message(text, "ERROR", PromptIcon::Exclamation);
}

void CharacterPresenter::onOk() {
    // Set when the settings file cannot hold the password the user wants
    // stored: the login then uses it and the stored entry stays as it was.
    std::optional<Credentials> unstored;
    if (m_newCharacter) {
        const std::string name = TrimmedName(m_view.newName());
        const std::string password = m_view.password();
        if (name.empty()) {
            error("Please enter a new Character name.");
            return;
        }
        if (name.find(',') != std::string::npos) {
            error("A Character name cannot contain a comma.");
            return;
        }
        if (password.empty()) {
            error("You need a password for '" + name + "'.");
            return;
        }
        const PromptAnswer answer =
            m_prompts.ask(name + "/" + kHiddenPassword + "\rAdd this name/pw?", "Add Name/PW",
                          PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::Yes);
        if (answer != PromptAnswer::Yes) {
            leaveNewCharacter();
            return;
        }
        if (fitsStoredForm(name, password)) {
            m_names.push_back(name);
            m_passwords.push_back(password);
            m_unreadable.emplace_back();
            showCharacterNames();
            onCharacterPicked(static_cast<int>(m_names.size()) - 1);
            ++m_characterCount;
        } else {
            unstored = Credentials{name, password};
        }
        m_passwordChanged = false;
    }

    Credentials login;
    if (unstored) {
        login = *unstored;
    } else {
        login.name = hasSelection() ? m_names[static_cast<std::size_t>(m_selected)] : std::string();
        const std::string typed = m_view.password();
        if (typed.empty() && hasSelection() && !m_unreadable[static_cast<std::size_t>(m_selected)].empty()) {
            error(m_unreadable[static_cast<std::size_t>(m_selected)]);
            return;
        }
        if (login.name.empty() || typed.empty()) {
            error("Illegal Name and/or Password");
            return;
        }
        if (m_passwordChanged) {
            const PromptAnswer answer =
                m_prompts.ask(login.name + "/" + typed + "\rChange password?", "Change Password",
                              PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::Yes);
            if (answer != PromptAnswer::Yes) {
                // The stored password stays; there is nothing to save.
                m_passwordChanged = false;
            } else if (fitsStoredForm(login.name, typed)) {
                m_passwords[static_cast<std::size_t>(m_selected)] = typed;
                m_unreadable[static_cast<std::size_t>(m_selected)].clear();
            } else {
                unstored = Credentials{login.name, typed};
            }
        }
        login.password = unstored ? unstored->password : m_passwords[static_cast<std::size_t>(m_selected)];
    }

    m_view.hideDialog();
    sendLogin(login);
    if (unstored) {
        m_prompts.message("The password for " + login.name +
                              " cannot be stored: it is too long, or it has characters beyond plain ASCII.\r"
                              "You are logged in with it, but it was not saved.",
                          "Corvane " + std::string(VersionText), PromptIcon::Exclamation);
    } else if (m_passwordChanged || m_newCharacter) {
        SaveCharacters();
    }
    m_view.closeDialog();
}

void CharacterPresenter::sendLogin(const Credentials& login) {
    m_session.CharacterName = login.name;
    const std::string newLine(NewLine);
    switch (ParseLoginForm(ReadSetting(m_session.WorldName, kLoginKey, m_settingsPath))) {
    case LoginForm::Prompts:
        // Name and password only, each when the world asks for it; a world
        // of that family knows neither frames nor the arrival hook.
        m_sender.promptedLogin().start(login.name, login.password);
        return;
    case LoginForm::None:
        return;
    case LoginForm::Connect:
        break;
    }
    m_sender.SendCommand("connect " + login.name + " " + login.password + newLine);
    if (m_session.Server == ServerKind::Mud) {
        // No frames and no arrival hook: a MUD would answer each with an error.
        return;
    }
    if (m_session.Server == ServerKind::Muck) {
        m_sender.setArrivalHook();
    }
    m_sender.SendOwnCommand("OUTPUTPREFIX [on]" + newLine, OwnAnswer::UnknownOrNothing);
    m_sender.SendOwnCommand("OUTPUTSUFFIX [off]" + newLine, OwnAnswer::UnknownOrNothing);
}

void CharacterPresenter::onCancel() {
    m_view.closeDialog();
}

} // namespace corvane
