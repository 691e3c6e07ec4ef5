#include "qt/qt_spell_underline.h"

#include "qt/qt_text.h"
#include "spell/spell_checker.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

namespace corvane {

void DrawSpellWave(QPainter& painter, qreal x1, qreal x2, qreal y) {
    constexpr qreal kHalfWave = 2.0;
    constexpr qreal kHeight = 1.5;
    QPainterPath path(QPointF(x1, y));
    bool up = true;
    for (qreal x = x1 + kHalfWave; x < x2 + kHalfWave; x += kHalfWave) {
        path.lineTo(std::min(x, x2), up ? y - kHeight : y + kHeight);
        up = !up;
    }
    painter.setPen(QPen(QColor(0xE0, 0x1B, 0x24), 1.0));
    painter.drawPath(path);
}

QtSpellUnderline::QtSpellUnderline(QLineEdit* line, SpellChecker& checker)
    : QWidget(line)
    , m_line(line)
    , m_checker(checker) {
    setObjectName("spellUnderline");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(line->rect());
    line->installEventFilter(this);
    connect(line, &QLineEdit::textChanged, this, &QtSpellUnderline::recheck);
    recheck();
    show();
}

QtSpellUnderline::~QtSpellUnderline() = default;

void QtSpellUnderline::recheck() {
    m_text = m_line->text();
    const std::string utf8 = fromQt(m_text);
    m_marked = m_line->echoMode() == QLineEdit::Normal ? toQtRanges(utf8, m_checker.misspelt(utf8))
                                                       : QList<QtSpellRange>();
    layOut();
    update();
}

QStringList QtSpellUnderline::markedWords() const {
    QStringList words;
    for (const QtSpellRange& range : m_marked) {
        words.append(m_text.mid(range.start, range.length));
    }
    return words;
}

void QtSpellUnderline::layOut() {
    m_layout.reset();
    if (m_marked.isEmpty()) {
        return;
    }
    // The line edit lays its text out the same way; only the x of each
    // position is needed from this one.
    m_layout = std::make_unique<QTextLayout>(m_text, m_line->font());
    m_layout->beginLayout();
    m_layout->createLine();
    m_layout->endLayout();
}

bool QtSpellUnderline::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_line) {
        switch (event->type()) {
        case QEvent::Resize:
            setGeometry(m_line->rect());
            break;
        case QEvent::FontChange:
            layOut();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtSpellUnderline::paintEvent(QPaintEvent*) {
    if (m_layout == nullptr || m_line->echoMode() != QLineEdit::Normal || m_line->text() != m_text) {
        return;
    }
    const QTextLine textLine = m_layout->lineAt(0);
    // QLineEdit's cursor rectangle (given to input methods) starts 5 pixels
    // left of the caret: from it comes how far the text is scrolled, which
    // the line does not tell otherwise.
    const QRect caret = m_line->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const qreal origin = caret.left() + 5 - textLine.cursorToX(m_line->cursorPosition());
    const qreal y = caret.top() + textLine.ascent() + std::max<qreal>(1.5, textLine.descent() / 2);

    QStyleOptionFrame frame;
    frame.initFrom(m_line);
    frame.lineWidth = m_line->hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, m_line) : 0;
    QPainter painter(this);
    painter.setClipRect(style()->subElementRect(QStyle::SE_LineEditContents, &frame, m_line));
    painter.setRenderHint(QPainter::Antialiasing);
    for (const QtSpellRange& range : m_marked) {
        const qreal x1 = origin + textLine.cursorToX(range.start);
        const qreal x2 = origin + textLine.cursorToX(range.start + range.length);
        DrawSpellWave(painter, std::min(x1, x2), std::max(x1, x2), y);
    }
}

} // namespace corvane
