#include "qt/qt_conversation_view.h"

#include "qt/qt_output_box.h"
#include "qt/qt_show_quietly.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace corvane {

namespace {
constexpr int kPrefixWidthCharacters = 18;
} // namespace

QtConversationView::QtConversationView(QWidget* mainWindow, const OutputLook* look)
    : QWidget(mainWindow, Qt::Window)
    , m_output(new QtOutputBox(this))
    , m_prefix(new QLineEdit(this))
    , m_input(new QLineEdit(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_output->setObjectName("ConversationOutput");
    m_prefix->setObjectName("ConversationPrefix");
    m_input->setObjectName("ConversationInput");
    m_prefix->setToolTip(tr("Sent before each line typed here"));
    if (look != nullptr) {
        m_output->setDisplayLook(look->plain.font(), look->text, look->background);
    }
    m_prefix->setFixedWidth(m_prefix->fontMetrics().averageCharWidth() * kPrefixWidthCharacters);

    auto* row = new QHBoxLayout;
    row->addWidget(m_prefix);
    row->addWidget(m_input, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_output, 1);
    layout->addLayout(row);
    setFocusProxy(m_input);
    resize(520, 300);

    connect(m_input, &QLineEdit::returnPressed, this, [this] {
        if (m_events != nullptr) {
            m_events->onSendTyped(m_input->text().toStdString());
        }
    });
    connect(m_prefix, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_events != nullptr) {
            m_events->onPrefixEdited(text.toStdString());
        }
    });
    QtOutputBox::Handlers handlers;
    handlers.doubleClick = [this] {
        if (m_events != nullptr) {
            m_events->onOutputDoubleClicked();
        }
    };
    // Typing while the output has the focus goes on in the input line, as in the main window.
    handlers.typed = [this](QKeyEvent* event) {
        m_input->setFocus();
        QCoreApplication::sendEvent(m_input, event);
    };
    m_output->setHandlers(std::move(handlers));
}

void QtConversationView::setTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

void QtConversationView::setPrefix(const std::string& prefix) {
    m_prefix->setText(QString::fromStdString(prefix));
}

void QtConversationView::appendLine(const TextLine& line) {
    if (m_lineCount > 0) {
        m_output->appendLineBreak();
    }
    ++m_lineCount;
    std::vector<OutputSpan> spans;
    spans.reserve(line.spans.size());
    for (const StyleSpan& span : line.spans) {
        spans.push_back(OutputSpan{span.start, span.length, span.style, -1});
    }
    m_output->appendText(line.text, spans, {});
    m_output->endUpdate();
}

void QtConversationView::dropOldest(int count) {
    if (count >= m_lineCount) {
        m_output->clearText();
        m_lineCount = 0;
    } else {
        m_output->trimFront(count, 0);
        m_lineCount -= count;
    }
    m_output->endUpdate();
}

void QtConversationView::clearInput() {
    m_input->clear();
}

void QtConversationView::showQuietly() {
    ShowQuietly(this);
}

std::string QtConversationView::caretLine(int& caretOffset) const {
    return m_output->caretLine(caretOffset);
}

void QtConversationView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_events != nullptr) {
        m_events->onActivated();
    }
}

} // namespace corvane
