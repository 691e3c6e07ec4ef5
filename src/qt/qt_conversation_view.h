#pragma once

#include "conversations/conversation_view.h"
#include "qt/qt_output_format.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <optional>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace corvane {

class QtOutputBox;

// A conversation window: the main window's output box and colours for its
// lines, and under them the prefix its lines are sent with and its own input
// line. Closing it hides it; the conversation keeps its lines.
class QtConversationView : public QWidget, public ConversationView {
    Q_OBJECT
public:
    QtConversationView(QWidget* mainWindow, const OutputLook* look);

    void setEvents(ConversationViewEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void setPrefix(const std::string& prefix) override;
    void appendLine(const TextLine& line) override;
    void dropOldest(int count) override;
    void clearInput() override;
    void showQuietly() override;
    void showActive() override;
    bool isShown() const override { return isVisible(); }
    bool isActive() const override { return isActiveWindow(); }
    std::string caretLine(int& caretOffset) const override;
    void offerBackIntoTabs(bool offered) override;

    // The line the player types in (a spell checker attaches here).
    QLineEdit* input() const { return m_input; }
    QLineEdit* prefix() const { return m_prefix; }
    QtOutputBox* output() const { return m_output; }
    QPushButton* backIntoTabs() const { return m_backIntoTabs; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Lines reach the box, and a shown window takes a new title or prefix,
    // at most once a frame: a burst of pages costs one edit and one paint,
    // and lines dropped before they were drawn never reach the box. A hidden
    // one (a tab not on show) lays out nothing until it is shown: twenty
    // conversations in a flood would otherwise each edit their box per line.
    void updateSoon();
    void frame();
    void applyTitleAndPrefix();
    void putWaitingLines();

    ConversationViewEvents* m_events = nullptr;
    QtOutputBox* m_output;
    QLineEdit* m_prefix;
    QLineEdit* m_input;
    QHBoxLayout* m_row = nullptr;
    // Only while it is a tab moved to a window of its own.
    QPushButton* m_backIntoTabs = nullptr;
    int m_lineCount = 0;
    QTimer m_frame;
    QElapsedTimer m_lastFrame;
    std::deque<TextLine> m_waiting;
    // Lines to take from the front of the box in the next frame.
    int m_dropFromBox = 0;
    std::optional<QString> m_title;
    std::optional<QString> m_prefixText;
};

} // namespace corvane
