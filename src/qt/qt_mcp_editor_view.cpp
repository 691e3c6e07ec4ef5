#include "qt/qt_mcp_editor_view.h"

#include "qt/qt_spell_check.h"
#include "qt/qt_find_text.h"
#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QKeyEvent>
#include <QTextBlock>
#include <QVBoxLayout>

namespace corvane {

namespace {

class LineMargin : public QWidget {
public:
    explicit LineMargin(QtNumberedTextEdit* editor)
        : QWidget(editor)
        , m_editor(editor) {}
    QSize sizeHint() const override { return {m_editor->marginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->paintMargin(event); }

private:
    QtNumberedTextEdit* m_editor;
};

} // namespace

QtNumberedTextEdit::QtNumberedTextEdit(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_margin(new LineMargin(this)) {
    connect(this, &QPlainTextEdit::blockCountChanged, this, &QtNumberedTextEdit::onBlockCountChanged);
    connect(this, &QPlainTextEdit::updateRequest, this, &QtNumberedTextEdit::onUpdateRequest);
    onBlockCountChanged();
}

int QtNumberedTextEdit::marginWidth() const {
    int digits = 1;
    for (int count = std::max(1, blockCount()); count >= 10; count /= 10) {
        ++digits;
    }
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void QtNumberedTextEdit::onBlockCountChanged() {
    setViewportMargins(marginWidth(), 0, 0, 0);
}

void QtNumberedTextEdit::onUpdateRequest(const QRect& rect, int dy) {
    if (dy != 0) {
        m_margin->scroll(0, dy);
    } else {
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    }
}

void QtNumberedTextEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect inside = contentsRect();
    m_margin->setGeometry(QRect(inside.left(), inside.top(), marginWidth(), inside.height()));
}

void QtNumberedTextEdit::paintMargin(QPaintEvent* event) {
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.drawText(0, top, m_margin->width() - 4, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
    }
}

QtMcpEditorView::QtMcpEditorView(QWidget* mainWindow, QtSpellCheck* spellCheck)
    : QWidget(mainWindow, Qt::Window)
    , m_text(new QtNumberedTextEdit(this))
    , m_line(new QLineEdit(this))
    , m_find(new QLineEdit(this))
    , m_send(new QPushButton(tr("&Send"), this))
    , m_own(new QPushButton(tr("Edit in My &Own Editor"), this))
    , m_close(new QPushButton(tr("&Close"), this))
    , m_status(new QLabel(this))
    , m_answer(new QPlainTextEdit(this))
    , m_spellCheck(spellCheck) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_text->setFont(fixed);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_line->setFont(fixed);
    m_line->hide();
    m_find->setPlaceholderText(tr("Find (Ctrl+F), Enter for the next"));
    m_find->setClearButtonEnabled(true);
    m_text->setAccessibleName(tr("Text"));
    m_line->setAccessibleName(tr("Text"));
    m_find->setAccessibleName(tr("Find"));
    m_status->setTextFormat(Qt::PlainText);
    m_answer->setObjectName("txtAnswer");
    m_answer->setAccessibleName(tr("The world's answer"));
    m_answer->setReadOnly(true);
    m_answer->setFont(fixed);
    m_answer->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_answer->setMaximumHeight(m_answer->fontMetrics().lineSpacing() * 6 + 12);
    m_answer->hide();
    m_send->setToolTip(tr("Sends the text to the world (Ctrl+S); the window stays open"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_find, 1);
    buttons->addWidget(m_send);
    buttons->addWidget(m_own);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_line);
    layout->addWidget(m_status);
    layout->addWidget(m_answer);
    layout->addLayout(buttons);
    resize(720, 560);

    connect(m_send, &QPushButton::clicked, this, [this] {
        if (m_events) {
            m_events->onSend();
        }
    });
    connect(m_own, &QPushButton::clicked, this, [this] {
        if (m_events) {
            m_events->onOwnEditor();
        }
    });
    connect(m_close, &QPushButton::clicked, this, [this] {
        if (m_events) {
            m_events->onCloseRequested();
        }
    });
    connect(m_find, &QLineEdit::returnPressed, this, &QtMcpEditorView::findNext);
    connect(m_line, &QLineEdit::returnPressed, m_send, &QPushButton::click);
}

void QtMcpEditorView::setTitle(const std::string& title) {
    setWindowTitle(toQt(title));
}

void QtMcpEditorView::setSingleLine(bool singleLine) {
    m_line->setVisible(singleLine);
    m_text->setVisible(!singleLine);
    m_find->setVisible(!singleLine);
    if (singleLine) {
        resize(520, sizeHint().height());
    }
}

void QtMcpEditorView::setSendCaption(const std::string& caption) {
    m_send->setText(toQt(caption));
}

void QtMcpEditorView::setProse(bool prose) {
    if (prose && m_spellCheck != nullptr && !m_spellAttached) {
        m_spellCheck->attach(m_text);
        m_spellCheck->attach(m_line);
        m_spellAttached = true;
    }
}

void QtMcpEditorView::setOwnEditor(OwnEditor state) {
    m_own->setEnabled(state != OwnEditor::Unavailable);
    m_own->setText(state == OwnEditor::InUse ? tr("Stop My &Own Editor") : tr("Edit in My &Own Editor"));
    m_own->setToolTip(state == OwnEditor::InUse
                          ? tr("Saves in your own editor are sent until you press this or close the window")
                          : tr("Opens the text in your desktop's text editor; each save there is sent"));
}

void QtMcpEditorView::setText(const std::string& text) {
    m_text->setPlainText(toQt(text));
    m_line->setText(toQt(text));
    m_text->document()->setModified(false);
}

std::string QtMcpEditorView::text() const {
    return fromQt(m_line->isVisibleTo(this) ? m_line->text() : m_text->toPlainText());
}

void QtMcpEditorView::setAnswer(const std::string& lines) {
    m_answer->setPlainText(toQt(lines));
    m_answer->setVisible(!lines.empty());
    m_answer->moveCursor(QTextCursor::End);
}

void QtMcpEditorView::setStatus(const std::string& status) {
    m_status->setText(toQt(status));
}

void QtMcpEditorView::showWindow() {
    show();
}

void QtMcpEditorView::closeWindow() {
    m_presenterClose.close(*this);
}

void QtMcpEditorView::closeEvent(QCloseEvent* event) {
    m_presenterClose.closeEvent(event, m_events != nullptr, [this] { m_events->onCloseRequested(); });
}

void QtMcpEditorView::keyPressEvent(QKeyEvent* event) {
    // Keys the editor leaves alone come here, whether or not the window is active.
    if (event->matches(QKeySequence::Save)) {
        m_send->click();
        return;
    }
    if (event->matches(QKeySequence::Find) && m_find->isVisible()) {
        m_find->setFocus();
        m_find->selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QtMcpEditorView::findNext() {
    const QString wanted = m_find->text();
    if (wanted.isEmpty()) {
        return;
    }
    if (!FindWrappingRound(m_text, wanted)) {
        setStatus("\"" + fromQt(wanted) + "\" is not in the text.");
    }
}

} // namespace corvane
