#pragma once

#include "core/session_history.h"
#include "qt/qt_output_format.h"
#include "shell/session_history_view.h"

#include <QAbstractScrollArea>
#include <functional>
#include <optional>

class QTextLayout;

namespace corvane {

class MxpLinks;

// The text of the session history: kept lines read from the store and laid
// out, wrapped at the width of the box, only while they are on screen, so a
// full history opens as fast as an empty one. The scroll bar counts lines;
// at its end the newest line sits at the bottom. Selection by mouse or
// Ctrl+A; Ctrl+C asks for the copy.
class QtHistoryText : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit QtHistoryText(QWidget* parent = nullptr);

    void setHistory(const SessionHistory* history);
    void setLook(const OutputLook& look);
    void scrollToNewest();
    void linesChanged();
    // Selects the match and brings it into view.
    void showMatch(const HistoryMatch& match);
    void setHighlight(const std::string& query, bool matchCase);
    std::uint64_t firstVisibleLine() const;
    std::uint64_t lastVisibleLine() const;
    std::optional<SessionHistoryView::Range> selection() const;
    // Ctrl+A: every kept line, for copying the whole session.
    void selectAll();
    // A page towards the older lines (the top line goes to the bottom) or the
    // newer ones (the bottom line goes to the top).
    void pageUp();
    void pageDown();
    // Lines from the newest to the first line shown (0 at the newest).
    std::uint64_t linesAboveNewest() const;
    void showLinesAboveNewest(std::uint64_t lines);
    bool atNewest() const;
    void setCopyHandler(std::function<void()> copy) { m_copy = std::move(copy); }
    // The store the lines' MXP link numbers name; a number it no longer keeps
    // (or any, without it) reads as plain text.
    void setLinks(const MxpLinks* links);
    // A plain click on a link still kept: its number.
    void setLinkHandler(std::function<void(std::uint32_t link)> clicked) {
        m_linkClicked = std::move(clicked);
    }
    // The kept MXP link under a point of the viewport, or 0.
    std::uint32_t linkAt(const QPoint& point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Rows are drawn from the store: a scroll repaints instead of moving pixels.
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct Place {
        std::uint64_t line = 0;
        std::size_t offset = 0;
        friend bool operator==(const Place&, const Place&) = default;
    };

    // A line on screen: its top may be above the box.
    struct Shown {
        std::uint64_t serial = 0;
        int top = 0;
        int height = 0;
    };

    int rowHeight() const;
    int visibleRows() const;
    std::uint64_t topLine() const;
    void updateRanges();
    // The line laid out and wrapped, with its colours, matches and selection;
    // returns its height.
    int layOut(QTextLayout& layout, std::uint64_t serial) const;
    std::vector<Shown> shownLines() const;
    std::optional<Place> placeAt(const QPoint& point) const;
    void setTopLine(std::uint64_t serial);
    std::uint32_t keptLink(const HistoryLine& line, const HistorySpan& span) const;

    const SessionHistory* m_history = nullptr;
    OutputLook m_look;
    std::string m_highlight;
    bool m_highlightMatchCase = false;
    std::optional<Place> m_anchor;
    std::optional<Place> m_cursor;
    bool m_selecting = false;
    bool m_keepingPlace = false;
    // The oldest line when the scroll bar was last set: its value counts from there.
    std::uint64_t m_rangeFirst = 0;
    std::function<void()> m_copy;
    const MxpLinks* m_links = nullptr;
    std::function<void(std::uint32_t)> m_linkClicked;
    QPoint m_pressPoint;
};

} // namespace corvane
