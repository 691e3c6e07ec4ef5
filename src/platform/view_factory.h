#pragma once

#include <memory>

namespace corvane {

// Only names: the presenters that open a window include its view, so this
// sits below all of them.
class ConversationListView;
class ConversationTabsView;
class ConversationView;
class McpDialogView;
class McpEditorView;
class McpHelpView;
class AddressBookView;
class CertificateView;
class CharacterView;
class NoticeView;
class PlayerListView;
class UserMacrosView;
class PictureView;
class DirectionView;
class WalkView;
class PreferencesView;
class SessionHistoryView;


// Creates the windows that open on demand, so tests can hand out fakes.
class ViewFactory {
public:
    virtual ~ViewFactory() = default;
    virtual std::unique_ptr<AddressBookView> createAddressBookView() = 0;
    virtual std::unique_ptr<CharacterView> createCharacterView() = 0;
    virtual std::unique_ptr<NoticeView> createNoticeView() = 0;
    virtual std::unique_ptr<PlayerListView> createPlayerListView() = 0;
    virtual std::unique_ptr<UserMacrosView> createUserMacrosView() = 0;
    virtual std::unique_ptr<PictureView> createPictureView() = 0;
    virtual std::unique_ptr<DirectionView> createDirectionView() = 0;
    virtual std::unique_ptr<WalkView> createWalkView() = 0;
    virtual std::unique_ptr<PreferencesView> createPreferencesView() = 0;
    virtual std::unique_ptr<CertificateView> createCertificateView() = 0;
    virtual std::unique_ptr<SessionHistoryView> createSessionHistoryView() = 0;
    // MCP windows; a factory that answers null leaves the world's requests unanswered.
    virtual std::unique_ptr<McpEditorView> createMcpEditorView() = 0;
    virtual std::unique_ptr<McpDialogView> createMcpDialogView() = 0;
    virtual std::unique_ptr<McpHelpView> createMcpHelpView() = 0;
    // A conversation window; a factory that answers null leaves pages in the main output.
    virtual std::unique_ptr<ConversationView> createConversationView() = 0;
    virtual std::unique_ptr<ConversationListView> createConversationListView() = 0;
    // The Conversations window, whose tabs are conversation windows from
    // createConversationView; null: each conversation has a window of its own.
    virtual std::unique_ptr<ConversationTabsView> createConversationTabsView() = 0;
};

} // namespace corvane
