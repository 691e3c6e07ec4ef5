#pragma once

#include "spell/dictionary.h"

#include <memory>
#include <string>

class Hunspell;

namespace corvane {

// A Hunspell dictionary (an .aff and a .dic file). Hunspell takes words in
// the dictionary's own encoding: UTF-8 and ISO 8859-1 are converted; in
// other encodings a word that is not plain ASCII is taken as known rather
// than marked without reason.
class HunspellDictionary : public Dictionary {
public:
    ~HunspellDictionary() override;
    // Why the files cannot be opened, or empty: quick, unlike opening them.
    static std::string problemWith(const std::string& affPath, const std::string& dicPath);
    // Nothing when either file cannot be read (reason says why). Reads the
    // whole word list: a tenth of a second or more for a large one.
    static std::unique_ptr<HunspellDictionary> open(const std::string& affPath, const std::string& dicPath,
                                                    std::string& reason);

    bool knows(const std::string& word) override;
    std::vector<std::string> suggestions(const std::string& word) override;

private:
    enum class Encoding { Utf8, Latin1, Other };
    HunspellDictionary(std::unique_ptr<Hunspell> hunspell, Encoding encoding);
    // The word in the dictionary's encoding; false when it cannot be written in it.
    bool toDictionary(const std::string& word, std::string& converted) const;
    std::string fromDictionary(const std::string& word) const;

    std::unique_ptr<Hunspell> m_hunspell;
    Encoding m_encoding;
};

} // namespace corvane
