#pragma once

#include "platform/spelling.h"
#include "spell/dictionary.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace corvane::testing {

// A word list in memory that counts the look-ups made of it.
class FakeDictionary : public Dictionary {
public:
    explicit FakeDictionary(std::set<std::string> known)
        : words(std::move(known)) {}
    bool knows(const std::string& word) override {
        ++lookups;
        return words.count(word) != 0;
    }
    std::vector<std::string> suggestions(const std::string& word) override {
        const auto found = suggested.find(word);
        return found != suggested.end() ? found->second : std::vector<std::string>();
    }

    std::set<std::string> words;
    std::map<std::string, std::vector<std::string>> suggested;
    int lookups = 0;
};

// The spell checker's dictionaries as the Preferences see them; records what was put in use.
class FakeSpelling : public Spelling {
public:
    std::vector<std::string> installedDictionaries() override { return installed; }
    std::string systemLanguage() const override { return language; }
    std::string useDictionary(const std::string& name) override {
        used.push_back(name);
        return problem;
    }

    std::vector<std::string> installed;
    std::string language;
    std::vector<std::string> used;
    std::string problem;
};

} // namespace corvane::testing
