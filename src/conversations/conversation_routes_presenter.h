#pragma once

#include "conversations/conversation_routes_draft.h"
#include "conversations/conversation_routes_view.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

class Prompts;

// The rules of the Conversation Routes window. Edits stay in the window
// until Save writes the whole [Conversations] routes in one step; `saved`
// then lets the running client take them up at once.
class ConversationRoutesPresenter : public ConversationRoutesEvents {
public:
    struct Services {
        Prompts& prompts;
        std::string settingsPath;
        std::function<void()> saved;
    };

    ConversationRoutesPresenter(ConversationRoutesView& view, Services services);

    // Reads the routes afresh, unless the window is open with edits in it.
    void open();
    // Opens with edits kept from an earlier run instead, unsaved, so that
    // Save or Close decides about them as about any edit.
    void openWith(ConversationRoutesDraft kept);
    // The window's edits not saved yet, if it is open with any.
    std::optional<ConversationRoutesDraft> unsaved() const;

    void onRowSelected(int row) override;
    void onFieldsEdited() override;
    void onAddPuppet() override;
    void onAddRoute() override;
    void onDelete() override;
    void onMoveUp() override;
    void onMoveDown() override;
    void onSave() override;
    bool onCloseAsked() override;

private:
    struct Row {
        ConversationRouteFields::Kind kind;
        std::size_t index;
    };

    std::vector<Row> rows() const;
    std::string problemOf(const Row& row) const;
    bool allValid() const;
    bool dirty() const { return !(m_draft == m_saved); }
    bool save();
    void refresh();
    void select(ConversationRouteFields::Kind kind, std::size_t index);
    void move(int by);

    ConversationRoutesView& m_view;
    Services m_services;
    ConversationRoutesDraft m_draft;
    ConversationRoutesDraft m_saved;
    bool m_open = false;
    int m_selected = 0;
};

} // namespace corvane
