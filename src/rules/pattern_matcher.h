#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

enum class MatchMode { Plain, Words, Regex };

// A line offered to many patterns: its ASCII-folded copy is made once, on
// first use, and shared by every case-insensitive plain pattern; so is a
// sketch of the pairs of characters in it, which turns most plain patterns
// away without a search: a flood line is offered to every rule, and almost
// none matches.
class MatchSubject {
public:
    static constexpr std::size_t kSketchBits = 4096;
    using Sketch = std::array<std::uint64_t, kSketchBits / 64>;

    explicit MatchSubject(std::string_view text)
        : m_text(text) {}
    std::string_view text() const { return m_text; }
    std::string_view folded() const;
    // False only when the folded line cannot hold every pair of `pairs`.
    bool mayHold(const std::vector<std::uint16_t>& pairs) const;
    // The sketch slots of a folded text's pairs of characters, each once.
    static std::vector<std::uint16_t> PairsOf(std::string_view folded);

private:
    std::string_view m_text;
    mutable std::string m_folded;
    mutable bool m_hasFolded = false;
    // Cleared on first use: most lines meet no rule that asks for it.
    mutable Sketch m_sketch;
    mutable bool m_hasSketch = false;
};

// Where a pattern matched: byte ranges into the subject, group 0 the whole
// match; a group that took no part is {npos, 0}.
struct PatternMatch {
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::vector<std::pair<std::size_t, std::size_t>> groups;

    std::string_view group(std::string_view subject, std::size_t index) const;
};

// One pattern the player wrote: plain text, whole words or a regular
// expression, with or without case. Regular expressions run on PCRE2 with
// JIT and a match limit, so a pattern that backtracks without end gives up
// instead of hanging the client; a pattern that does not compile keeps the
// library's message and matches nothing.
class PatternMatcher {
public:
    // Steps and nesting a single match may take before it counts as no match.
    static constexpr std::uint32_t kMatchLimit = 200000;
    static constexpr std::uint32_t kDepthLimit = 5000;

    PatternMatcher();
    PatternMatcher(std::string_view pattern, MatchMode mode, bool caseSensitive);
    ~PatternMatcher();
    PatternMatcher(PatternMatcher&&) noexcept;
    PatternMatcher& operator=(PatternMatcher&&) noexcept;
    PatternMatcher(const PatternMatcher&) = delete;
    PatternMatcher& operator=(const PatternMatcher&) = delete;

    bool valid() const { return m_error.empty(); }
    // The library's message and where in the pattern it stopped.
    const std::string& error() const { return m_error; }

    bool matches(const MatchSubject& subject) const { return match(subject, nullptr); }
    // Fills `found` (when given) with the groups of the first match.
    bool match(const MatchSubject& subject, PatternMatch* found) const;
    // The number of a named group, or -1.
    int groupNumber(std::string_view name) const;
    // The named groups of a regular expression and their numbers.
    std::vector<std::pair<std::string, int>> groupNames() const;
    // True when the last match gave up at the match limit.
    bool hitLimit() const { return m_hitLimit; }

private:
    struct Compiled;
    bool literalMatch(const MatchSubject& subject, PatternMatch* found) const;
    void compileRegex(const std::string& pattern, std::uint32_t options);

    MatchMode m_mode = MatchMode::Plain;
    bool m_caseSensitive = false;
    // Plain and whole-word patterns in ASCII are searched for directly.
    bool m_literal = false;
    std::string m_needle;
    // The needle's pairs of characters, folded: a line without one of them cannot hold it.
    std::vector<std::uint16_t> m_pairs;
    // A byte every match of the regular expression holds (an ASCII digit,
    // blank or sign, which no case folding changes), or -1.
    int m_requiredByte = -1;
    std::unique_ptr<Compiled> m_compiled;
    std::string m_error;
    mutable bool m_hitLimit = false;
};

} // namespace corvane
