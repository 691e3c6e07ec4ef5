#pragma once

#include "conversations/conversation_tabs_view.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <map>
#include <optional>

class QTabWidget;

namespace corvane {

class QtConversationView;

// The Conversations window: a tab widget whose pages are the conversation
// windows themselves (output, prefix, input line), named "Alice (2)" while
// two of Alice's lines are unread. Ctrl+Tab, Ctrl+Shift+Tab and
// Ctrl+Page Up/Down go round the tabs; a tab's menu moves it to a window of
// its own. Closing the window hides it; its tabs stay.
class QtConversationTabsView : public QWidget, public ConversationTabsView {
    Q_OBJECT
public:
    explicit QtConversationTabsView(QWidget* mainWindow);

    void setEvents(ConversationTabsViewEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void insertTab(int index, ConversationView& page, const std::string& label) override;
    void removeTab(int index) override;
    void setTabLabel(int index, const std::string& label) override;
    void setCurrentTab(int index) override;
    void releasePage(ConversationView& page) override;
    void showQuietly() override;
    void showActive() override;
    void hideWindow() override { hide(); }
    bool isShown() const override { return isVisible(); }
    bool isActive() const override { return isActiveWindow(); }

    QTabWidget* tabs() const { return m_tabs; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void nameCloseButtons();
    void updateSoon();
    void frame();
    void applyLabels();
    void showTabMenu(const QPoint& at);
    void followWithKeyboard();

    QWidget* m_mainWindow;
    ConversationTabsViewEvents* m_events = nullptr;
    QTabWidget* m_tabs;
    // While the presenter changes the tabs, the tab widget's own signals are not the player's.
    bool m_told = false;
    // Labels and the title wait for the next frame while the window shows.
    std::map<int, QString> m_labels;
    std::optional<QString> m_title;
    QTimer m_frame;
    QElapsedTimer m_lastFrame;
};

} // namespace corvane
