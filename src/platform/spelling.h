#pragma once

#include <string>
#include <vector>

namespace corvane {

// The spell checker of the input lines as the client's rules see it: which
// dictionaries this system has, and which one is in use. It lives in a
// library of its own (on Hunspell), which the behaviour does not link.
class Spelling {
public:
    virtual ~Spelling() = default;
    // Names such as "en_US", sorted; looked for again on each call.
    virtual std::vector<std::string> installedDictionaries() = 0;
    // The language the player's system runs in ("de_DE"), or empty.
    virtual std::string systemLanguage() const = 0;
    // Empty turns checking off. A dictionary that cannot be opened leaves it
    // off, and the reason is returned.
    virtual std::string useDictionary(const std::string& name) = 0;
};

} // namespace corvane
