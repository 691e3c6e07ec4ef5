#pragma once

#include "conversations/conversation_list_view.h"
#include "conversations/conversation_tabs_view.h"
#include "conversations/conversation_view.h"
#include "platform/attention.h"

#include <algorithm>
#include <string>
#include <vector>

namespace corvane::testing {

// A conversation window that records what it shows; the test types into it
// through `events` and says whether it is the active window.
class FakeConversationView : public ConversationView {
public:
    void setEvents(ConversationViewEvents* e) override { events = e; }
    void setTitle(const std::string& t) override { title = t; }
    void offerBackIntoTabs(bool offered) override { offersBack = offered; }
    void setPrefix(const std::string& p) override { prefix = p; }
    void appendLine(const TextLine& line) override { lines.push_back(line.text); }
    void dropOldest(int count) override { lines.erase(lines.begin(), lines.begin() + count); }
    void clearInput() override { input.clear(); }
    void showQuietly() override {
        shown = true;
        ++quietShows;
    }
    void showActive() override {
        shown = true;
        active = true;
        events->onActivated();
    }
    bool isShown() const override { return shown; }
    bool isActive() const override { return active; }
    std::string caretLine(int& caretOffset) const override {
        caretOffset = caret;
        return clickedLine;
    }

    // The player types a line and presses Enter.
    void type(const std::string& text) {
        input = text;
        events->onSendTyped(text);
    }
    void activate() {
        active = true;
        events->onActivated();
    }

    ConversationViewEvents* events = nullptr;
    std::string title;
    std::string prefix;
    std::string input;
    std::vector<std::string> lines;
    bool shown = false;
    bool active = false;
    int quietShows = 0;
    std::string clickedLine;
    int caret = 0;
    bool offersBack = false;
};

// The Conversations window: its tabs are the conversation windows' pages, in order.
class FakeConversationTabsView : public ConversationTabsView {
public:
    void setEvents(ConversationTabsViewEvents* e) override { events = e; }
    void setTitle(const std::string& t) override { title = t; }
    void insertTab(int index, ConversationView& page, const std::string& label) override {
        pages.insert(pages.begin() + index, &page);
        labels.insert(labels.begin() + index, label);
    }
    void removeTab(int index) override {
        pages.erase(pages.begin() + index);
        labels.erase(labels.begin() + index);
    }
    void setTabLabel(int index, const std::string& label) override {
        labels.at(static_cast<std::size_t>(index)) = label;
    }
    void setCurrentTab(int index) override { current = index; }
    void releasePage(ConversationView& page) override { released.push_back(&page); }
    void showQuietly() override {
        shown = true;
        ++quietShows;
    }
    void showActive() override {
        shown = true;
        active = true;
    }
    void hideWindow() override {
        shown = false;
        active = false;
    }
    bool isShown() const override { return shown; }
    bool isActive() const override { return active; }

    // The player brings the window to the front.
    void activate() {
        active = true;
        events->onWindowActivated();
    }
    // Where the page of a conversation window is among the tabs, or -1.
    int tabOf(const ConversationView* page) const {
        const auto found = std::find(pages.begin(), pages.end(), page);
        return found == pages.end() ? -1 : static_cast<int>(found - pages.begin());
    }

    ConversationTabsViewEvents* events = nullptr;
    std::string title;
    std::vector<ConversationView*> pages;
    std::vector<std::string> labels;
    std::vector<ConversationView*> released;
    int current = -1;
    bool shown = false;
    bool active = false;
    int quietShows = 0;
};

class FakeConversationListView : public ConversationListView {
public:
    void setEvents(ConversationListViewEvents* e) override { events = e; }
    void setRows(const std::vector<ConversationListRow>& r) override { rows = r; }
    void showList() override { shown = true; }
    bool isShown() const override { return shown; }

    ConversationListViewEvents* events = nullptr;
    std::vector<ConversationListRow> rows;
    bool shown = false;
};

class FakeAttention : public Attention {
public:
    bool active() const override { return isActive; }
    void requestAttention() override { ++requests; }
    bool isActive = false;
    int requests = 0;
};

} // namespace corvane::testing
