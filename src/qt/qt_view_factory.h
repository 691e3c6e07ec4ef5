#pragma once

#include "shell/view_factory.h"

class QWidget;

namespace corvane {

// Creates the Qt windows that open on demand, parented to the main window.
class QtViewFactory : public ViewFactory {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }
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
    std::unique_ptr<ConversationView> createConversationView() override;

private:
    QWidget* m_parent = nullptr;
};

} // namespace corvane
