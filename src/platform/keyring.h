#pragma once

#include <optional>
#include <string>

namespace corvane {

// The desktop's keyring (Secret Service): secrets kept by the session, out of
// the settings file. Each call finishes before it returns.
class Keyring {
public:
    virtual ~Keyring() = default;
    // Empty when a keyring service answers, else why not, in one line.
    virtual std::string unavailableReason() = 0;
    virtual bool write(const std::string& account, const std::string& secret) = 0;
    // nullopt when there is no such entry or the keyring could not be read.
    virtual std::optional<std::string> read(const std::string& account) = 0;
    virtual bool erase(const std::string& account) = 0;
};

} // namespace corvane
