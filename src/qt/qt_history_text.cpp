#include "qt/qt_history_text.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

namespace corvane {

namespace {

constexpr int kMargin = 4;

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
    viewport()->setCursor(Qt::IBeamCursor);
    m_look.plain.setFont(QFont("Monospace"));
    m_look.text = palette().color(QPalette::Text);
    m_look.background = palette().color(QPalette::Base);
}

void QtHistoryText::setHistory(const SessionHistory* history) {
    m_history = history;
    m_measuredEnd = history != nullptr ? history->firstLine() : 0;
    m_widestBytes = 0;
    m_anchor.reset();
    m_cursor.reset();
    linesChanged();
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

std::uint64_t QtHistoryText::firstVisibleLine() const {
    return m_history != nullptr ? std::max(topLine(), m_history->firstLine()) : 0;
}

std::uint64_t QtHistoryText::lastVisibleLine() const {
    if (m_history == nullptr || m_history->empty()) {
        return 0;
    }
    return std::min(firstVisibleLine() + static_cast<std::uint64_t>(visibleRows()) - 1,
                    m_history->endLine() - 1);
}

void QtHistoryText::measureNewLines() {
    if (m_history == nullptr) {
        return;
    }
    m_measuredEnd = std::max(m_measuredEnd, m_history->firstLine());
    for (; m_measuredEnd < m_history->endLine(); ++m_measuredEnd) {
        m_widestBytes = std::max(m_widestBytes, m_history->line(m_measuredEnd).text.size());
    }
}

void QtHistoryText::updateRanges() {
    const std::size_t count = m_history != nullptr ? m_history->lineCount() : 0;
    const int rows = visibleRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(static_cast<int>(count) - rows, 0));
    vertical->setPageStep(rows);
    vertical->setSingleStep(1);
    // Bytes are at least characters, so the widest line always fits.
    const QFontMetrics metrics(m_look.plain.font());
    const auto widest = static_cast<long long>(m_widestBytes) * metrics.horizontalAdvance(QLatin1Char('M'));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(
        0, static_cast<int>(std::clamp<long long>(widest + 2 * kMargin - viewport()->width(), 0, 1 << 30)));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(metrics.horizontalAdvance(QLatin1Char('M')));
}

void QtHistoryText::scrollToNewest() {
    linesChanged();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    horizontalScrollBar()->setValue(0);
}

void QtHistoryText::linesChanged() {
    QScrollBar* vertical = verticalScrollBar();
    const bool atBottom = vertical->value() >= vertical->maximum();
    const std::uint64_t top = topLine();
    measureNewLines();
    const std::uint64_t first = m_history != nullptr ? m_history->firstLine() : 0;
    m_rangeFirst = first;
    updateRanges();
    // The same line stays on top unless the view was following the newest.
    vertical->setValue(atBottom ? vertical->maximum() : static_cast<int>(top > first ? top - first : 0));
    if (m_anchor && m_anchor->line < first) {
        m_anchor.reset();
        m_cursor.reset();
    }
    viewport()->update();
}

void QtHistoryText::showMatch(const HistoryMatch& match) {
    m_anchor = Place{match.line, match.offset};
    m_cursor = Place{match.line, match.offset + match.length};
    QScrollBar* vertical = verticalScrollBar();
    const auto row = static_cast<int>(match.line - m_rangeFirst);
    if (row < vertical->value() || row >= vertical->value() + visibleRows()) {
        vertical->setValue(row - visibleRows() / 2);
    }
    QTextLayout layout;
    layOut(layout, match.line);
    const std::string_view text = m_history->line(match.line).text;
    const int left = static_cast<int>(layout.lineAt(0).cursorToX(unitsBefore(text, match.offset)));
    const int right =
        static_cast<int>(layout.lineAt(0).cursorToX(unitsBefore(text, match.offset + match.length)));
    QScrollBar* horizontal = horizontalScrollBar();
    if (left < horizontal->value() || right + 2 * kMargin > horizontal->value() + viewport()->width()) {
        horizontal->setValue(left - viewport()->width() / 3);
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

void QtHistoryText::layOut(QTextLayout& layout, std::uint64_t serial) const {
    const HistoryLine line = m_history->line(serial);
    layout.setText(toQString(line.text));
    layout.setFont(m_look.plain.font());
    QList<QTextLayout::FormatRange> formats;
    for (const HistorySpan& span : line.spans) {
        const OutputSpan shown = span.outputSpan();
        const int start = unitsBefore(line.text, span.start);
        const int end = unitsBefore(line.text, std::size_t{span.start} + span.length);
        formats.append({start, end - start, OutputFormat(m_look, &shown, m_history->looks())});
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
    layout.beginLayout();
    QTextLine row = layout.createLine();
    if (row.isValid()) {
        row.setNumColumns(static_cast<int>(layout.text().size()) + 1);
        row.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

void QtHistoryText::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), m_look.background);
    if (m_history == nullptr || m_history->empty()) {
        return;
    }
    painter.setPen(m_look.text);
    const int height = rowHeight();
    const double left = kMargin - horizontalScrollBar()->value();
    std::uint64_t serial = firstVisibleLine();
    for (int y = 0; y < viewport()->height() && serial < m_history->endLine(); y += height, ++serial) {
        QTextLayout layout;
        layOut(layout, serial);
        layout.draw(&painter, QPointF(left, y));
    }
}

void QtHistoryText::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    QScrollBar* vertical = verticalScrollBar();
    const bool atBottom = vertical->value() >= vertical->maximum();
    updateRanges();
    if (atBottom) {
        vertical->setValue(vertical->maximum());
    }
}

void QtHistoryText::scrollContentsBy(int, int) {
    viewport()->update();
}

std::optional<QtHistoryText::Place> QtHistoryText::placeAt(const QPoint& point) const {
    if (m_history == nullptr || m_history->empty()) {
        return std::nullopt;
    }
    const int row = point.y() < 0 ? -1 : point.y() / rowHeight();
    const auto first = static_cast<long long>(firstVisibleLine());
    const long long wanted =
        std::clamp<long long>(first + row, static_cast<long long>(m_history->firstLine()),
                              static_cast<long long>(m_history->endLine()) - 1);
    const auto serial = static_cast<std::uint64_t>(wanted);
    QTextLayout layout;
    layOut(layout, serial);
    const int units = layout.lineAt(0).xToCursor(point.x() - kMargin + horizontalScrollBar()->value());
    return Place{serial, bytesBefore(layout.text(), units)};
}

void QtHistoryText::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_anchor = placeAt(event->position().toPoint());
    m_cursor = m_anchor;
    m_selecting = true;
    viewport()->update();
}

void QtHistoryText::mouseMoveEvent(QMouseEvent* event) {
    if (!m_selecting) {
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
    if (event->button() == Qt::LeftButton) {
        m_selecting = false;
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
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace corvane
