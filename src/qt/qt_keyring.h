#pragma once

#include "platform/keyring.h"

namespace corvane {

// The Secret Service of the desktop session, through QtKeychain. Each call
// waits for its answer in a local event loop.
class QtKeyring : public Keyring {
public:
    std::string unavailableReason() override;
    bool write(const std::string& account, const std::string& secret) override;
    std::optional<std::string> read(const std::string& account) override;
    bool erase(const std::string& account) override;
};

} // namespace corvane
