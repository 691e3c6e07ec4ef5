#pragma once

#include "platform/keyring.h"

#include <map>
#include <string>

namespace corvane::testing {

// A keyring in memory; a reason makes it unavailable, refuseWrites makes
// writes fail as a locked or full keyring would.
class FakeKeyring : public Keyring {
public:
    std::string unavailableReason() override { return reason; }
    bool write(const std::string& account, const std::string& secret) override {
        if (refuseWrites || !reason.empty()) {
            return false;
        }
        entries[account] = secret;
        return true;
    }
    std::optional<std::string> read(const std::string& account) override {
        // As the real one: a keyring that does not answer reads nothing.
        if (!reason.empty()) {
            return std::nullopt;
        }
        const auto it = entries.find(account);
        return it == entries.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool erase(const std::string& account) override {
        entries.erase(account);
        return true;
    }

    std::string reason;
    bool refuseWrites = false;
    std::map<std::string, std::string> entries;
};

} // namespace corvane::testing
