#pragma once

#include "conversations/conversation_list_view.h"

#include <functional>
#include <memory>

namespace corvane {

class Conversations;

// The list of conversations: where a route that does not open its windows
// leaves them, and where any closed one is found again.
class ConversationList : private ConversationListViewEvents {
public:
    using MakeView = std::function<std::unique_ptr<ConversationListView>()>;

    ConversationList(Conversations& conversations, MakeView makeView);
    ~ConversationList() override;
    ConversationList(const ConversationList&) = delete;
    ConversationList& operator=(const ConversationList&) = delete;

    static std::vector<ConversationListRow> RowsOf(const Conversations& conversations);
    // View > Conversations.
    void open();
    // A conversation began or its unread count changed.
    void changed();

private:
    void onOpenConversation(std::size_t row) override;

    Conversations& m_conversations;
    MakeView m_makeView;
    std::unique_ptr<ConversationListView> m_view;
    std::vector<ConversationListRow> m_rows;
};

} // namespace corvane
