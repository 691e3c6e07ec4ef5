#pragma once

#include "shell/session_history_view.h"

#include <functional>
#include <optional>
#include <string>

namespace corvane {

class Clipboard;

// Rules of the session history window: it opens at the newest line, follows
// new lines while it is at the bottom, and finds text forwards or backwards
// from the last match (or from the lines in view), going round at either end.
class SessionHistoryPresenter : public SessionHistoryEvents {
public:
    // `closed` runs when the user closes the window (the focus goes back then).
    SessionHistoryPresenter(const SessionHistory& history, SessionHistoryView& view, Clipboard& clipboard,
                            std::function<void()> closed);

    // View > "Session &History" and Ctrl+F: opens the window, or brings it
    // forward, at the newest line.
    void open();
    bool isOpen() const { return m_open; }
    // New lines have been shown in the output window.
    void linesAdded();

    void onFindNext() override;
    void onFindPrevious() override;
    void onFindChanged() override;
    void onCopy() override;
    void onClosed() override;

private:
    void find(SessionHistory::Direction direction);
    std::size_t matchCount(const std::string& query, bool matchCase);

    const SessionHistory& m_history;
    SessionHistoryView& m_view;
    Clipboard& m_clipboard;
    std::function<void()> m_closed;
    bool m_open = false;
    std::optional<HistoryMatch> m_match;
    // What the find box and "Match case" held when last looked at.
    std::string m_searched;
    bool m_searchedWithCase = false;
    // The count for the last find, kept while the text and the lines stay.
    struct Count {
        std::string query;
        bool matchCase = false;
        std::uint64_t first = 0;
        std::uint64_t end = 0;
        std::size_t matches = 0;
    };
    std::optional<Count> m_count;
};

} // namespace corvane
