#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace practice_world {

// A login name and its password, as read from an accounts file.
struct Account {
    std::string name;
    std::string password;
};

// Reads one account per line, "NAME PASSWORD", where the password is the rest
// of the line; blank lines and lines starting with '#' are skipped. A malformed
// line fails the whole file, naming the line in `error`, so a typo never
// silently locks someone out.
std::optional<std::vector<Account>> readAccounts(std::istream& in, std::string& error);

} // namespace practice_world
