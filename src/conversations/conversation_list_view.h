#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvane {

// One conversation as the list shows it.
struct ConversationListRow {
    std::string name;
    std::size_t unread = 0;
    bool shown = false;

    friend bool operator==(const ConversationListRow&, const ConversationListRow&) = default;
};

class ConversationListViewEvents {
public:
    virtual ~ConversationListViewEvents() = default;
    // A row was chosen (double click or Enter).
    virtual void onOpenConversation(std::size_t row) = 0;
};

// View > Conversations: every conversation of this run with its unread count.
class ConversationListView {
public:
    virtual ~ConversationListView() = default;
    virtual void setEvents(ConversationListViewEvents* events) = 0;
    virtual void setRows(const std::vector<ConversationListRow>& rows) = 0;
    // Shows and activates the list: the player asked for it.
    virtual void showList() = 0;
    virtual bool isShown() const = 0;
};

} // namespace corvane
