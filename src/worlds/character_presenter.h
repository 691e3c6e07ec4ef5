#pragma once

#include "worlds/character_view.h"
#include "worlds/password_store.h"

#include <string>
#include <vector>

namespace corvane {

struct Session;
class CommandSender;
class Prompts;

// Rules of the character dialog: the current world's characters as a working
// copy written back after every add, password change and delete, and the
// login that sends the connect command and the three set-up commands the
// room marker and the reply framing rely on.
class CharacterPresenter : public CharacterEvents {
public:
    CharacterPresenter(CharacterView& view, Session& session, CommandSender& sender, Prompts& prompts,
                       std::string settingsPath);

    // Opening the dialog.
    void load();
    void LoadCharacters();
    void SaveCharacters();

    void onCharacterPicked(int index) override;
    void onPasswordEdited() override;
    void onNew() override;
    void onDelete() override;
    void onOk() override;
    void onCancel() override;

private:
    struct Credentials {
        std::string name;
        std::string password;
    };

    bool hasSelection() const;
    void showCharacterNames();
    void showLast();
    void leaveNewCharacter();
    void sendLogin(const Credentials& login);
    void error(const std::string& text);

    CharacterView& m_view;
    Session& m_session;
    CommandSender& m_sender;
    Prompts& m_prompts;
    std::string m_settingsPath;
    PasswordStore m_store;

    std::vector<std::string> m_names;
    std::vector<std::string> m_passwords;
    // Why a stored password could not be read (its keyring does not answer); empty when it was.
    std::vector<std::string> m_unreadable;
    int m_selected = -1;
    bool m_newCharacter = false;
    bool m_passwordChanged = false;
    // The number of "Character n" keys the next save rewrites.
    int m_characterCount = 0;
    // How many keys the last load or save left in a row from "Character 1",
    // unreadable ones included: a save removes those it no longer fills.
    int m_storedKeys = 0;
};

} // namespace corvane
