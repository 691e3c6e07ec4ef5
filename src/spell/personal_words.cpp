#include "spell/personal_words.h"

#include "core/text_codec.h"
#include "settings/atomic_file.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace corvane {

namespace fs = std::filesystem;

namespace {

// A word is one line of the file: no line ends, no surrounding blanks.
std::string cleaned(std::string_view word) {
    std::string out;
    for (char c : word) {
        if (c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) {
        out.pop_back();
    }
    const std::size_t first = out.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : out.substr(first);
}

} // namespace

std::string PersonalWords::pathBeside(const std::string& settingsPath) {
    return (fs::path(settingsPath).parent_path() / kFileName).string();
}

PersonalWords::PersonalWords(std::string path)
    : m_path(std::move(path)) {}

std::string PersonalWords::load() {
    m_words.clear();
    m_folded.clear();
    m_unreadable.clear();
    std::error_code error;
    if (!fs::exists(m_path, error)) {
        return {};
    }
    std::ifstream file(m_path, std::ios::binary);
    if (!file) {
        m_unreadable = m_path + ": " + std::generic_category().message(errno != 0 ? errno : EACCES);
        return m_unreadable;
    }
    std::string line;
    while (std::getline(file, line)) {
        const std::string word = cleaned(line);
        if (!word.empty() && m_folded.insert(ToLowerAscii(word)).second) {
            m_words.push_back(word);
        }
    }
    return {};
}

bool PersonalWords::contains(std::string_view word) const {
    return m_folded.count(ToLowerAscii(word)) != 0;
}

bool PersonalWords::add(std::string_view word, std::string& reason) {
    const std::string clean = cleaned(word);
    if (clean.empty() || contains(clean)) {
        return true;
    }
    if (!m_unreadable.empty()) {
        reason = "The word list could not be read, so it is not written over (" + m_unreadable + ").";
        return false;
    }
    std::string text;
    for (const std::string& known : m_words) {
        text += known + "\n";
    }
    text += clean + "\n";
    if (!WriteFileAtomically(m_path, text, reason)) {
        return false;
    }
    m_words.push_back(clean);
    m_folded.insert(ToLowerAscii(clean));
    return true;
}

} // namespace corvane
