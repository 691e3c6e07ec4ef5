#pragma once

#include "conversations/conversation_list_view.h"
#include "conversations/conversation_view.h"
#include "platform/attention.h"

#include <string>
#include <vector>

namespace corvane::testing {

// A conversation window that records what it shows; the test types into it
// through `events` and says whether it is the active window.
class FakeConversationView : public ConversationView {
public:
    void setEvents(ConversationViewEvents* e) override { events = e; }
    void setTitle(const std::string& t) override { title = t; }
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
