#pragma once

#include <string>
#include <vector>

namespace corvane {

// A language's word list as the spell checker asks it: is this a word, and
// what might have been meant. Words are UTF-8. Tests hand in a fake.
class Dictionary {
public:
    virtual ~Dictionary() = default;
    virtual bool knows(const std::string& word) = 0;
    // Best first; may be slow (milliseconds), so only asked on a right-click.
    virtual std::vector<std::string> suggestions(const std::string& word) = 0;
};

} // namespace corvane
