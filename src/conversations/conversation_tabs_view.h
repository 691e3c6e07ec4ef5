#pragma once

#include <string>

namespace corvane {

class ConversationView;

// What the player does in the Conversations window.
class ConversationTabsViewEvents {
public:
    virtual ~ConversationTabsViewEvents() = default;
    // A tab was clicked.
    virtual void onTabChosen(int index) = 0;
    // Ctrl+Tab and Ctrl+Page Down (+1), Ctrl+Shift+Tab and Ctrl+Page Up (-1).
    virtual void onStepTab(int step) = 0;
    // The tab's close button: the conversation keeps its lines.
    virtual void onTabClosed(int index) = 0;
    // "Move to its own window" on the tab.
    virtual void onMoveToOwnWindow(int index) = 0;
    // The window became the active one.
    virtual void onWindowActivated() = 0;
};

// The Conversations window: a tab for each conversation, whose page is that
// conversation's own window (output, prefix and input line). The window
// never decides which tab shows or what a tab says; it is told.
class ConversationTabsView {
public:
    virtual ~ConversationTabsView() = default;
    virtual void setEvents(ConversationTabsViewEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // `page` came from the same view factory; it stays owned by its conversation.
    virtual void insertTab(int index, ConversationView& page, const std::string& label) = 0;
    // The page leaves the window; it is not destroyed.
    virtual void removeTab(int index) = 0;
    virtual void setTabLabel(int index, const std::string& label) = 0;
    virtual void setCurrentTab(int index) = 0;
    // The page, out of the window, becomes a window of its own (not yet shown).
    virtual void releasePage(ConversationView& page) = 0;
    // Shows the window without taking the keyboard from where the player types.
    virtual void showQuietly() = 0;
    // Shows the window, makes it the active one and puts the keyboard in the
    // current tab's input line: the player asked for it.
    virtual void showActive() = 0;
    virtual void hideWindow() = 0;
    virtual bool isShown() const = 0;
    virtual bool isActive() const = 0;
};

} // namespace corvane
