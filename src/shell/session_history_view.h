#pragma once

#include "core/session_history.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

// What the user does in the session history window.
class SessionHistoryEvents {
public:
    virtual ~SessionHistoryEvents() = default;
    // "Find &Next" or Enter in the find box; "Find &Previous" or Shift+Enter.
    virtual void onFindNext() = 0;
    virtual void onFindPrevious() = 0;
    // The find text, "Match &case" or "&Highlight all" changed.
    virtual void onFindChanged() = 0;
    // Ctrl+C in the text.
    virtual void onCopy() = 0;
    // Closed by its close control or Escape; the window is already hidden.
    virtual void onClosed() = 0;
};

// The "Session History" window: every kept line, read straight from the
// store and drawn in the colours it was shown in, with a find bar.
class SessionHistoryView {
public:
    // A stretch of the history by line serial and byte offset, `from` before `to`.
    struct Range {
        std::uint64_t fromLine = 0;
        std::size_t fromOffset = 0;
        std::uint64_t toLine = 0;
        std::size_t toOffset = 0;
    };

    virtual ~SessionHistoryView() = default;
    virtual void setEvents(SessionHistoryEvents* events) = 0;
    // The lines to show; the view reads them as it draws.
    virtual void setHistory(const SessionHistory& history) = 0;
    // Shows the window (or brings it to the front) at the newest line.
    virtual void showAtNewest() = 0;
    // Lines were added or dropped: a view at the bottom stays there.
    virtual void linesChanged() = 0;
    // Selects the stretch and scrolls it into view.
    virtual void showMatch(const HistoryMatch& match) = 0;
    // Every match of the text in the lines shown is marked, or none when empty.
    virtual void setHighlight(const std::string& query, bool matchCase) = 0;
    virtual void setFindStatus(const std::string& text) = 0;

    virtual std::string findText() const = 0;
    virtual bool matchCase() const = 0;
    virtual bool highlightAll() const = 0;
    virtual std::uint64_t firstVisibleLine() const = 0;
    virtual std::uint64_t lastVisibleLine() const = 0;
    virtual std::optional<Range> selection() const = 0;
};

} // namespace corvane
