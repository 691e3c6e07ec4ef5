#pragma once

#include <string>

namespace corvane {

class Keyring;

// The desktop keyring, set once by the program as it starts (tests set a
// fake); none until then.
void SetKeyring(Keyring* keyring);
Keyring* CurrentKeyring();

// Where the characters' passwords live. By default in the settings file, in
// the scrambled form of each "Character N=name,password" entry. With the
// keyring option on they live in the desktop keyring, and the entry keeps
// the name with an empty password field.
class PasswordStore {
public:
    static constexpr const char* kSection = "Corvane2";
    static constexpr const char* kKey = "KeyringPasswords";

    // keyring may be null: there is none on this platform.
    PasswordStore(Keyring* keyring, std::string settingsPath);

    // Empty when the option can be turned on, else why not.
    std::string unavailableReason();
    bool useKeyring() const;

    // The password of a stored entry's field. When it lives in a keyring
    // that does not answer, it is empty and `unreadable` (if given) says why.
    std::string password(const std::string& world, const std::string& name, const std::string& field,
                         std::string* unreadable = nullptr);
    // The field to store for a password; keeps the keyring in step.
    std::string field(const std::string& world, const std::string& name, const std::string& password);
    // The character is gone from the world.
    void forget(const std::string& world, const std::string& name);

    // Turns the option on or off and moves every stored password across.
    // False, with nothing changed for the entries not yet moved, when the
    // keyring refused one.
    bool setUseKeyring(bool on);

private:
    static std::string account(const std::string& world, const std::string& name);
    bool moveWorld(const std::string& world, bool toKeyring);

    Keyring* m_keyring;
    std::string m_settingsPath;
};

} // namespace corvane
