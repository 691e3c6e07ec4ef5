#include "shell/session_history_presenter.h"

#include "platform/clipboard.h"

namespace corvane {

namespace {
const std::string kNotFound = "Not found";
} // namespace

SessionHistoryPresenter::SessionHistoryPresenter(const SessionHistory& history, SessionHistoryView& view,
                                                 Clipboard& clipboard, std::function<void()> closed)
    : m_history(history)
    , m_view(view)
    , m_clipboard(clipboard)
    , m_closed(std::move(closed)) {
    m_view.setEvents(this);
    m_view.setHistory(m_history);
}

void SessionHistoryPresenter::open() {
    m_open = true;
    m_view.showAtNewest();
}

void SessionHistoryPresenter::linesAdded() {
    if (m_open) {
        m_view.linesChanged();
    }
}

void SessionHistoryPresenter::onFindNext() {
    find(SessionHistory::Direction::Forward);
}

void SessionHistoryPresenter::onFindPrevious() {
    find(SessionHistory::Direction::Backward);
}

void SessionHistoryPresenter::find(SessionHistory::Direction direction) {
    const std::string query = m_view.findText();
    if (query.empty()) {
        m_view.setFindStatus("");
        return;
    }
    const bool matchCase = m_view.matchCase();
    const bool forward = direction == SessionHistory::Direction::Forward;
    std::uint64_t line = 0;
    std::size_t offset = 0;
    if (m_match && m_match->line >= m_history.firstLine()) {
        // Step past the current match, so the same one is not found again.
        line = m_match->line;
        offset = forward ? m_match->offset + 1 : m_match->offset;
    } else {
        line = forward ? m_view.firstVisibleLine() : m_view.lastVisibleLine();
        offset = forward ? 0 : std::string::npos;
    }
    m_match = m_history.find(query, line, offset, direction, matchCase);
    if (!m_match) {
        m_view.setFindStatus(kNotFound);
        return;
    }
    m_view.showMatch(*m_match);
    const std::size_t count = matchCount(query, matchCase);
    const std::size_t current = m_history.countMatches(query, matchCase, m_match) + 1;
    m_view.setFindStatus(std::to_string(current) + " of " + std::to_string(count) +
                         (count == 1 ? " match" : " matches"));
}

std::size_t SessionHistoryPresenter::matchCount(const std::string& query, bool matchCase) {
    const bool same = m_count && m_count->query == query && m_count->matchCase == matchCase &&
                      m_count->first == m_history.firstLine() && m_count->end == m_history.endLine();
    if (!same) {
        m_count = Count{query, matchCase, m_history.firstLine(), m_history.endLine(),
                        m_history.countMatches(query, matchCase)};
    }
    return m_count->matches;
}

void SessionHistoryPresenter::onFindChanged() {
    // Switching "Highlight all" leaves the search where it was.
    const std::string query = m_view.findText();
    if (query != m_searched || m_view.matchCase() != m_searchedWithCase) {
        m_searched = query;
        m_searchedWithCase = m_view.matchCase();
        m_match.reset();
        m_view.setFindStatus("");
    }
    m_view.setHighlight(m_view.highlightAll() ? m_view.findText() : std::string(), m_view.matchCase());
}

void SessionHistoryPresenter::onCopy() {
    const auto range = m_view.selection();
    if (!range) {
        return;
    }
    const std::string text =
        m_history.text(range->fromLine, range->fromOffset, range->toLine, range->toOffset);
    if (!text.empty()) {
        m_clipboard.setText(text);
    }
}

void SessionHistoryPresenter::onClosed() {
    m_open = false;
    if (m_closed) {
        m_closed();
    }
}

} // namespace corvane
