#include "spell/spell_service.h"

#include "spell/hunspell_dictionary.h"

namespace corvane {

SpellService::SpellService(std::vector<std::string> folders, std::string personalWordsPath, std::string language)
    : m_folders(std::move(folders))
    , m_language(std::move(language))
    , m_personal(std::move(personalWordsPath)) {
    m_personalProblem = m_personal.load();
    m_checker.setPersonalWords(&m_personal);
}

std::vector<std::string> SpellService::installedDictionaries() {
    std::vector<std::string> names;
    for (const InstalledDictionary& dictionary : FindDictionaries(m_folders)) {
        names.push_back(dictionary.name);
    }
    return names;
}

std::string SpellService::useDictionary(const std::string& name) {
    if (name == m_name && (m_dictionary != nullptr || name.empty())) {
        return {};
    }
    std::string reason;
    std::unique_ptr<Dictionary> opened;
    if (!name.empty()) {
        for (const InstalledDictionary& dictionary : FindDictionaries(m_folders)) {
            if (dictionary.name == name) {
                opened = HunspellDictionary::open(dictionary.affPath, dictionary.dicPath, reason);
            }
        }
        if (opened == nullptr && reason.empty()) {
            reason = "The dictionary " + name + " is not installed.";
        }
    }
    m_checker.setDictionary(opened.get());
    m_dictionary = std::move(opened);
    m_name = m_dictionary != nullptr ? name : std::string();
    if (m_changed) {
        m_changed();
    }
    return reason;
}

bool SpellService::addWord(const std::string& word, std::string& reason) {
    if (!m_checker.addWord(word, reason)) {
        return false;
    }
    if (m_changed) {
        m_changed();
    }
    return true;
}

} // namespace corvane
