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

SpellService::~SpellService() {
    ++*m_request;
    if (m_loading.joinable()) {
        m_loading.join();
    }
}

std::vector<std::string> SpellService::installedDictionaries() {
    std::vector<std::string> names;
    for (const InstalledDictionary& dictionary : FindDictionaries(m_folders)) {
        names.push_back(dictionary.name);
    }
    return names;
}

std::string SpellService::useDictionary(const std::string& name) {
    if (name == m_name) {
        return {};
    }
    const std::size_t request = ++*m_request;
    std::string reason;
    const InstalledDictionary* chosen = nullptr;
    const std::vector<InstalledDictionary> installed = FindDictionaries(m_folders);
    for (const InstalledDictionary& dictionary : installed) {
        if (dictionary.name == name) {
            chosen = &dictionary;
        }
    }
    if (!name.empty() && chosen == nullptr) {
        reason = "The dictionary " + name + " is not installed.";
    } else if (chosen != nullptr) {
        reason = HunspellDictionary::problemWith(chosen->affPath, chosen->dicPath);
    }
    // Off until the new one is read: the old one's answers no longer count.
    m_pending.reset();
    install(nullptr);
    if (chosen == nullptr || !reason.empty()) {
        m_name.clear();
        return reason;
    }
    m_name = name;
    if (!m_mainThread) {
        install(HunspellDictionary::open(chosen->affPath, chosen->dicPath, reason));
        return reason;
    }
    m_pending = Pending{chosen->affPath, chosen->dicPath, request};
    if (m_inputUsed) {
        inputUsed();
    }
    return {};
}

void SpellService::inputUsed() {
    m_inputUsed = true;
    if (m_pending) {
        Pending pending = std::move(*m_pending);
        m_pending.reset();
        startReading(std::move(pending));
    }
}

void SpellService::startReading(Pending pending) {
    if (m_loading.joinable()) {
        m_loading.join();
    }
    m_loading = std::thread([this, aff = std::move(pending.affPath), dic = std::move(pending.dicPath),
                             request = pending.request, wanted = std::weak_ptr<std::size_t>(m_request),
                             mainThread = m_mainThread] {
        std::string ignored;
        std::shared_ptr<Dictionary> read(HunspellDictionary::open(aff, dic, ignored));
        mainThread([this, read, request, wanted]() mutable {
            const std::shared_ptr<std::size_t> current = wanted.lock();
            if (current != nullptr && *current == request && read != nullptr) {
                install(std::move(read));
            }
        });
    });
}

void SpellService::install(std::shared_ptr<Dictionary> dictionary) {
    m_checker.setDictionary(dictionary.get());
    m_dictionary = std::move(dictionary);
    if (m_changed) {
        m_changed();
    }
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
