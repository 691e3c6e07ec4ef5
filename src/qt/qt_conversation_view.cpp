#include "qt/qt_conversation_view.h"

#include "qt/qt_output_box.h"
#include "qt/qt_show_quietly.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace corvane {

namespace {
constexpr int kPrefixWidthCharacters = 18;
constexpr int kFrameMilliseconds = 100;
// A window the player is not in, while its lines keep coming: a stream of
// pages still shows within a third of a second, and twenty such windows in a
// flood do not each lay out and paint ten times a second.
constexpr int kBackgroundFrameMilliseconds = 300;
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
    m_output->setAccessibleName(tr("Conversation"));
    m_prefix->setAccessibleName(tr("Prefix"));
    m_prefix->setAccessibleDescription(tr("Sent before each line typed here"));
    m_input->setAccessibleName(tr("Say"));
    m_input->setAccessibleDescription(tr("Enter sends the line with the prefix before it"));
    if (look != nullptr) {
        m_output->setDisplayLook(look->plain.font(), look->text, look->background);
    }
    m_prefix->setFixedWidth(m_prefix->fontMetrics().averageCharWidth() * kPrefixWidthCharacters);

    auto* row = new QHBoxLayout;
    m_row = row;
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
        // What the player typed there wins over a prefix still waiting to be shown.
        m_prefixText.reset();
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
    m_frame.setSingleShot(true);
    m_frame.setInterval(kFrameMilliseconds);
    connect(&m_frame, &QTimer::timeout, this, &QtConversationView::frame);
}

void QtConversationView::updateSoon() {
    if (!isVisible()) {
        return;
    }
    if (!m_frame.isActive()) {
        const bool streaming = m_lastFrame.isValid() && m_lastFrame.elapsed() < kBackgroundFrameMilliseconds;
        m_frame.start(streaming && !isActiveWindow() ? kBackgroundFrameMilliseconds : kFrameMilliseconds);
    }
}

void QtConversationView::frame() {
    m_lastFrame.start();
    applyTitleAndPrefix();
    if (isVisible() && (!m_waiting.empty() || m_dropFromBox > 0)) {
        putWaitingLines();
    }
}

void QtConversationView::applyTitleAndPrefix() {
    if (m_title) {
        setWindowTitle(*m_title);
        m_title.reset();
    }
    if (m_prefixText) {
        m_prefix->setText(*m_prefixText);
        m_prefixText.reset();
    }
}

void QtConversationView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    frame();
}

void QtConversationView::setTitle(const std::string& title) {
    m_title = QString::fromStdString(title);
    updateSoon();
}

void QtConversationView::setPrefix(const std::string& prefix) {
    m_prefixText = QString::fromStdString(prefix);
    updateSoon();
}

void QtConversationView::appendLine(const TextLine& line) {
    m_waiting.push_back(line);
    updateSoon();
}

void QtConversationView::dropOldest(int count) {
    // The box's lines go first, then lines that never reached it.
    const int fromBox = std::min(count, m_lineCount - m_dropFromBox);
    m_dropFromBox += fromBox;
    for (int i = fromBox; i < count && !m_waiting.empty(); ++i) {
        m_waiting.pop_front();
    }
    updateSoon();
}

void QtConversationView::putWaitingLines() {
    if (m_dropFromBox >= m_lineCount) {
        m_output->clearText();
        m_lineCount = 0;
    } else if (m_dropFromBox > 0) {
        m_output->trimFront(m_dropFromBox, 0);
        m_lineCount -= m_dropFromBox;
    }
    m_dropFromBox = 0;
    // Lines without colours go in together: one edit of the box, not one a line.
    QString plain;
    std::vector<OutputSpan> spans;
    for (const TextLine& line : m_waiting) {
        if (line.spans.empty()) {
            if (m_lineCount > 0) {
                plain += QChar::ParagraphSeparator;
            }
            ++m_lineCount;
            plain += QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size()));
            continue;
        }
        m_output->appendPlainLines(plain);
        plain.clear();
        if (m_lineCount > 0) {
            m_output->appendLineBreak();
        }
        ++m_lineCount;
        spans.clear();
        for (const StyleSpan& span : line.spans) {
            spans.push_back(OutputSpan{span.start, span.length, span.style, -1});
        }
        m_output->appendText(line.text, spans, {});
    }
    m_output->appendPlainLines(plain);
    m_waiting.clear();
    m_output->endUpdate();
}

void QtConversationView::clearInput() {
    m_input->clear();
}

void QtConversationView::showQuietly() {
    ShowQuietly(this);
}

void QtConversationView::showActive() {
    show();
    raise();
    activateWindow();
    m_input->setFocus();
}

void QtConversationView::offerBackIntoTabs(bool offered) {
    if (!offered && m_backIntoTabs == nullptr) {
        return;
    }
    // Made when first offered: most conversations are never moved out.
    if (m_backIntoTabs == nullptr) {
        m_backIntoTabs = new QPushButton(tr("&Back into Conversations"), this);
        m_backIntoTabs->setObjectName("ConversationBackIntoTabs");
        m_backIntoTabs->setAccessibleName(tr("Back into the Conversations window"));
        m_backIntoTabs->setToolTip(tr("Back into the Conversations window, as a tab"));
        m_backIntoTabs->setAutoDefault(false);
        m_row->addWidget(m_backIntoTabs);
        connect(m_backIntoTabs, &QPushButton::clicked, this, [this] {
            if (m_events != nullptr) {
                m_events->onBackIntoTabs();
            }
        });
    }
    m_backIntoTabs->setVisible(offered);
}

std::string QtConversationView::caretLine(int& caretOffset) const {
    return m_output->caretLine(caretOffset);
}

void QtConversationView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_events != nullptr) {
        // A window shown by itself may be handed the activation for a moment
        // before it goes back (see ShowQuietly): only one still active once
        // that has settled has been looked at.
        QTimer::singleShot(0, this, [this] {
            if (isActiveWindow() && m_events != nullptr) {
                m_events->onActivated();
            }
        });
    }
}

} // namespace corvane
