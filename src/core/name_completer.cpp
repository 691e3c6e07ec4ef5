#include "core/name_completer.h"

#include "core/text_codec.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace corvane {

namespace {

bool isNameCharacter(char c) {
    return c != ' ' && c != '\t' && c != ',' && c != '"' && c != '=' && c != ':';
}

bool startsWithNoCase(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() && EqualsNoCase(name.substr(0, prefix.size()), prefix);
}

} // namespace

void NameCompleter::addName(std::string_view name) {
    // Someone paging over and over is already first.
    if (name.empty() || name.size() > 64 || (!m_names.empty() && m_names.front() == name)) {
        return;
    }
    const auto seen = std::find(m_names.begin(), m_names.end(), name);
    if (seen != m_names.end()) {
        m_names.erase(seen);
    }
    m_names.emplace_front(name);
    if (m_names.size() > kMaxNames) {
        m_names.pop_back();
    }
}

void NameCompleter::learnFromLine(const std::string& line) {
    // "Wren pages: hi", "Wren pages, "hi" to you.", "Wren whispers, "hi"": the
    // sender is the first word.
    static constexpr std::array<std::string_view, 3> verbs = {" pages: ", " pages, ", " whispers, "};
    const std::size_t space = line.find(' ');
    if (space == std::string::npos || space == 0) {
        return;
    }
    const std::string_view rest(line.data() + space, line.size() - space);
    for (std::string_view verb : verbs) {
        if (rest.substr(0, verb.size()) == verb) {
            addName(std::string_view(line).substr(0, space));
            return;
        }
    }
}

bool NameCompleter::knows(std::string_view name) const {
    return std::any_of(m_names.begin(), m_names.end(),
                       [name](const std::string& seen) { return EqualsNoCase(seen, name); });
}

std::optional<NameCompleter::Completion> NameCompleter::complete(const std::string& text, std::size_t caret) {
    caret = std::min(caret, text.size());
    const bool cycling = m_last && m_last->text == text && m_last->caret == caret;
    if (!cycling) {
        std::size_t start = caret;
        while (start > 0 && isNameCharacter(text[start - 1])) {
            --start;
        }
        if (start == caret) {
            return std::nullopt;
        }
        m_typed = text;
        m_wordStart = start;
        m_wordEnd = caret;
        m_offered = 0;
    }
    const std::string_view prefix(m_typed.data() + m_wordStart, m_wordEnd - m_wordStart);
    std::vector<const std::string*> fitting;
    for (const std::string& name : m_names) {
        if (startsWithNoCase(name, prefix)) {
            fitting.push_back(&name);
        }
    }
    if (fitting.empty()) {
        m_last.reset();
        return std::nullopt;
    }
    const std::string& name = *fitting[m_offered % fitting.size()];
    ++m_offered;
    Completion completion;
    completion.text = m_typed.substr(0, m_wordStart) + name + m_typed.substr(m_wordEnd);
    completion.caret = m_wordStart + name.size();
    m_last = completion;
    return completion;
}

} // namespace corvane
