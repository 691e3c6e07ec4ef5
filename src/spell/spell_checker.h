#pragma once

#include "spell/word_span.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane {

class Dictionary;
class PersonalWords;

// Finds the misspelt words of a line as the player types it. A word is
// misspelt when the dictionary does not know it, it is not in the player's
// own list, and it is not a name Corvane has seen. Answers are remembered
// per word, so typing one more character into a long line looks up one word.
class SpellChecker {
public:
    using NameLookup = std::function<bool(std::string_view)>;
    static constexpr std::size_t kMostSuggestions = 6;

    // Nothing: checking is off. The dictionary must outlive its use here.
    void setDictionary(Dictionary* dictionary);
    bool enabled() const { return m_dictionary != nullptr; }
    void setPersonalWords(PersonalWords* words) { m_personal = words; }
    void setKnownNames(NameLookup names) { m_names = std::move(names); }

    std::vector<WordSpan> misspelt(std::string_view line);
    // The misspelt word at or just before a byte offset (where a right-click landed).
    std::optional<WordSpan> misspeltAt(std::string_view line, std::size_t offset);
    // At most kMostSuggestions.
    std::vector<std::string> suggestions(const std::string& word);
    // Into the personal list; false (and why) when the list could not be written.
    bool addWord(const std::string& word, std::string& reason);

    // Changes whenever the answers may have changed (another dictionary, a
    // word added), so a view knows to look at its text again.
    std::size_t generation() const { return m_generation; }

private:
    bool isMisspelt(const std::string& word);
    bool dictionaryKnows(const std::string& word);

    Dictionary* m_dictionary = nullptr;
    PersonalWords* m_personal = nullptr;
    NameLookup m_names;
    std::unordered_map<std::string, bool> m_known;
    std::size_t m_generation = 0;
};

} // namespace corvane
