#pragma once

#include "conversations/conversation_tabs_view.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ConversationTab;
class ConversationView;

// The Conversations window: every conversation that opens is a tab of one
// window instead of a window of its own. A tab is added at the end and the
// one on show stays on show, so a line for another conversation only marks
// that tab with its unread count; the window's title has the total. The
// window opens quietly by itself and only the player's own choice (the
// list, a click, Ctrl+Tab) changes which tab shows. A tab can move to a
// window of its own and back.
class ConversationTabs : private ConversationTabsViewEvents {
public:
    using MakeView = std::function<std::unique_ptr<ConversationTabsView>()>;

    explicit ConversationTabs(MakeView makeView);
    ~ConversationTabs() override;
    ConversationTabs(const ConversationTabs&) = delete;
    ConversationTabs& operator=(const ConversationTabs&) = delete;

    // The conversation `name`'s window made a tab; the page itself when the
    // Conversations window cannot be made.
    std::unique_ptr<ConversationView> wrap(const std::string& name, std::unique_ptr<ConversationView> page);

    // The names of the tabs in the window, in their order.
    std::vector<std::string> tabNames() const;
    // The tab on show, or -1.
    int current() const { return m_current; }
    std::size_t totalUnread() const;

    // For the tabs themselves.
    void show(ConversationTab& tab, bool active);
    bool shown(const ConversationTab& tab) const;
    bool active(const ConversationTab& tab) const;
    void unreadChanged(ConversationTab& tab);
    void backIntoTabs(ConversationTab& tab);
    void forget(ConversationTab& tab);

private:
    void onTabChosen(int index) override;
    void onStepTab(int step) override;
    void onTabClosed(int index) override;
    void onMoveToOwnWindow(int index) override;
    void onWindowActivated() override;

    int indexOf(const ConversationTab& tab) const;
    void add(ConversationTab& tab);
    // With `seeNext`, the tab that comes on show in the active window has been seen.
    void remove(int index, bool seeNext);
    void choose(int index);
    void seeCurrent();
    void updateTitle();

    MakeView m_makeView;
    std::unique_ptr<ConversationTabsView> m_view;
    bool m_noView = false;
    // In the window, in their order.
    std::vector<ConversationTab*> m_tabs;
    int m_current = -1;
    std::string m_title;
};

} // namespace corvane
