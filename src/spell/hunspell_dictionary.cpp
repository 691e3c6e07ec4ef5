#include "spell/hunspell_dictionary.h"

#include <hunspell.hxx>

#include <fstream>
#include <system_error>
#include <cerrno>

namespace corvane {

namespace {

bool readable(const std::string& path, std::string& reason) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = path + ": " + std::generic_category().message(errno != 0 ? errno : ENOENT);
        return false;
    }
    return true;
}

bool isAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// UTF-8 to ISO 8859-1; false for a character beyond U+00FF or bytes that are not UTF-8.
bool utf8ToLatin1(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

HunspellDictionary::HunspellDictionary(std::unique_ptr<Hunspell> hunspell, Encoding encoding)
    : m_hunspell(std::move(hunspell))
    , m_encoding(encoding) {}

HunspellDictionary::~HunspellDictionary() = default;

std::string HunspellDictionary::problemWith(const std::string& affPath, const std::string& dicPath) {
    std::string reason;
    if (!readable(affPath, reason)) {
        return reason;
    }
    readable(dicPath, reason);
    return reason;
}

std::unique_ptr<HunspellDictionary> HunspellDictionary::open(const std::string& affPath, const std::string& dicPath,
                                                             std::string& reason) {
    // Hunspell itself only prints to standard error about a missing file.
    if (!readable(affPath, reason) || !readable(dicPath, reason)) {
        return nullptr;
    }
    auto hunspell = std::make_unique<Hunspell>(affPath.c_str(), dicPath.c_str());
    const std::string& name = hunspell->get_dict_encoding();
    Encoding encoding = Encoding::Other;
    if (name == "UTF-8" || name == "utf-8") {
        encoding = Encoding::Utf8;
    } else if (name == "ISO8859-1" || name == "ISO-8859-1" || name.empty()) {
        encoding = Encoding::Latin1;
    }
    return std::unique_ptr<HunspellDictionary>(new HunspellDictionary(std::move(hunspell), encoding));
}

bool HunspellDictionary::toDictionary(const std::string& word, std::string& converted) const {
    switch (m_encoding) {
    case Encoding::Utf8:
        converted = word;
        return true;
    case Encoding::Latin1:
        return utf8ToLatin1(word, converted);
    case Encoding::Other:
        converted = word;
        return isAscii(word);
    }
    return false;
}

std::string HunspellDictionary::fromDictionary(const std::string& word) const {
    return m_encoding == Encoding::Latin1 ? latin1ToUtf8(word) : word;
}

bool HunspellDictionary::knows(const std::string& word) {
    std::string converted;
    if (!toDictionary(word, converted)) {
        return true;
    }
    return m_hunspell->spell(converted);
}

std::vector<std::string> HunspellDictionary::suggestions(const std::string& word) {
    std::string converted;
    if (!toDictionary(word, converted)) {
        return {};
    }
    std::vector<std::string> found = m_hunspell->suggest(converted);
    for (std::string& suggestion : found) {
        suggestion = fromDictionary(suggestion);
    }
    if (m_encoding == Encoding::Other) {
        std::erase_if(found, [](const std::string& suggestion) { return !isAscii(suggestion); });
    }
    return found;
}

} // namespace corvane
