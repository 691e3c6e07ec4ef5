#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Tab completion of names in the input line: the names Corvane has seen
// (player lists, room listings, WHO, those who paged or whispered), the most
// recent first. Repeated Tabs cycle through the names that fit.
class NameCompleter {
public:
    static constexpr std::size_t kMaxNames = 512;

    void addName(std::string_view name);
    // Remembers who pages or whispers in a shown line, who a who-is-here
    // answer names (awake, idle, asleep, puppets), and who is listed under a
    // room's "Contents:".
    void learnFromLine(const std::string& line);
    // Whether a name has been seen, in any case; the spell checker never marks one.
    bool knows(std::string_view name) const;

    struct Completion {
        std::string text;
        // Byte offset of the caret after the completed name.
        std::size_t caret = 0;
    };
    // Completes the word before the caret (byte offset). Called again on the
    // line it produced, it offers the next name that fits.
    std::optional<Completion> complete(const std::string& text, std::size_t caret);

private:
    // Names a list ("Tom, Amy[2m], and Bob.") and adds each.
    void addListed(std::string_view list);
    // One entry of a room's contents; false when the contents have ended.
    bool addContentsEntry(std::string_view line);

    std::deque<std::string> m_names;
    // Lines still to be read as a room's contents (none: 0).
    std::size_t m_contentsLeft = 0;
    // The cycle under way: the line as typed, where its word starts and
    // ends, and the completion last offered.
    std::string m_typed;
    std::size_t m_wordStart = 0;
    std::size_t m_wordEnd = 0;
    std::size_t m_offered = 0;
    std::optional<Completion> m_last;
};

} // namespace corvane
