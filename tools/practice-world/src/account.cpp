#include "account.h"

#include "text_format.h"

#include <algorithm>
#include <cctype>

namespace practice_world {

namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-';
}

} // namespace

std::optional<std::vector<Account>> readAccounts(std::istream& in, std::string& error) {
    std::vector<Account> accounts;
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#')
            continue;
        const auto space = line.find_first_of(" \t");
        const std::string_view name = line.substr(0, space);
        const std::string_view password = space == std::string_view::npos ? "" : trim(line.substr(space));
        if (password.empty()) {
            error = "line " + std::to_string(lineNumber) + ": expected NAME PASSWORD";
            return std::nullopt;
        }
        if (!std::all_of(name.begin(), name.end(), isNameChar)) {
            error = "line " + std::to_string(lineNumber) + ": a name may hold letters, digits, _ and -";
            return std::nullopt;
        }
        accounts.push_back(Account{std::string(name), std::string(password)});
    }
    return accounts;
}

} // namespace practice_world
