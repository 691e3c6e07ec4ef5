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

// A name as a list or the contents give it: without a trailing full stop,
// an idle mark ("Amy[2m]") or a database number ("Amy(#123)").
std::string_view bareName(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        name.remove_suffix(1);
    }
    const std::size_t mark = name.find_first_of("[(");
    if (mark != std::string_view::npos && mark > 0) {
        name = name.substr(0, mark);
    }
    while (!name.empty() && name.front() == ' ') {
        name.remove_prefix(1);
    }
    return name;
}

bool singleWord(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), isNameCharacter);
}

// How many lines a room's contents may run to before they are taken as over.
constexpr std::size_t kContentsLines = 100;

} // namespace

void NameCompleter::addListed(std::string_view list) {
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t comma = list.find(',', start);
        std::string_view entry = list.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                     : comma - start);
        while (!entry.empty() && entry.front() == ' ') {
            entry.remove_prefix(1);
        }
        if (startsWithNoCase(entry, "and ")) {
            entry.remove_prefix(4);
        }
        // "Tom and Bob" when there are only two.
        if (const std::size_t both = entry.find(" and "); both != std::string_view::npos) {
            const std::string_view first = bareName(entry.substr(0, both));
            if (singleWord(first)) {
                addName(first);
            }
            entry = entry.substr(both + 5);
        }
        const std::string_view name = bareName(entry);
        if (singleWord(name)) {
            addName(name);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
}

bool NameCompleter::addContentsEntry(std::string_view line) {
    if (line.empty() || startsWithNoCase(line, "obvious exits") || startsWithNoCase(line, "exits:")) {
        return false;
    }
    // Things ("a rusty key") have blanks in their names; players have none.
    const std::string_view name = bareName(line);
    if (singleWord(name)) {
        addName(name);
    }
    return true;
}

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
    if (m_contentsLeft > 0) {
        --m_contentsLeft;
        if (addContentsEntry(line)) {
            return;
        }
        m_contentsLeft = 0;
    }
    if (line == "Contents:") {
        m_contentsLeft = kContentsLines;
        return;
    }
    // The answers to who-is-here, the sleeping and idle named as well.
    static constexpr std::array<std::string_view, 5> lists = {
        "The players awake here are ", "The idlers here are ", "The sleepers here are ",
        "The puppets here are ", "The only puppet here is "};
    for (std::string_view start : lists) {
        if (line.rfind(start, 0) == 0) {
            addListed(std::string_view(line).substr(start.size()));
            return;
        }
    }
    for (std::string_view alone : {std::string_view(" is asleep here."), std::string_view(" is idle here.")}) {
        if (line.size() > alone.size() && line.compare(line.size() - alone.size(), alone.size(), alone) == 0) {
            const std::string_view name = bareName(std::string_view(line).substr(0, line.size() - alone.size()));
            if (singleWord(name)) {
                addName(name);
            }
            return;
        }
    }
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
