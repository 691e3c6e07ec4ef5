#pragma once

#include "platform/spelling.h"
#include "spell/dictionary.h"
#include "spell/installed_dictionaries.h"
#include "spell/personal_words.h"
#include "spell/spell_checker.h"

#include <functional>
#include <memory>

namespace corvane {

// The spell checker the program runs: Hunspell dictionaries from the
// dictionary folders, the player's own word list, and the checker the input
// lines ask. Views are told through the changed hook when its answers change.
class SpellService : public Spelling {
public:
    SpellService(std::vector<std::string> folders, std::string personalWordsPath, std::string language);

    std::vector<std::string> installedDictionaries() override;
    std::string systemLanguage() const override { return m_language; }
    std::string useDictionary(const std::string& name) override;

    // Adds a word to the personal list; the views are told.
    bool addWord(const std::string& word, std::string& reason);
    SpellChecker& checker() { return m_checker; }
    const std::string& dictionaryName() const { return m_name; }
    // Why the personal word list could not be read at start, or empty.
    const std::string& personalWordsProblem() const { return m_personalProblem; }
    void setChangedHook(std::function<void()> changed) { m_changed = std::move(changed); }

private:
    std::vector<std::string> m_folders;
    std::string m_language;
    PersonalWords m_personal;
    std::string m_personalProblem;
    std::unique_ptr<Dictionary> m_dictionary;
    std::string m_name;
    SpellChecker m_checker;
    std::function<void()> m_changed;
};

} // namespace corvane
