#include "core/session_history.h"

#include <algorithm>

namespace corvane {

namespace {

// A chunk takes lines until it holds this many or this much text; then it is
// trimmed to size and a new one starts. Small enough that the oldest chunk,
// partly dropped, holds little; large enough that there are few of them.
constexpr std::size_t kChunkLines = 2048;
constexpr std::size_t kChunkBytes = 256 * 1024;

enum : std::uint8_t {
    kHasForeground = 1,
    kHasBackground = 2,
    kBold = 4,
    kItalic = 8,
    kUnderline = 16,
    kReverse = 32,
};

// Searches the (already folded) text of one line.
class LineSearch {
public:
    LineSearch(std::string_view query, bool matchCase)
        : m_matchCase(matchCase)
        , m_query(matchCase ? std::string(query) : SessionHistory::fold(query)) {}

    std::string_view prepare(std::string_view text) {
        if (m_matchCase) {
            return text;
        }
        m_folded = SessionHistory::fold(text);
        return m_folded;
    }
    const std::string& query() const { return m_query; }

private:
    bool m_matchCase;
    std::string m_query;
    std::string m_folded;
};

} // namespace

HistorySpan HistorySpan::from(std::uint32_t start, std::uint32_t length, const TextStyle& style,
                              std::uint16_t look) {
    HistorySpan span;
    span.start = start;
    span.length = length;
    span.look = look;
    if (style.foreground) {
        span.flags |= kHasForeground;
        span.foreground = *style.foreground;
    }
    if (style.background) {
        span.flags |= kHasBackground;
        span.background = *style.background;
    }
    span.flags |= (style.bold ? kBold : 0) | (style.italic ? kItalic : 0) |
                  (style.underline ? kUnderline : 0) | (style.reverse ? kReverse : 0);
    return span;
}

TextStyle HistorySpan::style() const {
    TextStyle style;
    if ((flags & kHasForeground) != 0) {
        style.foreground = foreground;
    }
    if ((flags & kHasBackground) != 0) {
        style.background = background;
    }
    style.bold = (flags & kBold) != 0;
    style.italic = (flags & kItalic) != 0;
    style.underline = (flags & kUnderline) != 0;
    style.reverse = (flags & kReverse) != 0;
    return style;
}

OutputSpan HistorySpan::outputSpan() const {
    return OutputSpan{start, length, style(), look == kNoLook ? -1 : static_cast<int>(look)};
}

SessionHistory::SessionHistory(std::size_t maxLines, std::size_t maxBytes)
    : m_maxLines(std::max<std::size_t>(maxLines, 1))
    , m_maxBytes(maxBytes) {}

std::uint16_t SessionHistory::lookIndex(const TriggerLook& look) {
    const auto found = std::find(m_looks.begin(), m_looks.end(), look);
    if (found != m_looks.end()) {
        return static_cast<std::uint16_t>(found - m_looks.begin());
    }
    // Looks come from five triggers per world; a table this full means
    // something is wrong, and the line keeps the server's colours instead.
    if (m_looks.size() >= HistorySpan::kNoLook) {
        return HistorySpan::kNoLook;
    }
    m_looks.push_back(look);
    return static_cast<std::uint16_t>(m_looks.size() - 1);
}

void SessionHistory::append(std::string_view text, std::span<const StyleSpan> spans, const TriggerLook* look,
                            bool complete) {
    const auto base = static_cast<std::uint32_t>(m_open.size());
    m_open.append(text);
    if (look != nullptr) {
        if (!text.empty()) {
            m_openSpans.push_back(HistorySpan::from(base, static_cast<std::uint32_t>(text.size()),
                                                    TextStyle{}, lookIndex(*look)));
        }
    } else {
        for (const StyleSpan& span : spans) {
            m_openSpans.push_back(
                HistorySpan::from(base + span.start, span.length, span.style, HistorySpan::kNoLook));
        }
    }
    if (complete) {
        commit();
    }
}

void SessionHistory::appendHidden(std::string_view text, std::span<const StyleSpan> spans) {
    // A piece still open belongs to a line shown before; it ends here.
    if (!m_open.empty() || !m_openSpans.empty()) {
        commit();
    }
    append(text, spans, nullptr, true);
    while (!m_hidden.empty() && m_hidden.front() < m_firstSerial) {
        m_hidden.pop_front();
    }
    if (m_count > 0) {
        m_hidden.push_back(endLine() - 1);
    }
}

bool SessionHistory::hidden(std::uint64_t serial) const {
    return std::binary_search(m_hidden.begin(), m_hidden.end(), serial);
}

void SessionHistory::commit() {
    if (m_chunks.empty() || m_chunks.back().lines.size() >= kChunkLines ||
        m_chunks.back().text.size() >= kChunkBytes) {
        if (!m_chunks.empty()) {
            Chunk& full = m_chunks.back();
            full.text.shrink_to_fit();
            full.spans.shrink_to_fit();
            full.lines.shrink_to_fit();
        }
        Chunk fresh;
        fresh.firstSerial = endLine();
        m_chunks.push_back(std::move(fresh));
    }
    Chunk& chunk = m_chunks.back();
    chunk.text += m_open;
    chunk.spans.insert(chunk.spans.end(), m_openSpans.begin(), m_openSpans.end());
    chunk.lines.push_back(
        Entry{static_cast<std::uint32_t>(chunk.text.size()), static_cast<std::uint32_t>(chunk.spans.size())});
    ++m_count;
    m_bytes += m_open.size() + m_openSpans.size() * sizeof(HistorySpan) + sizeof(Entry);
    m_open.clear();
    m_openSpans.clear();
    while (m_count > 0 && (m_count > m_maxLines || m_bytes > m_maxBytes)) {
        dropOldest();
    }
}

std::size_t SessionHistory::lineBytes(const Chunk& chunk, std::size_t index) const {
    const Entry before = index == 0 ? Entry{} : chunk.lines[index - 1];
    const Entry& entry = chunk.lines[index];
    return (entry.textEnd - before.textEnd) + (entry.spansEnd - before.spansEnd) * sizeof(HistorySpan) +
           sizeof(Entry);
}

void SessionHistory::dropOldest() {
    Chunk& front = m_chunks.front();
    m_bytes -= lineBytes(front, m_frontDropped);
    ++m_frontDropped;
    ++m_firstSerial;
    --m_count;
    if (m_frontDropped == front.lines.size()) {
        m_chunks.pop_front();
        m_frontDropped = 0;
    }
}

const SessionHistory::Chunk& SessionHistory::chunkOf(std::uint64_t serial) const {
    const auto after =
        std::upper_bound(m_chunks.begin(), m_chunks.end(), serial,
                         [](std::uint64_t s, const Chunk& chunk) { return s < chunk.firstSerial; });
    return *(after - 1);
}

HistoryLine SessionHistory::line(std::uint64_t serial) const {
    const Chunk& chunk = chunkOf(serial);
    const auto index = static_cast<std::size_t>(serial - chunk.firstSerial);
    const Entry before = index == 0 ? Entry{} : chunk.lines[index - 1];
    const Entry& entry = chunk.lines[index];
    return HistoryLine{
        std::string_view(chunk.text).substr(before.textEnd, entry.textEnd - before.textEnd),
        std::span<const HistorySpan>(chunk.spans.data() + before.spansEnd, entry.spansEnd - before.spansEnd)};
}

std::string SessionHistory::fold(std::string_view text) {
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            // U+00C0 to U+00DE (not U+00D7, the multiplication sign): the
            // Latin-1 capitals, whose small letters are 0x20 further on.
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                folded[i + 1] = static_cast<char>(next + 0x20);
            }
            ++i;
        }
    }
    return folded;
}

std::optional<HistoryMatch> SessionHistory::find(std::string_view query, std::uint64_t from,
                                                 std::size_t offset, Direction direction,
                                                 bool matchCase) const {
    if (query.empty() || m_count == 0) {
        return std::nullopt;
    }
    if (from < m_firstSerial) {
        from = m_firstSerial;
        offset = 0;
    } else if (from >= endLine()) {
        from = endLine() - 1;
        offset = std::string::npos;
    }
    LineSearch search(query, matchCase);
    const std::string& needle = search.query();
    const std::uint64_t start = from - m_firstSerial;
    // Step k visits the line k away from `from`; step m_count is `from` again,
    // for the part of it on the far side of `offset`.
    for (std::size_t k = 0; k <= m_count; ++k) {
        const std::uint64_t relative = direction == Direction::Forward
                                           ? (start + k) % m_count
                                           : (start + m_count - k % m_count) % m_count;
        const std::uint64_t serial = m_firstSerial + relative;
        const std::string_view text = search.prepare(line(serial).text);
        std::size_t pos = std::string::npos;
        if (direction == Direction::Forward) {
            pos = text.find(needle, k == 0 ? std::min(offset, text.size() + 1) : 0);
            if (k == m_count && pos >= offset) {
                pos = std::string::npos;
            }
        } else if (k == 0) {
            pos = offset == 0 ? std::string::npos : text.rfind(needle, offset - 1);
        } else {
            pos = text.rfind(needle);
            if (k == m_count && pos != std::string::npos && pos < offset) {
                pos = std::string::npos;
            }
        }
        if (pos != std::string::npos) {
            return HistoryMatch{serial, pos, needle.size()};
        }
    }
    return std::nullopt;
}

std::size_t SessionHistory::countMatches(std::string_view query, bool matchCase,
                                         std::optional<HistoryMatch> before) const {
    if (query.empty()) {
        return 0;
    }
    LineSearch search(query, matchCase);
    std::size_t count = 0;
    const std::uint64_t end = before ? std::min(before->line + 1, endLine()) : endLine();
    for (std::uint64_t serial = m_firstSerial; serial < end; ++serial) {
        const std::string_view text = search.prepare(line(serial).text);
        const bool lastLine = before && serial == before->line;
        for (std::size_t pos = text.find(search.query());
             pos != std::string::npos && !(lastLine && pos >= before->offset);
             pos = text.find(search.query(), pos + search.query().size())) {
            ++count;
        }
    }
    return count;
}

std::vector<std::size_t> SessionHistory::matchesInLine(std::uint64_t serial, std::string_view query,
                                                       bool matchCase) const {
    std::vector<std::size_t> found;
    if (query.empty() || serial < m_firstSerial || serial >= endLine()) {
        return found;
    }
    LineSearch search(query, matchCase);
    const std::string_view text = search.prepare(line(serial).text);
    for (std::size_t pos = text.find(search.query()); pos != std::string::npos;
         pos = text.find(search.query(), pos + search.query().size())) {
        found.push_back(pos);
    }
    return found;
}

std::string SessionHistory::text(std::uint64_t fromLine, std::size_t fromOffset, std::uint64_t toLine,
                                 std::size_t toOffset) const {
    std::string out;
    if (m_count == 0) {
        return out;
    }
    if (fromLine < m_firstSerial) {
        fromLine = m_firstSerial;
        fromOffset = 0;
    }
    if (toLine >= endLine()) {
        toLine = endLine() - 1;
        toOffset = std::string::npos;
    }
    for (std::uint64_t serial = fromLine; serial <= toLine; ++serial) {
        const std::string_view text = line(serial).text;
        const std::size_t begin = serial == fromLine ? std::min(fromOffset, text.size()) : 0;
        const std::size_t end = serial == toLine ? std::min(toOffset, text.size()) : text.size();
        if (serial != fromLine) {
            out += "\r\n";
        }
        if (end > begin) {
            out.append(text.substr(begin, end - begin));
        }
    }
    return out;
}

} // namespace corvane
