#include "qt/qt_output_box.h"

#include "core/session_history.h"
#include "qt/qt_output_format.h"
#include "qt/qt_scrollback_pane.h"
#include "qt/qt_text.h"
#include "qt/qt_twips.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMenu>
#include <QLabel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>

namespace corvane {

namespace {

// Kept lines use a few formats each; past this many the document is rebuilt
// from the kept lines alone, which drops the formats no line uses any more.
constexpr qsizetype kMaxFormats = 2048;
constexpr int kRunsBetweenFormatChecks = 1024;
// The pane covers this share of the box; the live lines keep the rest.
constexpr int kPaneShareNumerator = 2;
constexpr int kPaneShareDenominator = 3;

} // namespace

QtOutputBox::QtOutputBox(QWidget* parent)
    : QPlainTextEdit(parent) {
    setObjectName("Text2");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The pointer becomes a hand over an MXP link.
    viewport()->setMouseTracking(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    document()->setDocumentMargin(4);
    setDisplayLook(QFont("Monospace"), palette().color(QPalette::Text), palette().color(QPalette::Base));
    // Dragging or clicking the scroll bar upwards opens the pane instead of
    // moving the live lines, which stay at the newest.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        QScrollBar* bar = verticalScrollBar();
        if (m_scrollHistory == nullptr || action == QAbstractSlider::SliderNoAction ||
            bar->sliderPosition() >= bar->maximum()) {
            return;
        }
        const int rows = bar->maximum() - bar->sliderPosition();
        bar->setSliderPosition(bar->maximum());
        if (m_pane != nullptr && m_pane->isVisible()) {
            m_pane->scrollRows(-rows);
        } else {
            openScrollback(rows);
        }
    });
    connect(this, &QPlainTextEdit::copyAvailable, this, [this](bool selected) {
        if (m_handlers.selectionChanged) {
            m_handlers.selectionChanged(selected);
        }
    });
}

void QtOutputBox::setScrollback(const SessionHistory* history) {
    if (history == nullptr) {
        closeScrollback();
    }
    m_scrollHistory = history;
    if (m_pane != nullptr) {
        m_pane->setHistory(history);
    }
}

void QtOutputBox::setLinks(const MxpLinks* links) {
    m_links = links;
    if (m_pane != nullptr) {
        m_pane->setLinks(links);
    }
}

void QtOutputBox::setPauseBar(const std::string& text) {
    if (text.empty()) {
        if (m_pauseBar != nullptr) {
            m_pauseBar->hide();
        }
        return;
    }
    if (m_pauseBar == nullptr) {
        m_pauseBar = new QLabel(this);
        m_pauseBar->setObjectName("lblPaused");
        m_pauseBar->setAccessibleName(tr("Output paused"));
        m_pauseBar->setTextFormat(Qt::PlainText);
        m_pauseBar->setAutoFillBackground(true);
        m_pauseBar->setMargin(3);
        // The colours of a tool tip: a note over the text, readable in any theme.
        QPalette look = m_pauseBar->palette();
        look.setColor(QPalette::Window, look.color(QPalette::ToolTipBase));
        look.setColor(QPalette::WindowText, look.color(QPalette::ToolTipText));
        m_pauseBar->setPalette(look);
        // Clicks go through to the text below, which may be being selected.
        m_pauseBar->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_pauseBar->setText(toQt(text));
    placePauseBar();
    m_pauseBar->show();
    m_pauseBar->raise();
}

void QtOutputBox::placePauseBar() {
    if (m_pauseBar != nullptr) {
        const QRect area = viewport()->geometry();
        const int height = m_pauseBar->sizeHint().height();
        m_pauseBar->setGeometry(area.x(), area.bottom() + 1 - height, area.width(), height);
    }
}

void QtOutputBox::placeScrollback() {
    if (m_pane != nullptr) {
        const QRect area = viewport()->geometry();
        m_pane->setGeometry(area.x(), area.y(), area.width(),
                            area.height() * kPaneShareNumerator / kPaneShareDenominator);
    }
}

void QtOutputBox::openScrollback(int rowsUp) {
    if (m_scrollHistory == nullptr || m_scrollHistory->empty()) {
        return;
    }
    if (m_pane == nullptr) {
        m_pane = new QtScrollbackPane(this);
        m_pane->setCloseHandler([this] { closeScrollback(); });
        m_pane->setHistory(m_scrollHistory);
        m_pane->setLinks(m_links);
        // A link read back acts as it did below.
        m_pane->setLinkHandler([this](std::uint32_t link) {
            if (m_handlers.linkClicked) {
                m_handlers.linkClicked(link);
            }
        });
    }
    if (m_pane->isVisible()) {
        m_pane->scrollRows(-rowsUp);
        return;
    }
    m_pane->setLook(displayLook());
    placeScrollback();
    m_pane->scrollToNewest();
    m_pane->show();
    // The pane ends where the live lines below it begin, then goes up.
    const int liveRows = visibleRows() - visibleRows() * kPaneShareNumerator / kPaneShareDenominator;
    m_pane->showLinesAboveNewest(static_cast<std::uint64_t>(std::max(liveRows, 0) + std::max(rowsUp, 0)));
}

void QtOutputBox::closeScrollback() {
    if (m_pane != nullptr && m_pane->isVisible()) {
        m_pane->hide();
    }
}

bool QtOutputBox::scrollbackKey(int key) {
    if (m_pane != nullptr && m_pane->isVisible()) {
        return m_pane->scrollKey(key);
    }
    if (key == Qt::Key_PageUp && m_scrollHistory != nullptr && !m_scrollHistory->empty()) {
        openScrollback(visibleRows() * kPaneShareNumerator / kPaneShareDenominator);
        return true;
    }
    return false;
}

void QtOutputBox::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40;
    if (m_scrollHistory != nullptr && (steps > 0 || (m_pane != nullptr && m_pane->isVisible()))) {
        if (m_pane != nullptr && m_pane->isVisible()) {
            m_pane->scrollRows(-steps);
        } else {
            openScrollback(steps);
        }
        event->accept();
        return;
    }
    QPlainTextEdit::wheelEvent(event);
}

void QtOutputBox::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    placeScrollback();
    placePauseBar();
}

void QtOutputBox::setDisplayLook(const QFont& font, const QColor& text, const QColor& background) {
    m_text = text;
    m_background = background;
    QFont shown = font;
    shown.setStyleHint(QFont::TypeWriter);
    setFont(shown);
    QPalette p = palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Base, background);
    setPalette(p);
    // Plain text takes the widget's font rather than a copy of it, so the
    // lines already shown follow a new font too.
    m_plain = QTextCharFormat();
    m_plain.setForeground(text);
    emit displayLookChanged();
}

OutputLook QtOutputBox::displayLook() const {
    QTextCharFormat plain = m_plain;
    plain.setFont(font());
    return OutputLook{plain, m_text, m_background};
}

QTextCharFormat QtOutputBox::formatFor(const OutputSpan* span, const std::vector<TriggerLook>& looks) const {
    return OutputFormat(OutputLook{m_plain, m_text, m_background}, span, looks);
}

QTextCursor& QtOutputBox::batchCursor() {
    if (!m_inBatch) {
        m_batch = QTextCursor(document());
        m_batch.beginEditBlock();
        m_inBatch = true;
    }
    return m_batch;
}

void QtOutputBox::toEnd(QTextCursor& cursor) const {
    // Not movePosition(End): that lays out the block the cursor leaves.
    cursor.setPosition(document()->characterCount() - 1);
}

void QtOutputBox::countRun() {
    if (++m_runsSinceCheck < kRunsBetweenFormatChecks) {
        return;
    }
    m_runsSinceCheck = 0;
    if (!m_rebuild && document()->allFormats().size() > kMaxFormats) {
        m_rebuild = true;
    }
}

void QtOutputBox::appendText(std::string_view utf8, const std::vector<OutputSpan>& spans,
                             const std::vector<TriggerLook>& looks) {
    QTextCursor& cursor = batchCursor();
    toEnd(cursor);
    std::size_t at = 0;
    const auto insert = [&](std::size_t from, std::size_t to, const OutputSpan* span) {
        if (to > from) {
            cursor.insertText(QString::fromUtf8(utf8.data() + from, static_cast<qsizetype>(to - from)),
                              formatFor(span, looks));
            countRun();
        }
    };
    for (const OutputSpan& span : spans) {
        const std::size_t start = std::min<std::size_t>(span.start, utf8.size());
        const std::size_t end = std::min<std::size_t>(span.start + span.length, utf8.size());
        if (start < at) {
            continue;
        }
        insert(at, start, nullptr);
        insert(start, end, &span);
        at = end;
    }
    insert(at, utf8.size(), nullptr);
}

void QtOutputBox::appendPlainLines(const QString& lines) {
    if (lines.isEmpty()) {
        return;
    }
    QTextCursor& cursor = batchCursor();
    toEnd(cursor);
    cursor.insertText(lines, m_plain);
    countRun();
}

void QtOutputBox::appendLineBreak() {
    QTextCursor& cursor = batchCursor();
    toEnd(cursor);
    cursor.insertBlock(QTextBlockFormat(), m_plain);
}

void QtOutputBox::trimFront(int lines, int characters) {
    QTextCursor& cursor = batchCursor();
    // Straight to the first kept line: the block map finds it by number.
    const QTextBlock first = document()->findBlockByNumber(lines);
    int end = 0;
    if (!first.isValid()) {
        end = document()->characterCount() - 1;
    } else {
        end = first.position();
        if (characters > 0) {
            // Code points to UTF-16 units within the block now first.
            const QString block = first.text();
            int units = 0;
            for (int seen = 0; seen < characters && units < block.size(); ++seen) {
                units += (block.at(units).isHighSurrogate() && units + 1 < block.size()) ? 2 : 1;
            }
            end += units;
        }
    }
    cursor.setPosition(0);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void QtOutputBox::clearText() {
    if (m_inBatch) {
        m_batch.endEditBlock();
        m_inBatch = false;
    }
    // Clearing also empties the document's store of formats.
    document()->clear();
    m_rebuild = false;
    m_runsSinceCheck = 0;
}

void QtOutputBox::endUpdate() {
    // With its updates off the box scrolls without laying out the blocks
    // between the old and the new top line; the paint that follows lays out
    // only what is seen.
    QWidget* area = viewport();
    const bool updates = area->updatesEnabled();
    area->setUpdatesEnabled(false);
    if (m_inBatch) {
        // The one change of this batch: the scroll bar follows it once.
        m_batch.endEditBlock();
        m_inBatch = false;
        m_batch = QTextCursor();
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
    area->setUpdatesEnabled(updates);
    if (m_pane != nullptr && m_pane->isVisible()) {
        m_pane->linesChanged();
    }
}

void QtOutputBox::repaint() {
    viewport()->update();
}

int QtOutputBox::outputWidth() const {
    return ToTwips(viewport()->width(), this);
}

int QtOutputBox::characterWidth(char32_t character) const {
    // The widget's font: it is already the new one while its change is reported.
    const QFontMetrics metrics(font());
    return ToTwips(metrics.horizontalAdvance(QString::fromUcs4(&character, 1)), this);
}

int QtOutputBox::visibleRows() const {
    return viewport()->height() / std::max(fontMetrics().lineSpacing(), 1);
}

bool QtOutputBox::hasSelection() const {
    return textCursor().hasSelection();
}

std::string QtOutputBox::selectedText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return fromQt(text);
}

void QtOutputBox::collapseSelection() {
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
}

void QtOutputBox::selectAll() {
    QPlainTextEdit::selectAll();
}

void QtOutputBox::focusOutput() {
    setFocus();
}

std::string QtOutputBox::caretLine(int& caretOffset) const {
    QTextCursor cursor(document());
    cursor.setPosition(m_clickedPosition >= 0 ? m_clickedPosition : textCursor().position());
    const QTextBlock block = cursor.block();
    // 1-based index of the clicked character within its line.
    caretOffset = cursor.position() - block.position() + 1;
    return fromQt(block.text());
}

void QtOutputBox::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    if (m_handlers.focusIn) {
        m_handlers.focusIn();
    }
}

void QtOutputBox::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (m_handlers.focusOut) {
        m_handlers.focusOut();
    }
}

namespace {

bool typesIntoTheInputLine(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
        return true;
    default:
        break;
    }
    // AltGr may arrive as Ctrl+Alt and still types; Ctrl alone or Alt alone is a command.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (modifiers == Qt::ControlModifier || modifiers == Qt::AltModifier) {
        return false;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

void QtOutputBox::keyPressEvent(QKeyEvent* event) {
    if (scrollbackKey(event->key())) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_handlers.escape) {
        m_handlers.escape();
        event->accept();
        return;
    }
    // Read-only for the keyboard; copying a selection is the one key kept.
    if (event->matches(QKeySequence::Copy)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // What the player types is never lost: it goes on in the input line.
    if (m_handlers.typed && typesIntoTheInputLine(event)) {
        m_handlers.typed(event);
        return;
    }
    event->accept();
}

void QtOutputBox::mousePressEvent(QMouseEvent* event) {
    m_pressPoint = event->position().toPoint();
    m_doubleClickPress = false;
    QPlainTextEdit::mousePressEvent(event);
}

void QtOutputBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    // A click, not the end of a drag that selects, nor a double-click's second press.
    const bool click = event->button() == Qt::LeftButton && !m_doubleClickPress &&
                       (at - m_pressPoint).manhattanLength() < QApplication::startDragDistance();
    QPlainTextEdit::mouseReleaseEvent(event);
    if (click && m_handlers.linkClicked) {
        if (const std::uint32_t link = linkAt(at)) {
            m_handlers.linkClicked(link);
        }
    }
}

void QtOutputBox::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton) {
        viewport()->setCursor(linkAt(event->position().toPoint()) != 0 ? Qt::PointingHandCursor : Qt::IBeamCursor);
    }
}

bool QtOutputBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        ShowLinkToolTip(LinkToolTip(m_links, linkAt(help->pos())), *help, viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

std::uint32_t QtOutputBox::linkAt(const QPoint& point) const {
    QTextCursor at = cursorForPosition(point);
    // The character under the pointer: the nearest boundary may be after it.
    if (point.x() < cursorRect(at).x() && at.position() > at.block().position()) {
        at.movePosition(QTextCursor::PreviousCharacter);
    }
    if (at.atBlockEnd() || !cursorRect(at).adjusted(0, 0, 0, 1).contains(cursorRect(at).x(), point.y())) {
        return 0;
    }
    at.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    const QVariant link = at.charFormat().property(kLinkProperty);
    return link.isValid() ? static_cast<std::uint32_t>(link.toULongLong()) : 0;
}

int QtOutputBox::chooseFromMenu(const std::vector<std::string>& captions) {
    QMenu menu(this);
    menu.setObjectName("mxpLinkMenu");
    menu.setAccessibleName(tr("Link commands"));
    for (const std::string& caption : captions) {
        // The world's words, shown as they are: an ampersand is no shortcut.
        menu.addAction(toQt(caption).replace('&', QStringLiteral("&&")));
    }
    const QAction* picked = menu.exec(QCursor::pos());
    return picked == nullptr ? -1 : static_cast<int>(menu.actions().indexOf(picked));
}

void QtOutputBox::mouseDoubleClickEvent(QMouseEvent* event) {
    m_doubleClickPress = true;
    const QTextCursor at = cursorForPosition(event->position().toPoint());
    QPlainTextEdit::mouseDoubleClickEvent(event);
    // The character under the pointer, not the end of the word Qt selected.
    const QRect caret = cursorRect(at);
    m_clickedPosition = at.position();
    if (event->position().x() < caret.x() && m_clickedPosition > at.block().position()) {
        --m_clickedPosition;
    }
    if (m_handlers.doubleClick) {
        m_handlers.doubleClick();
    }
    m_clickedPosition = -1;
}

} // namespace corvane
