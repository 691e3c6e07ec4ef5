#include "spell/spell_checker.h"

#include "spell/checkable_words.h"
#include "spell/dictionary.h"
#include "spell/personal_words.h"

namespace corvane {

namespace {

// Bounds the memory of the answers: a long session of typing stays far below this.
constexpr std::size_t kMostRemembered = 50000;

} // namespace

void SpellChecker::setDictionary(Dictionary* dictionary) {
    m_dictionary = dictionary;
    m_known.clear();
    ++m_generation;
}

bool SpellChecker::dictionaryKnows(const std::string& word) {
    const auto remembered = m_known.find(word);
    if (remembered != m_known.end()) {
        return remembered->second;
    }
    if (m_known.size() >= kMostRemembered) {
        m_known.clear();
    }
    const bool known = m_dictionary->knows(word);
    m_known.emplace(word, known);
    return known;
}

bool SpellChecker::isMisspelt(const std::string& word) {
    if (dictionaryKnows(word)) {
        return false;
    }
    // Only the few words the dictionary refuses are looked for in the lists.
    if (m_personal != nullptr && m_personal->contains(word)) {
        return false;
    }
    return !(m_names && m_names(word));
}

std::vector<WordSpan> SpellChecker::misspelt(std::string_view line) {
    std::vector<WordSpan> found;
    if (m_dictionary == nullptr) {
        return found;
    }
    for (const WordSpan& span : CheckableWords(line)) {
        if (isMisspelt(std::string(line.substr(span.start, span.length)))) {
            found.push_back(span);
        }
    }
    return found;
}

std::optional<WordSpan> SpellChecker::misspeltAt(std::string_view line, std::size_t offset) {
    for (const WordSpan& span : misspelt(line)) {
        if (offset >= span.start && offset <= span.end()) {
            return span;
        }
    }
    return std::nullopt;
}

std::vector<std::string> SpellChecker::suggestions(const std::string& word) {
    if (m_dictionary == nullptr) {
        return {};
    }
    std::vector<std::string> found = m_dictionary->suggestions(word);
    if (found.size() > kMostSuggestions) {
        found.resize(kMostSuggestions);
    }
    return found;
}

bool SpellChecker::addWord(const std::string& word, std::string& reason) {
    if (m_personal == nullptr) {
        reason = "There is no personal word list.";
        return false;
    }
    if (!m_personal->add(word, reason)) {
        return false;
    }
    ++m_generation;
    return true;
}

} // namespace corvane
