#include "qt/qt_history_text.h"

#include "wire/mxp_links.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

namespace {

constexpr int kMargin = 4;
const QColor kHiddenColour(200, 120, 0);
const QColor kTrafficColour(128, 128, 128);

QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Byte offsets in the stored UTF-8 and positions in the laid-out UTF-16.
int unitsBefore(std::string_view utf8, std::size_t bytes) {
    return static_cast<int>(toQString(utf8.substr(0, std::min(bytes, utf8.size()))).size());
}

std::size_t bytesBefore(const QString& text, int units) {
    return static_cast<std::size_t>(text.left(units).toUtf8().size());
}

} // namespace

QtHistoryText::QtHistoryText(QWidget* parent)
    : QAbstractScrollArea(parent) {
    setObjectName("txtHistory");
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    // The pointer becomes a hand over a link.
    viewport()->setMouseTracking(true);
    m_look.plain.setFont(QFont("Monospace"));
    m_look.text = palette().color(QPalette::Text);
    m_look.background = palette().color(QPalette::Base);
}

void QtHistoryText::setHistory(const SessionHistory* history) {
    m_history = history;
    m_anchor.reset();
    m_cursor.reset();
    linesChanged();
}

void QtHistoryText::setLinks(const MxpLinks* links) {
    m_links = links;
    viewport()->update();
}

std::uint32_t QtHistoryText::keptLink(const HistoryLine& line, const HistorySpan& span) const {
    if (span.link == 0 || line.linksExpired || m_links == nullptr || m_links->find(span.link) == nullptr) {
        return 0;
    }
    return span.link;
}

std::uint32_t QtHistoryText::linkAt(const QPoint& point) const {
    // With no link kept there is none to find, and no lines to lay out for it.
    if (m_links == nullptr || m_links->size() == 0) {
        return 0;
    }
    const std::vector<Shown> shown = shownLines();
    const auto at = std::find_if(shown.begin(), shown.end(), [&](const Shown& each) {
        return point.y() >= each.top && point.y() < each.top + each.height;
    });
    if (at == shown.end()) {
        return 0;
    }
    QTextLayout layout;
    layOut(layout, at->serial);
    const qreal x = point.x() - kMargin;
    const qreal y = point.y() - at->top;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine row = layout.lineAt(i);
        if (y < row.y() || y >= row.y() + row.height()) {
            continue;
        }
        if (x < 0 || x >= row.naturalTextWidth()) {
            return 0;
        }
        const std::size_t byte = bytesBefore(layout.text(), row.xToCursor(x, QTextLine::CursorOnCharacter));
        const HistoryLine line = m_history->line(at->serial);
        for (const HistorySpan& span : line.spans) {
            if (byte >= span.start && byte - span.start < span.length) {
                if (const std::uint32_t link = keptLink(line, span)) {
                    return link;
                }
            }
        }
        return 0;
    }
    return 0;
}

bool QtHistoryText::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        ShowLinkToolTip(LinkToolTip(m_links, linkAt(help->pos())), *help, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void QtHistoryText::setLook(const OutputLook& look) {
    m_look = look;
    setFont(look.plain.font());
    updateRanges();
    viewport()->update();
}

int QtHistoryText::rowHeight() const {
    return std::max(QFontMetrics(m_look.plain.font()).lineSpacing(), 1);
}

int QtHistoryText::visibleRows() const {
    return std::max(viewport()->height() / rowHeight(), 1);
}

std::uint64_t QtHistoryText::topLine() const {
    return m_rangeFirst + static_cast<std::uint64_t>(verticalScrollBar()->value());
}

bool QtHistoryText::atNewest() const {
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

std::vector<QtHistoryText::Shown> QtHistoryText::shownLines() const {
    std::vector<Shown> shown;
    if (m_history == nullptr || m_history->empty()) {
        return shown;
    }
    const int height = viewport()->height();
    QTextLayout layout;
    if (atNewest()) {
        // From the newest line up; lines that do not fill the box start at its top.
        int bottom = height;
        for (std::uint64_t serial = m_history->endLine(); serial > m_history->firstLine() && bottom > 0;) {
            --serial;
            const int lineHeight = layOut(layout, serial);
            bottom -= lineHeight;
            shown.push_back(Shown{serial, bottom, lineHeight});
        }
        std::reverse(shown.begin(), shown.end());
        if (!shown.empty() && shown.front().top > 0) {
            const int shift = shown.front().top;
            for (Shown& line : shown) {
                line.top -= shift;
            }
        }
        return shown;
    }
    int top = 0;
    for (std::uint64_t serial = std::max(topLine(), m_history->firstLine());
         serial < m_history->endLine() && top < height; ++serial) {
        const int lineHeight = layOut(layout, serial);
        shown.push_back(Shown{serial, top, lineHeight});
        top += lineHeight;
    }
    return shown;
}

std::uint64_t QtHistoryText::firstVisibleLine() const {
    const std::vector<Shown> shown = shownLines();
    return shown.empty() ? (m_history != nullptr ? m_history->firstLine() : 0) : shown.front().serial;
}

std::uint64_t QtHistoryText::lastVisibleLine() const {
    const std::vector<Shown> shown = shownLines();
    return shown.empty() ? 0 : shown.back().serial;
}

void QtHistoryText::updateRanges() {
    const std::size_t count = m_history != nullptr ? m_history->lineCount() : 0;
    const int rows = visibleRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(static_cast<int>(count) - rows, 0));
    vertical->setPageStep(rows);
    vertical->setSingleStep(1);
}

void QtHistoryText::setTopLine(std::uint64_t serial) {
    QScrollBar* vertical = verticalScrollBar();
    const long long row = static_cast<long long>(serial) - static_cast<long long>(m_rangeFirst);
    vertical->setValue(static_cast<int>(std::clamp<long long>(row, 0, vertical->maximum())));
}

void QtHistoryText::scrollToNewest() {
    linesChanged();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void QtHistoryText::linesChanged() {
    QScrollBar* vertical = verticalScrollBar();
    const bool atBottom = atNewest();
    const std::uint64_t top = topLine();
    const std::uint64_t first = m_history != nullptr ? m_history->firstLine() : 0;
    m_rangeFirst = first;
    // Lines added below or dropped above a place read back change nothing
    // on screen: no repaint then (this runs for every frame of a flood).
    m_keepingPlace = true;
    updateRanges();
    // The same line stays on top unless the view was following the newest.
    vertical->setValue(atBottom ? vertical->maximum() : static_cast<int>(top > first ? top - first : 0));
    m_keepingPlace = false;
    const bool selectionGone = m_anchor && m_anchor->line < first;
    if (selectionGone) {
        m_anchor.reset();
        m_cursor.reset();
    }
    if (atBottom || top < first || selectionGone) {
        viewport()->update();
    }
}

std::uint64_t QtHistoryText::linesAboveNewest() const {
    if (m_history == nullptr || m_history->empty()) {
        return 0;
    }
    return m_history->endLine() - 1 - lastVisibleLine();
}

void QtHistoryText::showLinesAboveNewest(std::uint64_t lines) {
    if (m_history == nullptr || m_history->empty()) {
        return;
    }
    if (lines == 0) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        return;
    }
    // The line that is to be last shown, with as many before it as fill the box.
    const std::uint64_t last =
        m_history->endLine() - 1 - std::min<std::uint64_t>(lines, m_history->lineCount() - 1);
    QTextLayout layout;
    int height = viewport()->height();
    std::uint64_t top = last;
    height -= layOut(layout, top);
    while (top > m_history->firstLine()) {
        const int above = layOut(layout, top - 1);
        if (above > height) {
            break;
        }
        height -= above;
        --top;
    }
    setTopLine(top);
    viewport()->update();
}

void QtHistoryText::pageUp() {
    const std::vector<Shown> shown = shownLines();
    if (shown.empty()) {
        return;
    }
    // The line now on top ends the page above.
    showLinesAboveNewest(m_history->endLine() - 1 - shown.front().serial);
    if (!shown.empty() && firstVisibleLine() == shown.front().serial &&
        shown.front().serial > m_history->firstLine()) {
        // One line taller than the box: step over it.
        setTopLine(shown.front().serial - 1);
    }
}

void QtHistoryText::pageDown() {
    const std::vector<Shown> shown = shownLines();
    if (shown.empty() || atNewest()) {
        return;
    }
    const std::uint64_t next = shown.size() > 1 ? shown.back().serial : shown.back().serial + 1;
    setTopLine(next);
    viewport()->update();
}

void QtHistoryText::showMatch(const HistoryMatch& match) {
    m_anchor = Place{match.line, match.offset};
    m_cursor = Place{match.line, match.offset + match.length};
    const std::vector<Shown> shown = shownLines();
    const auto whole = [&](const Shown& line) {
        return line.serial == match.line && line.top >= 0 && line.top + line.height <= viewport()->height();
    };
    if (std::none_of(shown.begin(), shown.end(), whole)) {
        const int rows = visibleRows();
        setTopLine(match.line > static_cast<std::uint64_t>(rows / 2)
                       ? match.line - static_cast<std::uint64_t>(rows / 2)
                       : 0);
        // Lines that wrap may still push it below: then it goes on top.
        const std::vector<Shown> now = shownLines();
        if (std::none_of(now.begin(), now.end(), whole)) {
            setTopLine(match.line);
        }
    }
    viewport()->update();
}

void QtHistoryText::setHighlight(const std::string& query, bool matchCase) {
    m_highlight = query;
    m_highlightMatchCase = matchCase;
    viewport()->update();
}

std::optional<SessionHistoryView::Range> QtHistoryText::selection() const {
    if (!m_anchor || !m_cursor || *m_anchor == *m_cursor) {
        return std::nullopt;
    }
    Place from = *m_anchor;
    Place to = *m_cursor;
    if (to.line < from.line || (to.line == from.line && to.offset < from.offset)) {
        std::swap(from, to);
    }
    return SessionHistoryView::Range{from.line, from.offset, to.line, to.offset};
}

int QtHistoryText::layOut(QTextLayout& layout, std::uint64_t serial) const {
    const HistoryLine line = m_history->line(serial);
    layout.clearLayout();
    layout.setText(toQString(line.text));
    layout.setFont(m_look.plain.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<QTextLayout::FormatRange> formats;
    for (const HistorySpan& span : line.spans) {
        OutputSpan shown = span.outputSpan();
        shown.style.link = keptLink(line, span);
        const int start = unitsBefore(line.text, span.start);
        const int end = unitsBefore(line.text, std::size_t{span.start} + span.length);
        formats.append({start, end - start, OutputFormat(m_look, &shown, m_history->looks())});
    }
    if (const HistoryMark mark = m_history->mark(serial); mark != HistoryMark::None) {
        // Lines the window never showed read differently: a trigger's hidden
        // lines in italics, MCP traffic in grey italics.
        QTextCharFormat aside;
        aside.setFontItalic(true);
        if (mark == HistoryMark::Traffic) {
            aside.setForeground(kTrafficColour);
        }
        formats.append({0, static_cast<int>(layout.text().size()), aside});
    }
    if (!m_highlight.empty()) {
        QTextCharFormat marked;
        marked.setBackground(QColor(255, 255, 0));
        marked.setForeground(QColor(0, 0, 0));
        for (std::size_t at : m_history->matchesInLine(serial, m_highlight, m_highlightMatchCase)) {
            const int start = unitsBefore(line.text, at);
            formats.append({start, unitsBefore(line.text, at + m_highlight.size()) - start, marked});
        }
    }
    if (const auto range = selection(); range && serial >= range->fromLine && serial <= range->toLine) {
        QTextCharFormat selected;
        selected.setBackground(palette().color(QPalette::Highlight));
        selected.setForeground(palette().color(QPalette::HighlightedText));
        const int start = serial == range->fromLine ? unitsBefore(line.text, range->fromOffset) : 0;
        const int end = serial == range->toLine ? unitsBefore(line.text, range->toOffset)
                                                : static_cast<int>(layout.text().size());
        formats.append({start, end - start, selected});
    }
    layout.setFormats(formats);
    const qreal width = std::max(viewport()->width() - 2 * kMargin, rowHeight());
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    layout.endLayout();
    return std::max(static_cast<int>(std::ceil(y)), rowHeight());
}

void QtHistoryText::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), m_look.background);
    if (m_history == nullptr || m_history->empty()) {
        return;
    }
    painter.setPen(m_look.text);
    QTextLayout layout;
    for (const Shown& line : shownLines()) {
        layOut(layout, line.serial);
        layout.draw(&painter, QPointF(kMargin, line.top));
        // And a bar in the margin, which shows whatever the colours.
        if (const HistoryMark mark = m_history->mark(line.serial); mark != HistoryMark::None) {
            painter.fillRect(QRect(0, line.top, kMargin - 1, line.height),
                             mark == HistoryMark::Traffic ? kTrafficColour : kHiddenColour);
        }
        // A conversation's line names its window at the right, over the text.
        if (const std::string_view tag = m_history->tag(line.serial); !tag.empty()) {
            const QString name = QString::fromUtf8(tag.data(), static_cast<qsizetype>(tag.size()));
            const QFontMetrics metrics(painter.font());
            const QRect box(viewport()->width() - metrics.horizontalAdvance(name) - 2 * kMargin, line.top,
                            metrics.horizontalAdvance(name) + kMargin, metrics.height());
            painter.fillRect(box, m_look.background);
            painter.save();
            painter.setPen(kTrafficColour);
            painter.drawText(box, Qt::AlignRight | Qt::AlignTop, name);
            painter.restore();
        }
    }
}

void QtHistoryText::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    QScrollBar* vertical = verticalScrollBar();
    const bool atBottom = atNewest();
    updateRanges();
    if (atBottom) {
        vertical->setValue(vertical->maximum());
    }
}

void QtHistoryText::scrollContentsBy(int, int) {
    if (!m_keepingPlace) {
        viewport()->update();
    }
}

std::optional<QtHistoryText::Place> QtHistoryText::placeAt(const QPoint& point) const {
    const std::vector<Shown> shown = shownLines();
    if (shown.empty()) {
        return std::nullopt;
    }
    auto line = std::find_if(shown.begin(), shown.end(),
                             [&](const Shown& each) { return point.y() < each.top + each.height; });
    if (line == shown.end()) {
        --line;
    }
    QTextLayout layout;
    layOut(layout, line->serial);
    const int y = std::clamp(point.y() - line->top, 0, line->height - 1);
    QTextLine row = layout.lineForTextPosition(0);
    for (int i = 0; i < layout.lineCount(); ++i) {
        if (y >= layout.lineAt(i).y()) {
            row = layout.lineAt(i);
        }
    }
    const int units = row.isValid() ? row.xToCursor(point.x() - kMargin) : 0;
    return Place{line->serial, bytesBefore(layout.text(), units)};
}

void QtHistoryText::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressPoint = event->position().toPoint();
    m_anchor = placeAt(m_pressPoint);
    m_cursor = m_anchor;
    m_selecting = true;
    viewport()->update();
}

void QtHistoryText::mouseMoveEvent(QMouseEvent* event) {
    if (!m_selecting) {
        if (event->buttons() == Qt::NoButton) {
            viewport()->setCursor(linkAt(event->position().toPoint()) != 0 ? Qt::PointingHandCursor
                                                                           : Qt::IBeamCursor);
        }
        return;
    }
    const QPoint point = event->position().toPoint();
    // Dragging past an edge scrolls on, a row per move.
    if (point.y() < 0) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (point.y() >= viewport()->height()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    m_cursor = placeAt(point);
    viewport()->update();
}

void QtHistoryText::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_selecting = false;
    // A click, not the end of a drag that selects.
    const QPoint at = event->position().toPoint();
    if (m_linkClicked && (at - m_pressPoint).manhattanLength() < QApplication::startDragDistance()) {
        if (const std::uint32_t link = linkAt(at)) {
            m_linkClicked(link);
        }
    }
}

void QtHistoryText::selectAll() {
    if (m_history == nullptr || m_history->empty()) {
        return;
    }
    const std::uint64_t last = m_history->endLine() - 1;
    m_anchor = Place{m_history->firstLine(), 0};
    m_cursor = Place{last, m_history->line(last).text.size()};
    viewport()->update();
}

void QtHistoryText::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (m_copy) {
            m_copy();
        }
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (event->matches(QKeySequence::MoveToStartOfDocument)) {
        verticalScrollBar()->setValue(0);
        return;
    }
    if (event->matches(QKeySequence::MoveToEndOfDocument)) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        return;
    }
    if (event->key() == Qt::Key_PageUp) {
        pageUp();
        return;
    }
    if (event->key() == Qt::Key_PageDown) {
        pageDown();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace corvane
