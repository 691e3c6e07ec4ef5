#include "conversations/conversation_tabs.h"

#include "conversations/conversation_tab.h"

#include <algorithm>

namespace corvane {

ConversationTabs::ConversationTabs(MakeView makeView)
    : m_makeView(std::move(makeView)) {}

ConversationTabs::~ConversationTabs() {
    if (m_view) {
        m_view->setEvents(nullptr);
    }
}

std::unique_ptr<ConversationView> ConversationTabs::wrap(const std::string& name,
                                                         std::unique_ptr<ConversationView> page) {
    if (!page) {
        return page;
    }
    if (!m_view && !m_noView) {
        m_view = m_makeView ? m_makeView() : nullptr;
        m_noView = !m_view;
        if (m_view) {
            m_view->setEvents(this);
            updateTitle();
        }
    }
    if (!m_view) {
        return page;
    }
    return std::make_unique<ConversationTab>(*this, name, std::move(page));
}

std::vector<std::string> ConversationTabs::tabNames() const {
    std::vector<std::string> names;
    for (const ConversationTab* tab : m_tabs) {
        names.push_back(tab->name());
    }
    return names;
}

std::size_t ConversationTabs::totalUnread() const {
    std::size_t total = 0;
    for (const ConversationTab* tab : m_tabs) {
        total += tab->unread();
    }
    return total;
}

int ConversationTabs::indexOf(const ConversationTab& tab) const {
    const auto found = std::find(m_tabs.begin(), m_tabs.end(), &tab);
    return found == m_tabs.end() ? -1 : static_cast<int>(found - m_tabs.begin());
}

void ConversationTabs::show(ConversationTab& tab, bool active) {
    if (tab.ownWindow()) {
        if (active) {
            tab.page().showActive();
        } else {
            tab.page().showQuietly();
        }
        return;
    }
    if (indexOf(tab) < 0) {
        add(tab);
    }
    if (!active) {
        if (!m_view->isShown()) {
            m_view->showQuietly();
        }
        return;
    }
    choose(indexOf(tab));
    m_view->showActive();
    seeCurrent();
}

bool ConversationTabs::shown(const ConversationTab& tab) const {
    if (tab.ownWindow()) {
        return tab.page().isShown();
    }
    return indexOf(tab) >= 0 && m_view->isShown();
}

bool ConversationTabs::active(const ConversationTab& tab) const {
    if (tab.ownWindow()) {
        return tab.page().isActive();
    }
    return m_current >= 0 && m_tabs[static_cast<std::size_t>(m_current)] == &tab && m_view->isActive();
}

void ConversationTabs::unreadChanged(ConversationTab& tab) {
    const int index = indexOf(tab);
    if (index >= 0) {
        m_view->setTabLabel(index, tab.label());
        updateTitle();
    }
}

void ConversationTabs::add(ConversationTab& tab) {
    m_tabs.push_back(&tab);
    const int index = static_cast<int>(m_tabs.size()) - 1;
    m_view->insertTab(index, tab.page(), tab.label());
    // The first tab is the one on show; a later one waits behind it.
    if (m_current < 0) {
        m_current = index;
    }
    m_view->setCurrentTab(m_current);
    updateTitle();
}

void ConversationTabs::remove(int index, bool seeNext) {
    m_tabs.erase(m_tabs.begin() + index);
    m_view->removeTab(index);
    if (m_tabs.empty()) {
        m_current = -1;
        m_view->hideWindow();
    } else {
        if (m_current > index || m_current >= static_cast<int>(m_tabs.size())) {
            --m_current;
        }
        m_view->setCurrentTab(m_current);
        if (seeNext) {
            seeCurrent();
        }
    }
    updateTitle();
}

void ConversationTabs::choose(int index) {
    if (index < 0 || index >= static_cast<int>(m_tabs.size())) {
        return;
    }
    m_current = index;
    m_view->setCurrentTab(index);
}

void ConversationTabs::seeCurrent() {
    if (m_current >= 0 && m_view->isActive()) {
        m_tabs[static_cast<std::size_t>(m_current)]->seen();
    }
}

void ConversationTabs::backIntoTabs(ConversationTab& tab) {
    if (!tab.ownWindow()) {
        return;
    }
    tab.setOwnWindow(false);
    show(tab, true);
}

void ConversationTabs::forget(ConversationTab& tab) {
    // The conversations are going: nothing is told of the next tab's lines.
    if (const int index = indexOf(tab); index >= 0) {
        remove(index, false);
    }
}

void ConversationTabs::onTabChosen(int index) {
    choose(index);
    seeCurrent();
}

void ConversationTabs::onStepTab(int step) {
    const int count = static_cast<int>(m_tabs.size());
    if (count < 2) {
        return;
    }
    choose(((m_current + step) % count + count) % count);
    seeCurrent();
}

void ConversationTabs::onTabClosed(int index) {
    if (index >= 0 && index < static_cast<int>(m_tabs.size())) {
        remove(index, true);
    }
}

void ConversationTabs::onMoveToOwnWindow(int index) {
    if (index < 0 || index >= static_cast<int>(m_tabs.size())) {
        return;
    }
    ConversationTab& tab = *m_tabs[static_cast<std::size_t>(index)];
    remove(index, true);
    m_view->releasePage(tab.page());
    tab.setOwnWindow(true);
    tab.page().showActive();
}

void ConversationTabs::onWindowActivated() {
    seeCurrent();
}

void ConversationTabs::updateTitle() {
    const std::size_t unread = totalUnread();
    std::string title = "Conversations";
    if (unread > 0) {
        title += " (" + std::to_string(unread) + " unread)";
    }
    title += " - Corvane";
    if (title != m_title) {
        m_title = title;
        m_view->setTitle(title);
    }
}

} // namespace corvane
