#include "worlds/password_store.h"

#include "core/text_codec.h"
#include "platform/keyring.h"
#include "settings/scramble.h"
#include "settings/settings.h"

namespace corvane {

namespace {

std::string characterKey(int number) {
    return "Character " + std::to_string(number);
}

// The world name of an "MUD N=name,host,port" entry.
std::string worldOf(std::string entry) {
    return TakeField(entry, ',');
}

Keyring*& registered() {
    static Keyring* keyring = nullptr;
    return keyring;
}

} // namespace

void SetKeyring(Keyring* keyring) {
    registered() = keyring;
}

Keyring* CurrentKeyring() {
    return registered();
}

PasswordStore::PasswordStore(Keyring* keyring, std::string settingsPath)
    : m_keyring(keyring)
    , m_settingsPath(std::move(settingsPath)) {}

std::string PasswordStore::unavailableReason() {
    if (m_keyring == nullptr) {
        return "This system has no keyring service.";
    }
    return m_keyring->unavailableReason();
}

bool PasswordStore::useKeyring() const {
    return m_keyring != nullptr && !m_settingsPath.empty() &&
           ToLowerAscii(ReadSetting(kSection, kKey, m_settingsPath)) == "true";
}

std::string PasswordStore::account(const std::string& world, const std::string& name) {
    return name + " on " + world;
}

std::string PasswordStore::password(const std::string& world, const std::string& name, const std::string& field,
                                    std::string* unreadable) {
    if (!field.empty() || !useKeyring()) {
        return ScrambleText(kUnscramble, field);
    }
    std::optional<std::string> secret = m_keyring->read(account(world, name));
    if (!secret || secret->empty()) {
        // No entry and no keyring are told apart by whether the keyring answers.
        const std::string reason = m_keyring->unavailableReason();
        if (!reason.empty() && unreadable != nullptr) {
            *unreadable = "The keyring is not available, so the password of " + name +
                          " could not be read; nothing was sent to the world.\r\r" + reason +
                          "\r\rType the password to log in with it.";
        }
        return {};
    }
    return std::move(*secret);
}

std::string PasswordStore::field(const std::string& world, const std::string& name, const std::string& password) {
    if (useKeyring()) {
        if (password.empty()) {
            m_keyring->erase(account(world, name));
            return {};
        }
        if (m_keyring->write(account(world, name), password)) {
            return {};
        }
        // A keyring that refuses now must not cost the password.
    }
    return ScrambleText(kScramble, password);
}

void PasswordStore::forget(const std::string& world, const std::string& name) {
    if (useKeyring()) {
        m_keyring->erase(account(world, name));
    }
}

bool PasswordStore::moveWorld(const std::string& world, bool toKeyring) {
    for (int number = 1;; ++number) {
        const std::string value = ReadSetting(world, characterKey(number), m_settingsPath);
        if (value.empty()) {
            return true;
        }
        const auto comma = value.find(',');
        if (comma == std::string::npos) {
            continue;
        }
        const std::string name = value.substr(0, comma);
        const std::string stored = value.substr(comma + 1);
        if (toKeyring) {
            if (stored.empty()) {
                continue;
            }
            if (!m_keyring->write(account(world, name), ScrambleText(kUnscramble, stored))) {
                return false;
            }
            WriteSetting(world, characterKey(number), name + ",", m_settingsPath);
        } else {
            if (!stored.empty()) {
                continue;
            }
            const auto secret = m_keyring->read(account(world, name));
            if (!secret) {
                continue; // never had one
            }
            if (WriteSetting(world, characterKey(number), name + "," + ScrambleText(kScramble, *secret),
                             m_settingsPath)) {
                m_keyring->erase(account(world, name));
            }
        }
    }
}

bool PasswordStore::setUseKeyring(bool on) {
    if (m_settingsPath.empty() || (on && !unavailableReason().empty())) {
        return false;
    }
    if (on == useKeyring()) {
        return true;
    }
    // On: the flag goes first so that a character saved meanwhile goes to
    // the keyring too. Off: it goes last, so that the empty fields still read
    // from the keyring until each is moved back.
    if (on) {
        WriteFlag(kSection, kKey, true, m_settingsPath);
    }
    bool moved = true;
    for (int number = 1; moved; ++number) {
        const std::string entry = ReadSetting("Addresses", "MUD " + std::to_string(number), m_settingsPath);
        if (entry.empty()) {
            break;
        }
        moved = moveWorld(worldOf(entry), on);
    }
    if (!moved && on) {
        // Back to the file, which still holds what was not moved.
        WriteFlag(kSection, kKey, false, m_settingsPath);
        for (int number = 1;; ++number) {
            const std::string entry = ReadSetting("Addresses", "MUD " + std::to_string(number), m_settingsPath);
            if (entry.empty()) {
                break;
            }
            moveWorld(worldOf(entry), false);
        }
        return false;
    }
    if (!on && moved) {
        WriteFlag(kSection, kKey, false, m_settingsPath);
    }
    return moved;
}

} // namespace corvane
