#include "rules/pattern_matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <pcre2.h>

namespace corvane {

namespace {

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Letters, digits, the underscore and every byte of a non-ASCII character.
bool isWordByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 || (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
           b == '_';
}

std::string quoteForRegex(std::string_view text) {
    std::string quoted;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80 && !isWordByte(c) && c != ' ') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    return quoted;
}

// One stack for every JIT match on this thread: the default 32 KiB is too
// small for some patterns on a 16,000-character line.
pcre2_jit_stack* jitStack() {
    struct Holder {
        pcre2_jit_stack* stack = pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr);
        ~Holder() { pcre2_jit_stack_free(stack); }
    };
    thread_local Holder holder;
    return holder.stack;
}

} // namespace

std::string_view MatchSubject::folded() const {
    if (!m_hasFolded) {
        m_folded.resize(m_text.size());
        for (std::size_t i = 0; i < m_text.size(); ++i) {
            m_folded[i] = foldAscii(m_text[i]);
        }
        m_hasFolded = true;
    }
    return m_folded;
}

std::string_view PatternMatch::group(std::string_view subject, std::size_t index) const {
    if (index >= groups.size() || groups[index].first == npos) {
        return {};
    }
    return subject.substr(groups[index].first, groups[index].second);
}

struct PatternMatcher::Compiled {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    // Made at the first line that reaches the library: most rules of a
    // large set never get that far, and making it for all of them at once
    // kept the window still for a large import.
    bool jitTried = false;
    ~Compiled() {
        pcre2_match_context_free(context);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

PatternMatcher::PatternMatcher() = default;
PatternMatcher::~PatternMatcher() = default;
PatternMatcher::PatternMatcher(PatternMatcher&&) noexcept = default;
PatternMatcher& PatternMatcher::operator=(PatternMatcher&&) noexcept = default;

PatternMatcher::PatternMatcher(std::string_view pattern, MatchMode mode, bool caseSensitive)
    : m_mode(mode)
    , m_caseSensitive(caseSensitive) {
    if (pattern.empty()) {
        m_error = "The pattern is empty";
        return;
    }
    const std::uint32_t caseOption = caseSensitive ? 0 : PCRE2_CASELESS;
    if (mode == MatchMode::Regex) {
        compileRegex(std::string(pattern), caseOption);
        return;
    }
    if (caseSensitive || isAscii(pattern)) {
        m_literal = true;
        m_needle.assign(pattern);
        if (!caseSensitive) {
            for (char& c : m_needle) {
                c = foldAscii(c);
            }
        }
        std::string folded(pattern);
        for (char& c : folded) {
            c = foldAscii(c);
        }
        m_pairs = MatchSubject::PairsOf(folded);
        return;
    }
    // Without case, letters beyond ASCII need the library's case folding.
    std::string regex = quoteForRegex(pattern);
    if (mode == MatchMode::Words) {
        regex = "(?<![\\w\\x{80}-\\x{10FFFF}])" + regex + "(?![\\w\\x{80}-\\x{10FFFF}])";
    }
    compileRegex(regex, caseOption);
}

void PatternMatcher::compileRegex(const std::string& pattern, std::uint32_t options) {
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    auto compiled = std::make_unique<Compiled>();
    compiled->code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                      options | PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &errorCode, &errorOffset, nullptr);
    if (compiled->code == nullptr) {
        std::array<PCRE2_UCHAR, 256> message{};
        pcre2_get_error_message(errorCode, message.data(), message.size());
        m_error = std::string(reinterpret_cast<const char*>(message.data())) + " (at character " +
                  std::to_string(errorOffset + 1) + ")";
        return;
    }
    // A line without the byte every match needs is turned away before the
    // library is called: most flood lines meet most rules that way.
    for (const auto& [typeInfo, unitInfo] : {std::pair{PCRE2_INFO_LASTCODETYPE, PCRE2_INFO_LASTCODEUNIT},
                                             std::pair{PCRE2_INFO_FIRSTCODETYPE, PCRE2_INFO_FIRSTCODEUNIT}}) {
        std::uint32_t type = 0;
        std::uint32_t unit = 0;
        if (pcre2_pattern_info(compiled->code, typeInfo, &type) == 0 && type == 1 &&
            pcre2_pattern_info(compiled->code, unitInfo, &unit) == 0 && unit < 0x80 &&
            std::isalpha(static_cast<int>(unit)) == 0) {
            m_requiredByte = static_cast<int>(unit);
            break;
        }
    }
    compiled->data = pcre2_match_data_create_from_pattern(compiled->code, nullptr);
    compiled->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(compiled->context, kMatchLimit);
    pcre2_set_depth_limit(compiled->context, kDepthLimit);
    pcre2_set_heap_limit(compiled->context, 20 * 1024); // KiB
    pcre2_jit_stack_assign(compiled->context, nullptr, jitStack());
    m_compiled = std::move(compiled);
}

bool PatternMatcher::match(const MatchSubject& subject, PatternMatch* found) const {
    m_hitLimit = false;
    if (!valid()) {
        return false;
    }
    if (m_literal) {
        return literalMatch(subject, found);
    }
    const std::string_view text = subject.text();
    if (m_requiredByte >= 0 && std::memchr(text.data(), m_requiredByte, text.size()) == nullptr) {
        return false;
    }
    if (!m_compiled->jitTried) {
        m_compiled->jitTried = true;
        // Without JIT (an odd platform) the interpreter still honours the limits.
        pcre2_jit_compile(m_compiled->code, PCRE2_JIT_COMPLETE);
    }
    const int rc = pcre2_match(m_compiled->code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0,
                               m_compiled->data, m_compiled->context);
    if (rc < 0) {
        m_hitLimit = rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
                     rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT;
        return false;
    }
    if (found != nullptr) {
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(m_compiled->data);
        std::uint32_t count = 0;
        pcre2_pattern_info(m_compiled->code, PCRE2_INFO_CAPTURECOUNT, &count);
        found->groups.clear();
        for (std::uint32_t i = 0; i <= count; ++i) {
            if (i < static_cast<std::uint32_t>(rc) && vector[2 * i] != PCRE2_UNSET) {
                found->groups.emplace_back(vector[2 * i], vector[2 * i + 1] - vector[2 * i]);
            } else {
                found->groups.emplace_back(PatternMatch::npos, 0);
            }
        }
    }
    return true;
}

namespace {

std::uint16_t pairSlot(char first, char second) {
    const auto a = static_cast<unsigned char>(first);
    const auto b = static_cast<unsigned char>(second);
    return static_cast<std::uint16_t>((a * 67u + b) % MatchSubject::kSketchBits);
}

// How often a character stands in English text, roughly: the blank and the
// commonest letters first. A pair of rare characters is looked up first, as
// it is the likeliest to be missing from a line.
int commonness(char c) {
    static constexpr std::string_view kByFrequency = " etaoinshrdlcumwfgypbvkjxqz";
    const std::size_t at = kByFrequency.find(c);
    return at == std::string_view::npos ? 0 : static_cast<int>(kByFrequency.size() - at);
}

} // namespace

std::vector<std::uint16_t> MatchSubject::PairsOf(std::string_view folded) {
    std::vector<std::pair<int, std::uint16_t>> ranked;
    for (std::size_t i = 1; i < folded.size(); ++i) {
        const std::uint16_t slot = pairSlot(folded[i - 1], folded[i]);
        if (std::none_of(ranked.begin(), ranked.end(),
                         [&](const auto& pair) { return pair.second == slot; })) {
            ranked.emplace_back(commonness(folded[i - 1]) + commonness(folded[i]), slot);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::uint16_t> pairs;
    for (const auto& pair : ranked) {
        pairs.push_back(pair.second);
    }
    return pairs;
}

bool MatchSubject::mayHold(const std::vector<std::uint16_t>& pairs) const {
    if (!m_hasSketch) {
        m_sketch.fill(0);
        // Folded on the way: most lines are turned away here and never need
        // a folded copy.
        char previous = m_text.empty() ? '\0' : foldAscii(m_text[0]);
        for (std::size_t i = 1; i < m_text.size(); ++i) {
            const char c = foldAscii(m_text[i]);
            const std::uint16_t slot = pairSlot(previous, c);
            m_sketch[slot / 64] |= std::uint64_t{1} << (slot % 64);
            previous = c;
        }
        m_hasSketch = true;
    }
    for (const std::uint16_t slot : pairs) {
        if ((m_sketch[slot / 64] & (std::uint64_t{1} << (slot % 64))) == 0) {
            return false;
        }
    }
    return true;
}

bool PatternMatcher::literalMatch(const MatchSubject& subject, PatternMatch* found) const {
    if (!subject.mayHold(m_pairs)) {
        return false;
    }
    const std::string_view text = m_caseSensitive ? subject.text() : subject.folded();
    std::size_t at = text.find(m_needle);
    if (m_mode == MatchMode::Words) {
        while (at != std::string_view::npos) {
            const std::size_t end = at + m_needle.size();
            const bool before = at == 0 || !isWordByte(text[at - 1]) || !isWordByte(m_needle.front());
            const bool after = end == text.size() || !isWordByte(text[end]) || !isWordByte(m_needle.back());
            if (before && after) {
                break;
            }
            at = text.find(m_needle, at + 1);
        }
    }
    if (at == std::string_view::npos) {
        return false;
    }
    if (found != nullptr) {
        found->groups.assign(1, {at, m_needle.size()});
    }
    return true;
}

int PatternMatcher::groupNumber(std::string_view name) const {
    if (!m_compiled || name.empty()) {
        return -1;
    }
    const std::string key(name);
    const int number =
        pcre2_substring_number_from_name(m_compiled->code, reinterpret_cast<PCRE2_SPTR>(key.c_str()));
    return number > 0 ? number : -1;
}

std::vector<std::pair<std::string, int>> PatternMatcher::groupNames() const {
    std::vector<std::pair<std::string, int>> names;
    if (!m_compiled) {
        return names;
    }
    std::uint32_t count = 0;
    std::uint32_t entrySize = 0;
    PCRE2_SPTR table = nullptr;
    pcre2_pattern_info(m_compiled->code, PCRE2_INFO_NAMECOUNT, &count);
    pcre2_pattern_info(m_compiled->code, PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
    pcre2_pattern_info(m_compiled->code, PCRE2_INFO_NAMETABLE, &table);
    for (std::uint32_t i = 0; i < count && table != nullptr; ++i) {
        const PCRE2_SPTR entry = table + static_cast<std::size_t>(i) * entrySize;
        names.emplace_back(reinterpret_cast<const char*>(entry + 2), (entry[0] << 8) | entry[1]);
    }
    return names;
}

} // namespace corvane
