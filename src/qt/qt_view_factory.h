#pragma once

#include "platform/view_factory.h"

#include <functional>

class QLineEdit;
class QWidget;

namespace corvane {

class QtSpellCheck;
class WindowPlaces;

// Creates the Qt windows that open on demand, parented to the main window.
class QtViewFactory : public ViewFactory {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    // Editor windows check the spelling of prose with it; null for none.
    void setSpellCheck(QtSpellCheck* spellCheck) { m_spellCheck = spellCheck; }
    // Where windows opened by themselves are remembered, per kind; null for nowhere.
    void setWindowPlaces(WindowPlaces* places) { m_places = places; }
    // Told of each conversation window's input line as the window is made
    // (for what attaches to every input line, such as a spell checker).
    void setConversationInputHook(std::function<void(QLineEdit*)> hook) { m_conversationInput = std::move(hook); }
    std::unique_ptr<AddressBookView> createAddressBookView() override;
    std::unique_ptr<CharacterView> createCharacterView() override;
    std::unique_ptr<NoticeView> createNoticeView() override;
    std::unique_ptr<PlayerListView> createPlayerListView() override;
    std::unique_ptr<UserMacrosView> createUserMacrosView() override;
    std::unique_ptr<PictureView> createPictureView() override;
    std::unique_ptr<DirectionView> createDirectionView() override;
    std::unique_ptr<WalkView> createWalkView() override;
    std::unique_ptr<PreferencesView> createPreferencesView() override;
    std::unique_ptr<CertificateView> createCertificateView() override;
    std::unique_ptr<SessionHistoryView> createSessionHistoryView() override;
    std::unique_ptr<McpEditorView> createMcpEditorView() override;
    std::unique_ptr<McpDialogView> createMcpDialogView() override;
    std::unique_ptr<McpHelpView> createMcpHelpView() override;
    std::unique_ptr<ConversationView> createConversationView() override;
    std::unique_ptr<ConversationListView> createConversationListView() override;
    std::unique_ptr<ConversationTabsView> createConversationTabsView() override;

private:
    QWidget* m_parent = nullptr;
    QtSpellCheck* m_spellCheck = nullptr;
    WindowPlaces* m_places = nullptr;
    std::function<void(QLineEdit*)> m_conversationInput;
};

} // namespace corvane
