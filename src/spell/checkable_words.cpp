#include "spell/checkable_words.h"

namespace corvane {

namespace {

// Longer runs are not words anyone types; Hunspell refuses them anyway.
constexpr std::size_t kLongestWord = 64;

bool isAsciiLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Length of the UTF-8 punctuation at `at` that ends a word (quotes, dashes,
// the ellipsis, the no-break space), or 0 when the bytes there are a letter.
// The right single quote is an apostrophe inside a word, so it is not here.
std::size_t punctuationAt(std::string_view line, std::size_t at) {
    const std::string_view rest = line.substr(at);
    for (std::string_view mark : {"\u2018", "\u201C", "\u201D", "\u2013", "\u2014", "\u2026", "\u00A0",
                                  "\u00AB", "\u00BB", "\u00BF", "\u00A1"}) {
        if (rest.substr(0, mark.size()) == mark) {
            return mark.size();
        }
    }
    return 0;
}

bool apostropheAt(std::string_view line, std::size_t at, std::size_t& size) {
    if (line[at] == '\'') {
        size = 1;
        return true;
    }
    if (line.substr(at, 3) == "\u2019") {
        size = 3;
        return true;
    }
    return false;
}

// A byte of a word: letters, digits (to drop the word), the bytes of
// non-ASCII letters, and the underscore (to drop identifiers).
bool isWordByte(unsigned char c) {
    return isAsciiLetter(c) || isDigit(c) || c >= 0x80 || c == '_';
}

bool startsLikeCommand(unsigned char c) {
    return c == '@' || c == '+' || c == '/' || c == '#' || c == '$' || c == '~' || c == '\\' || c == '&';
}

// http://..., www.example.com, me@example.com, notes.txt: a dot or an @
// between two word characters, or a scheme.
bool looksLikeAddressOrFile(std::string_view token) {
    if (token.find("://") != std::string_view::npos) {
        return true;
    }
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        if ((token[i] == '.' || token[i] == '@') && isWordByte(static_cast<unsigned char>(token[i - 1])) &&
            isWordByte(static_cast<unsigned char>(token[i + 1]))) {
            return true;
        }
    }
    return false;
}

bool worthChecking(std::string_view word) {
    std::size_t letters = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (isDigit(c) || c == '_') {
            return false;
        }
        if (i > 0 && c >= 'A' && c <= 'Z') {
            return false;
        }
        // Count characters, not the continuation bytes of one.
        if ((c & 0xC0) != 0x80 && c != '\'') {
            ++letters;
        }
    }
    return letters >= 2 && word.size() <= kLongestWord;
}

void addWordsOfToken(std::string_view line, std::size_t begin, std::size_t end, std::vector<WordSpan>& words) {
    std::size_t at = begin;
    while (at < end) {
        // Skip to the start of a word, over whole characters.
        std::size_t skip = punctuationAt(line, at);
        if (skip != 0 || apostropheAt(line, at, skip) || !isWordByte(static_cast<unsigned char>(line[at]))) {
            at += skip == 0 ? 1 : skip;
            continue;
        }
        const std::size_t start = at;
        std::size_t last = at;
        while (at < end) {
            std::size_t size = 0;
            if (punctuationAt(line, at) != 0) {
                break;
            }
            if (apostropheAt(line, at, size)) {
                // Inside a word (don't, o’clock) only: one at its end is a quote.
                if (at + size < end && isWordByte(static_cast<unsigned char>(line[at + size])) &&
                    punctuationAt(line, at + size) == 0) {
                    at += size;
                    continue;
                }
                break;
            }
            if (!isWordByte(static_cast<unsigned char>(line[at]))) {
                break;
            }
            ++at;
            last = at;
        }
        const std::string_view word = line.substr(start, last - start);
        if (worthChecking(word)) {
            words.push_back({start, word.size()});
        }
    }
}

} // namespace

std::vector<WordSpan> CheckableWords(std::string_view line) {
    std::vector<WordSpan> words;
    std::size_t at = 0;
    while (at < line.size()) {
        if (isSpace(static_cast<unsigned char>(line[at]))) {
            ++at;
            continue;
        }
        const std::size_t begin = at;
        while (at < line.size() && !isSpace(static_cast<unsigned char>(line[at]))) {
            ++at;
        }
        const std::string_view token = line.substr(begin, at - begin);
        if (startsLikeCommand(static_cast<unsigned char>(token.front())) || looksLikeAddressOrFile(token)) {
            continue;
        }
        addWordsOfToken(line, begin, at, words);
    }
    return words;
}

} // namespace corvane
