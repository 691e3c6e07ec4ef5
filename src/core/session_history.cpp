#include "core/session_history.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <zstd.h>

namespace corvane {

namespace {

// A chunk takes lines until it holds this many or this much text; then it is
// trimmed to size and a new one starts. Small enough that the oldest chunk,
// partly dropped, holds little; large enough that there are few of them.
constexpr std::size_t kChunkLines = 2048;
constexpr std::size_t kChunkBytes = 256 * 1024;
// zstd's fast end: a chunk packs in about a millisecond, to a quarter or less.
constexpr int kPackLevel = 1;
// Chunks kept open after reading: enough for a screen that straddles two
// and a find that walks on while the window repaints.
constexpr std::size_t kOpenedChunks = 4;

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
    span.link = style.link;
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
    style.link = link;
    return style;
}

OutputSpan HistorySpan::outputSpan() const {
    return OutputSpan{start, length, style(), look == kNoLook ? -1 : static_cast<int>(look)};
}

// Packs finished chunks on a thread of its own, so a flood pays for none of
// it; opens packed chunks on the caller's thread.
struct SessionHistory::Codec {
    struct Done {
        std::uint64_t firstSerial = 0;
        std::string packed;
        bool ok = false;
    };

    Codec()
        : packer(ZSTD_createCCtx())
        , unpack(ZSTD_createDCtx()) {}
    ~Codec() {
        {
            const std::lock_guard lock(mutex);
            stop = true;
        }
        wake.notify_all();
        if (worker.joinable()) {
            worker.join();
        }
        ZSTD_freeCCtx(packer);
        ZSTD_freeDCtx(unpack);
    }
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;

    // The text and spans go into one frame, through buffers kept for the next
    // chunk; the result is allocated once, at its size.
    Done pack(std::uint64_t firstSerial, const Plain& plain) {
        const std::size_t spanBytes = plain.spans.size() * sizeof(HistorySpan);
        whole.assign(plain.text);
        whole.append(reinterpret_cast<const char*>(plain.spans.data()), spanBytes);
        scratch.resize(ZSTD_compressBound(whole.size()));
        const std::size_t size =
            ZSTD_compressCCtx(packer, scratch.data(), scratch.size(), whole.data(), whole.size(), kPackLevel);
        Done result{firstSerial, {}, false};
        if (ZSTD_isError(size) == 0) {
            result.packed.assign(scratch.data(), size);
            result.ok = true;
        }
        return result;
    }

    // Hands a finished chunk over; packs it here if no thread can be had.
    std::vector<Done> submit(std::uint64_t firstSerial, std::shared_ptr<const Plain> plain) {
        std::unique_lock lock(mutex);
        if (!worker.joinable()) {
            try {
                worker = std::thread([this] { run(); });
            } catch (const std::system_error&) {
                lock.unlock();
                return {pack(firstSerial, *plain)};
            }
        }
        jobs.push_back({firstSerial, std::move(plain)});
        ++pending;
        wake.notify_one();
        // Should the packing fall behind, the flood waits for it: the
        // chunks not yet packed are what the history costs beyond its cap.
        finished.wait(lock, [this] { return pending <= kMaxPending; });
        std::vector<Done> out;
        out.swap(done);
        return out;
    }

    // Waits for every chunk handed over.
    std::vector<Done> drain() {
        std::unique_lock lock(mutex);
        finished.wait(lock, [this] { return pending == 0; });
        std::vector<Done> out;
        out.swap(done);
        return out;
    }

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stop || !jobs.empty(); });
            if (stop) {
                return;
            }
            auto [firstSerial, plain] = std::move(jobs.front());
            jobs.pop_front();
            lock.unlock();
            Done result = pack(firstSerial, *plain);
            plain.reset();
            lock.lock();
            done.push_back(std::move(result));
            --pending;
            finished.notify_all();
        }
    }

    static constexpr std::size_t kMaxPending = 2;
    // Used by the packing thread only (or by the caller without one).
    ZSTD_CCtx* packer;
    std::string whole;
    std::string scratch;
    ZSTD_DCtx* unpack;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable finished;
    std::deque<std::pair<std::uint64_t, std::shared_ptr<const Plain>>> jobs;
    std::vector<Done> done;
    std::size_t pending = 0;
    bool stop = false;
    std::thread worker;
};

SessionHistory::SessionHistory(std::size_t maxLines, std::size_t maxBytes)
    : m_maxLines(std::max<std::size_t>(maxLines, 1))
    , m_maxBytes(maxBytes)
    , m_codec(std::make_unique<Codec>()) {}

SessionHistory::~SessionHistory() = default;

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
    // A whole line, the usual case, goes straight into its chunk.
    const bool whole = complete && m_open.empty();
    const auto base = static_cast<std::uint32_t>(m_open.size());
    if (!whole) {
        m_open.append(text);
    }
    if (look != nullptr) {
        if (!text.empty()) {
            m_openSpans.push_back(HistorySpan::from(base, static_cast<std::uint32_t>(text.size()),
                                                    TextStyle{}, lookIndex(*look)));
        }
    } else {
        for (const StyleSpan& span : spans) {
            noteLink(span.style.link);
            m_openSpans.push_back(
                HistorySpan::from(base + span.start, span.length, span.style, HistorySpan::kNoLook));
        }
    }
    if (complete) {
        commit(whole ? text : std::string_view(m_open));
    }
}

void SessionHistory::noteLink(std::uint32_t link) {
    if (link == 0) {
        return;
    }
    // Nested links close out of order, so numbers may step back a little;
    // a fall of half the range is the store starting again.
    constexpr std::uint32_t kStartedAgain = 0x80000000u;
    if (link < m_lastLink && m_lastLink - link >= kStartedAgain) {
        // The line being built may hold numbers from both sides: it goes too.
        m_linksFrom = endLine() + 1;
        m_lastLink = link;
    } else if (link > m_lastLink) {
        m_lastLink = link;
    }
}

void SessionHistory::appendHidden(std::string_view text, std::span<const StyleSpan> spans) {
    appendMarked(text, spans, HistoryMark::Hidden);
}

void SessionHistory::appendTraffic(std::string_view text) {
    appendMarked(text, {}, HistoryMark::Traffic);
}

void SessionHistory::appendMarked(std::string_view text, std::span<const StyleSpan> spans, HistoryMark mark) {
    // A piece still open belongs to a line shown before; it ends here.
    if (!m_open.empty() || !m_openSpans.empty()) {
        commit(m_open);
    }
    append(text, spans, nullptr, true);
    while (!m_marks.empty() && m_marks.front().first < m_firstSerial) {
        m_marks.pop_front();
    }
    if (m_count > 0) {
        m_marks.emplace_back(endLine() - 1, mark);
    }
}

void SessionHistory::tagLine(std::string_view text, const std::string& name) {
    // Conversations are capped, so names are few; past this many, no more tags.
    constexpr std::size_t kMaxNames = 1024;
    constexpr std::size_t kMaxWaiting = 64;
    auto found = std::find(m_tagNames.begin(), m_tagNames.end(), name);
    if (found == m_tagNames.end()) {
        if (m_tagNames.size() >= kMaxNames) {
            return;
        }
        m_tagNames.push_back(name);
        found = m_tagNames.end() - 1;
    }
    if (m_waitingTags.size() >= kMaxWaiting) {
        m_waitingTags.pop_front();
    }
    m_waitingTags.push_back(
        WaitingTag{std::string(text), static_cast<std::uint16_t>(found - m_tagNames.begin())});
}

void SessionHistory::tagCommitted(std::string_view text) {
    const auto found = std::find_if(m_waitingTags.begin(), m_waitingTags.end(),
                                    [&](const WaitingTag& waiting) { return waiting.text == text; });
    if (found == m_waitingTags.end()) {
        return;
    }
    while (!m_tags.empty() && m_tags.front().first < m_firstSerial) {
        m_tags.pop_front();
    }
    // Called as the line is kept: its serial is the next one.
    m_tags.emplace_back(endLine(), found->name);
    m_waitingTags.erase(m_waitingTags.begin(), found + 1);
}

std::string_view SessionHistory::tag(std::uint64_t serial) const {
    const auto found =
        std::lower_bound(m_tags.begin(), m_tags.end(), serial,
                         [](const auto& tagged, std::uint64_t wanted) { return tagged.first < wanted; });
    return found != m_tags.end() && found->first == serial ? std::string_view(m_tagNames[found->second])
                                                           : std::string_view();
}

HistoryMark SessionHistory::mark(std::uint64_t serial) const {
    const auto found =
        std::lower_bound(m_marks.begin(), m_marks.end(), serial,
                         [](const auto& marked, std::uint64_t wanted) { return marked.first < wanted; });
    return found != m_marks.end() && found->first == serial ? found->second : HistoryMark::None;
}

void SessionHistory::commit(std::string_view text) {
    // Spans count with the text: a line with a colour for every character
    // is mostly spans, and a chunk sized by its text alone held megabytes.
    if (m_chunks.empty() || m_chunks.back().lines.size() >= kChunkLines ||
        m_chunks.back().counted >= kChunkBytes) {
        if (!m_chunks.empty()) {
            pack(m_chunks.back());
        }
        Chunk fresh;
        fresh.firstSerial = endLine();
        fresh.plain = std::make_shared<Plain>();
        // At its full size at once: growing it line by line copied it a dozen times.
        fresh.plain->text.reserve(kChunkBytes);
        fresh.lines.reserve(kChunkLines);
        m_chunks.push_back(std::move(fresh));
    }
    Chunk& chunk = m_chunks.back();
    Plain& plain = *chunk.plain;
    if (!m_waitingTags.empty()) {
        tagCommitted(text);
    }
    plain.text += text;
    plain.spans.insert(plain.spans.end(), m_openSpans.begin(), m_openSpans.end());
    chunk.lines.push_back(
        Entry{static_cast<std::uint32_t>(plain.text.size()), static_cast<std::uint32_t>(plain.spans.size())});
    const std::size_t cost = text.size() + m_openSpans.size() * sizeof(HistorySpan) + sizeof(Entry);
    chunk.counted += cost;
    m_bytes += cost;
    ++m_count;
    m_open.clear();
    m_openSpans.clear();
    while (m_count > 0 && (m_count > m_maxLines || m_bytes > m_maxBytes)) {
        dropOldest();
    }
}

void SessionHistory::pack(Chunk& chunk) {
    // The text is freed once packed; only the line index stays.
    chunk.lines.shrink_to_fit();
    for (Codec::Done& done : m_codec->submit(chunk.firstSerial, chunk.plain)) {
        const auto found = std::lower_bound(
            m_chunks.begin(), m_chunks.end(), done.firstSerial,
            [](const Chunk& each, std::uint64_t serial) { return each.firstSerial < serial; });
        // Gone already, or kept as it is (it then counts line by line).
        if (!done.ok || found == m_chunks.end() || found->firstSerial != done.firstSerial || !found->plain) {
            continue;
        }
        Chunk& packed = *found;
        packed.textSize = packed.plain->text.size();
        packed.packed = std::move(done.packed);
        packed.plain.reset();
        m_bytes -= packed.counted;
        packed.counted = packed.packed.size() + packed.lines.size() * sizeof(Entry);
        m_bytes += packed.counted;
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
    // A packed chunk is freed whole, with its last line.
    if (front.plain) {
        const std::size_t cost = lineBytes(front, m_frontDropped);
        front.counted -= cost;
        m_bytes -= cost;
    }
    ++m_frontDropped;
    ++m_firstSerial;
    --m_count;
    if (m_frontDropped == front.lines.size()) {
        m_bytes -= front.counted;
        const std::uint64_t gone = front.firstSerial;
        std::erase_if(m_opened, [gone](const Opened& opened) { return opened.firstSerial == gone; });
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

std::shared_ptr<const SessionHistory::Plain> SessionHistory::open(const Chunk& chunk) const {
    if (chunk.plain) {
        return chunk.plain;
    }
    for (std::size_t i = 0; i < m_opened.size(); ++i) {
        if (m_opened[i].firstSerial == chunk.firstSerial) {
            std::rotate(m_opened.begin(), m_opened.begin() + static_cast<std::ptrdiff_t>(i),
                        m_opened.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return m_opened.front().plain;
        }
    }
    auto plain = std::make_shared<Plain>();
    const unsigned long long size = ZSTD_getFrameContentSize(chunk.packed.data(), chunk.packed.size());
    std::string whole;
    if (size != ZSTD_CONTENTSIZE_ERROR && size != ZSTD_CONTENTSIZE_UNKNOWN && size >= chunk.textSize) {
        whole.resize(static_cast<std::size_t>(size));
        const std::size_t got = ZSTD_decompressDCtx(m_codec->unpack, whole.data(), whole.size(),
                                                    chunk.packed.data(), chunk.packed.size());
        if (ZSTD_isError(got) != 0 || got != whole.size()) {
            whole.clear();
        }
    }
    const std::size_t lastText = chunk.lines.empty() ? 0 : chunk.lines.back().textEnd;
    const std::size_t lastSpan = chunk.lines.empty() ? 0 : chunk.lines.back().spansEnd;
    if (whole.size() == chunk.textSize + lastSpan * sizeof(HistorySpan) && lastText == chunk.textSize) {
        plain->text.assign(whole, 0, chunk.textSize);
        plain->spans.resize(lastSpan);
        // A chunk of plain lines has no spans, and no buffer to copy into.
        if (lastSpan > 0) {
            std::memcpy(static_cast<void*>(plain->spans.data()), whole.data() + chunk.textSize,
                        lastSpan * sizeof(HistorySpan));
        }
    } else {
        // Cannot happen short of memory going bad; the lines read as blank
        // rather than as anything out of bounds.
        plain->text.assign(lastText, ' ');
        plain->spans.clear();
        plain->spans.resize(lastSpan);
    }
    m_opened.insert(m_opened.begin(), Opened{chunk.firstSerial, plain});
    if (m_opened.size() > kOpenedChunks) {
        m_opened.pop_back();
    }
    return plain;
}

HistoryLine SessionHistory::line(std::uint64_t serial) const {
    const Chunk& chunk = chunkOf(serial);
    const auto index = static_cast<std::size_t>(serial - chunk.firstSerial);
    const Entry before = index == 0 ? Entry{} : chunk.lines[index - 1];
    const Entry& entry = chunk.lines[index];
    std::shared_ptr<const Plain> plain = open(chunk);
    return HistoryLine{
        std::string_view(plain->text).substr(before.textEnd, entry.textEnd - before.textEnd),
        std::span<const HistorySpan>(plain->spans.data() + before.spansEnd, entry.spansEnd - before.spansEnd),
        std::move(plain), serial < m_linksFrom};
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
