#pragma once

#include "core/output_view.h"
#include "core/text_line.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace corvane {

// What the output window holds: its lines, trimmed from the top in whole
// screen rows as new lines arrive, bounded to what the window may keep.
// Lengths count like the classic text box did: a line's characters plus two
// for its CR LF. The view is told the end state of a batch in one go, so a
// flood costs one update per chunk however many lines scrolled through.
class SessionHistory;

class OutputBuffer {
public:
    static constexpr std::size_t kMaxLength = 32000;

    explicit OutputBuffer(OutputView& view);

    // Rows are estimated with the width of "a" against the output width, as the
    // trimming has always done; CharsPerLine is the cut for an over-long row.
    void setGeometry(int outputWidth, int widthOfA, int charsPerLine, int maxOutputChars);
    int maxOutputChars() const { return m_maxOutputChars; }

    // Shows one received line (or the unfinished tail when !line.complete),
    // making room first; `look` is -1 or an index from addLook().
    void showLine(const TextLine& line, int look);
    // The client's own notices: text with CR LF line ends, appended as is.
    void ShowOutput(const std::string& text);
    int addLook(const TriggerLook& look);
    // Also hands every shown line to the session history, which outlives what
    // the window may keep.
    void setHistory(SessionHistory* history) { m_history = history; }
    // A received line that is not shown (a listing took it) is still kept.
    void keepInHistory(const TextLine& line);

    void clear();
    // Applies everything since the last flush to the view; returns how many
    // lines that put into it.
    std::size_t flush();

    std::size_t length() const { return m_length; }
    std::size_t lineCount() const { return m_lines.size(); }
    // Bytes of text held, for checks that memory stays bounded.
    std::size_t storedBytes() const;
    // The kept text as the classic box would hold it (CR LF between lines).
    std::string text() const;

private:
    struct Line {
        std::uint64_t serial = 0;
        std::string text;
        std::vector<OutputSpan> spans;
        std::uint32_t characters = 0;
        bool complete = false;
    };

    void makeRoom(std::size_t lineCharacters, bool tail);
    void deleteFromFront(std::size_t units);
    // `added` is the text's length in characters (code points).
    void append(std::string_view text, const std::vector<StyleSpan>& spans, int look, bool complete,
                std::uint32_t added);
    std::size_t units(const Line& line) const { return line.characters + (line.complete ? 2u : 0u); }
    std::uint32_t visibleCut() const;
    // Sends the line to the view from byte `from` on.
    void appendToView(const Line& line, std::size_t from);
    // A line that never ends (from a server that sends no line ends) is cut
    // from the front as it grows; once the view has let go of the cut text
    // too, the buffer drops it, so such a line holds no more than is shown.
    void dropCutText();

    OutputView& m_view;
    SessionHistory* m_history = nullptr;
    std::deque<Line> m_lines;
    // Lines that scrolled off, kept for their buffers: a flood then costs no
    // allocation per line.
    std::vector<Line> m_spare;
    std::vector<TriggerLook> m_looks;
    std::uint64_t m_nextSerial = 1;
    // Units already deleted from the front line (it may be cut part way).
    std::size_t m_frontCut = 0;
    std::size_t m_length = 0;

    int m_outputWidth = 9000;
    int m_widthOfA = 120;
    int m_charsPerLine = 75;
    int m_maxOutputChars = 29800;

    // What the view shows, so a flush sends only the difference.
    bool m_viewEmpty = true;
    std::uint64_t m_viewFirstSerial = 0;
    std::uint32_t m_viewFirstCut = 0;
    std::uint64_t m_viewLastSerial = 0;
    std::uint32_t m_viewLastCharacters = 0;
    std::size_t m_viewLastBytes = 0;
    bool m_viewLastComplete = false;
    bool m_dirty = false;
};

} // namespace corvane
