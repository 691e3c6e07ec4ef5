#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace corvane {

// The player's own words, never marked in any language: a UTF-8 file with
// one word a line (corvane-words.txt beside the settings file), replaced
// atomically on each addition and readable by the player alone.
class PersonalWords {
public:
    static constexpr const char* kFileName = "corvane-words.txt";
    // The file beside a settings file.
    static std::string pathBeside(const std::string& settingsPath);

    explicit PersonalWords(std::string path);
    // A missing file is an empty list; one that cannot be read returns why.
    std::string load();
    // Letter case does not matter (the word is looked up as typed, and as
    // lower case), so "Zorbin" added also covers "zorbin" and "ZORBIN".
    bool contains(std::string_view word) const;
    // Adds the word and writes the file; on failure the word stays out of the
    // list and reason says why.
    bool add(std::string_view word, std::string& reason);
    const std::vector<std::string>& words() const { return m_words; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::vector<std::string> m_words;
    std::unordered_set<std::string> m_folded;
    // Why the file could not be read; it is then never written over.
    std::string m_unreadable;
};

} // namespace corvane
