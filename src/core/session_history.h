#pragma once

#include "core/output_view.h"
#include "core/text_line.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace corvane {

// A styled stretch of a kept line, packed: a session's worth of them is kept.
struct HistorySpan {
    static constexpr std::uint16_t kNoLook = 0xFFFF;
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    // The MXP link's number, as the output had it, or 0.
    std::uint32_t link = 0;
    // Index into SessionHistory::looks(), or kNoLook for the server's own style.
    std::uint16_t look = kNoLook;
    std::uint8_t flags = 0;
    Rgb foreground;
    Rgb background;
    // Spans are packed as bytes: padding left to chance would pack worse.
    std::uint8_t zeros[3] = {};

    static HistorySpan from(std::uint32_t start, std::uint32_t length, const TextStyle& style,
                            std::uint16_t look);
    TextStyle style() const;
    OutputSpan outputSpan() const;
};

static_assert(sizeof(HistorySpan) == 24 && std::has_unique_object_representations_v<HistorySpan>);

// The views stay good while this line is kept (it holds its chunk open) and
// no line has been appended since.
struct HistoryLine {
    std::string_view text;
    std::span<const HistorySpan> spans;
    std::shared_ptr<const void> keep;
    // The spans' link numbers are from before the link store numbered anew:
    // they may name other links now, and are to be read as 0.
    bool linksExpired = false;
};

// How a kept line differs from what the output window showed.
enum class HistoryMark : std::uint8_t {
    None,
    // A trigger kept it from the window.
    Hidden,
    // An MCP line, kept while the player watches the traffic; never shown.
    Traffic,
};

// Where a find landed: a line by its serial number and a stretch of its bytes.
struct HistoryMatch {
    std::uint64_t line = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
    friend bool operator==(const HistoryMatch&, const HistoryMatch&) = default;
};

// Every line the output window showed this session, with the colours it was
// shown in, oldest dropped first once either cap is reached. Lines live in
// chunks of one text arena each; a finished chunk is kept compressed and
// opened again on demand (the last few opened stay open), so a full session
// costs about a quarter of its text. Dropping the oldest frees whole chunks.
// Lines are numbered by serial from 0 for the first line of the session;
// firstLine() rises as old lines go.
class SessionHistory {
public:
    static constexpr std::size_t kDefaultMaxLines = 200000;
    static constexpr std::size_t kDefaultMaxBytes = 16u * 1024u * 1024u;

    explicit SessionHistory(std::size_t maxLines = kDefaultMaxLines, std::size_t maxBytes = kDefaultMaxBytes);
    ~SessionHistory();
    SessionHistory(const SessionHistory&) = delete;
    SessionHistory& operator=(const SessionHistory&) = delete;

    // A piece of the shown line; it joins the line still open (a prompt shown
    // before its line end), and the line is kept once `complete`.
    void append(std::string_view text, std::span<const StyleSpan> spans, const TriggerLook* look,
                bool complete);

    // A line a trigger kept from the window: kept here all the same, marked.
    void appendHidden(std::string_view text, std::span<const StyleSpan> spans);
    // A line of MCP traffic, whole and marked.
    void appendTraffic(std::string_view text);
    bool hidden(std::uint64_t serial) const { return mark(serial) == HistoryMark::Hidden; }
    HistoryMark mark(std::uint64_t serial) const;
    // The line with this text, when it is kept (now or in a moment: the
    // output may still hold it), belongs to the conversation `name`.
    void tagLine(std::string_view text, const std::string& name);
    // The conversation a kept line belongs to, or empty.
    std::string_view tag(std::uint64_t serial) const;

    std::uint64_t firstLine() const { return m_firstSerial; }
    // One past the newest kept line.
    std::uint64_t endLine() const { return m_firstSerial + m_count; }
    std::size_t lineCount() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // Bytes counted against the cap: the compressed chunks with their index,
    // and the text, spans and index of the lines in the newest, open chunk.
    std::size_t storedBytes() const { return m_bytes; }
    // Must lie in [firstLine(), endLine()).
    HistoryLine line(std::uint64_t serial) const;
    const std::vector<TriggerLook>& looks() const { return m_looks; }

    enum class Direction { Forward, Backward };
    // Forward: the first match starting at or after `offset` in line `from`,
    // then in the lines after it, going round to the oldest. Backward: the
    // last match starting before `offset`, then in the lines before, going
    // round to the newest. Without match case, ASCII and Latin-1 letters
    // fold to lower case (byte lengths are kept, so offsets hold).
    std::optional<HistoryMatch> find(std::string_view query, std::uint64_t from, std::size_t offset,
                                     Direction direction, bool matchCase) const;
    // Matches that do not overlap, in the whole history, or only those that
    // start before `before` (to say which match of them all is current).
    std::size_t countMatches(std::string_view query, bool matchCase,
                             std::optional<HistoryMatch> before = std::nullopt) const;
    // Every match in one line (for drawing them highlighted).
    std::vector<std::size_t> matchesInLine(std::uint64_t serial, std::string_view query,
                                           bool matchCase) const;
    // The text from one place to another, lines joined with CR LF.
    std::string text(std::uint64_t fromLine, std::size_t fromOffset, std::uint64_t toLine,
                     std::size_t toOffset) const;

    static std::string fold(std::string_view text);

private:
    struct Entry {
        std::uint32_t textEnd = 0;
        std::uint32_t spansEnd = 0;
    };
    struct Plain {
        std::string text;
        std::vector<HistorySpan> spans;
    };
    struct Chunk {
        std::uint64_t firstSerial = 0;
        std::vector<Entry> lines;
        // The newest chunk, or one that would not compress.
        std::shared_ptr<Plain> plain;
        // A zstd frame of the text followed by the spans.
        std::string packed;
        std::size_t textSize = 0;
        // What this chunk adds to storedBytes().
        std::size_t counted = 0;
    };
    struct Opened {
        std::uint64_t firstSerial = 0;
        std::shared_ptr<const Plain> plain;
    };
    struct Codec;

    std::uint16_t lookIndex(const TriggerLook& look);
    void commit(std::string_view text);
    void pack(Chunk& chunk);
    void dropOldest();
    std::size_t lineBytes(const Chunk& chunk, std::size_t index) const;
    const Chunk& chunkOf(std::uint64_t serial) const;
    std::shared_ptr<const Plain> open(const Chunk& chunk) const;

    std::size_t m_maxLines;
    std::size_t m_maxBytes;
    std::deque<Chunk> m_chunks;
    // Lines of the front chunk already dropped.
    std::size_t m_frontDropped = 0;
    std::uint64_t m_firstSerial = 0;
    std::size_t m_count = 0;
    std::size_t m_bytes = 0;
    std::vector<TriggerLook> m_looks;
    std::string m_open;
    std::vector<HistorySpan> m_openSpans;
    std::unique_ptr<Codec> m_codec;
    // Link numbers only rise, unless the store runs out of them and starts
    // again from 1; lines kept before that read as having no links.
    std::uint32_t m_lastLink = 0;
    std::uint64_t m_linksFrom = 0;
    void noteLink(std::uint32_t link);
    // The chunks opened last, newest first.
    mutable std::vector<Opened> m_opened;
    void appendMarked(std::string_view text, std::span<const StyleSpan> spans, HistoryMark mark);

    // Serials of marked lines, oldest first; those that went are pruned as
    // new ones come.
    std::deque<std::pair<std::uint64_t, HistoryMark>> m_marks;
    // Tags wait for their line: lines are kept in order, so a waiting tag
    // passed over by a later one's line never came and is dropped.
    struct WaitingTag {
        std::string text;
        std::uint16_t name = 0;
    };
    std::deque<WaitingTag> m_waitingTags;
    std::deque<std::pair<std::uint64_t, std::uint16_t>> m_tags;
    std::vector<std::string> m_tagNames;
    void tagCommitted(std::string_view text);
};

} // namespace corvane
