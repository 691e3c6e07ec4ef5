#pragma once

#include "platform/spelling.h"
#include "spell/dictionary.h"
#include "spell/installed_dictionaries.h"
#include "spell/personal_words.h"
#include "spell/spell_checker.h"

#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace corvane {

// The spell checker the program runs: Hunspell dictionaries from the
// dictionary folders, the player's own word list, and the checker the input
// lines ask. Views are told through the changed hook when its answers change.
class SpellService : public Spelling {
public:
    // Runs a task on the thread the views live on; it may be called from another thread.
    using MainThread = std::function<void(std::function<void()>)>;

    SpellService(std::vector<std::string> folders, std::string personalWordsPath, std::string language);
    ~SpellService() override;
    SpellService(const SpellService&) = delete;
    SpellService& operator=(const SpellService&) = delete;
    // With it, a dictionary is read on a thread of its own (a large one takes
    // a tenth of a second or more) and put in use on the main thread when
    // read; until then checking is off. Without it, it is read at once.
    void setMainThread(MainThread mainThread) { m_mainThread = std::move(mainThread); }
    // The player has put text in an input line. A dictionary read on its own
    // thread is read only from then on: a large one holds 8 MiB or more, and
    // a session that only reads (a log-in left to scroll, a flood) should not
    // pay for it.
    void inputUsed();

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
    void install(std::shared_ptr<Dictionary> dictionary);

    std::vector<std::string> m_folders;
    std::string m_language;
    PersonalWords m_personal;
    std::string m_personalProblem;
    std::shared_ptr<Dictionary> m_dictionary;
    std::string m_name;
    SpellChecker m_checker;
    std::function<void()> m_changed;
    MainThread m_mainThread;
    // The dictionary being read, and what tells a finished read whether it
    // is still wanted (another was asked for since, or the service is gone).
    std::thread m_loading;
    struct Pending {
        std::string affPath;
        std::string dicPath;
        std::size_t request = 0;
    };
    std::optional<Pending> m_pending;
    bool m_inputUsed = false;
    void startReading(Pending pending);
    std::shared_ptr<std::size_t> m_request = std::make_shared<std::size_t>(0);
};

} // namespace corvane
