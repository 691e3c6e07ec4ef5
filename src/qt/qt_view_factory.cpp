#include "qt/qt_view_factory.h"

#include "qt/qt_address_book_view.h"
#include "qt/qt_certificate_view.h"
#include "qt/qt_character_view.h"
#include "qt/qt_conversation_list_view.h"
#include "qt/qt_conversation_tabs_view.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_spell_check.h"
#include "qt/qt_direction_view.h"
#include "qt/qt_mcp_dialog_view.h"
#include "qt/qt_mcp_editor_view.h"
#include "qt/qt_mcp_help_view.h"
#include "qt/qt_notice_view.h"
#include "qt/qt_own_window_place.h"
#include "qt/qt_picture_view.h"
#include "qt/qt_player_list_view.h"
#include "qt/qt_user_macros_view.h"
#include "qt/qt_walk_view.h"

#include <optional>
#include "qt/qt_preferences_view.h"
#include "qt/qt_session_history_view.h"

namespace corvane {

std::unique_ptr<AddressBookView> QtViewFactory::createAddressBookView() {
    return std::make_unique<QtAddressBookView>(m_parent);
}

std::unique_ptr<CharacterView> QtViewFactory::createCharacterView() {
    return std::make_unique<QtCharacterView>(m_parent);
}

std::unique_ptr<NoticeView> QtViewFactory::createNoticeView() { return std::make_unique<QtNoticeView>(m_parent); }

std::unique_ptr<PlayerListView> QtViewFactory::createPlayerListView() {
    return std::make_unique<QtPlayerListView>(m_parent);
}

std::unique_ptr<UserMacrosView> QtViewFactory::createUserMacrosView() {
    return std::make_unique<QtUserMacrosView>(m_parent);
}

std::unique_ptr<PictureView> QtViewFactory::createPictureView() {
    return std::make_unique<QtPictureView>(m_parent);
}

std::unique_ptr<DirectionView> QtViewFactory::createDirectionView() {
    return std::make_unique<QtDirectionView>(m_parent);
}

std::unique_ptr<WalkView> QtViewFactory::createWalkView() {
    return std::make_unique<QtWalkView>(m_parent);
}

std::unique_ptr<PreferencesView> QtViewFactory::createPreferencesView() {
    return std::make_unique<QtPreferencesView>(m_parent);
}

std::unique_ptr<CertificateView> QtViewFactory::createCertificateView() {
    return std::make_unique<QtCertificateView>(m_parent);
}

std::unique_ptr<SessionHistoryView> QtViewFactory::createSessionHistoryView() {
    return std::make_unique<QtSessionHistoryView>(m_parent);
}

std::unique_ptr<McpEditorView> QtViewFactory::createMcpEditorView() {
    auto view = std::make_unique<QtMcpEditorView>(m_parent, m_spellCheck);
    PlaceOwnWindowWhenShown(view.get(), "MCP Editor", m_places);
    return view;
}

std::unique_ptr<McpDialogView> QtViewFactory::createMcpDialogView() {
    return std::make_unique<QtMcpDialogView>(m_parent);
}

std::unique_ptr<McpHelpView> QtViewFactory::createMcpHelpView() {
    auto view = std::make_unique<QtMcpHelpView>(m_parent);
    PlaceOwnWindowWhenShown(view.get(), "MUCK Help", m_places);
    return view;
}

std::unique_ptr<ConversationListView> QtViewFactory::createConversationListView() {
    return std::make_unique<QtConversationListView>(m_parent);
}

std::unique_ptr<ConversationTabsView> QtViewFactory::createConversationTabsView() {
    auto view = std::make_unique<QtConversationTabsView>(m_parent);
    PlaceOwnWindowWhenShown(view.get(), "Conversations", m_places);
    return view;
}

std::unique_ptr<ConversationView> QtViewFactory::createConversationView() {
    // The main window's colours and font as they are now.
    auto* main = qobject_cast<QtMainWindow*>(m_parent);
    std::optional<OutputLook> look;
    if (main != nullptr) {
        look = main->outputBox()->displayLook();
    }
    auto view = std::make_unique<QtConversationView>(m_parent, look ? &*look : nullptr);
    PlaceOwnWindowWhenShown(view.get(), "Conversation", m_places);
    if (main != nullptr) {
        // A new font or colours in the preferences reach the conversations too.
        QtOutputBox* box = main->outputBox();
        QtOutputBox* own = view->output();
        QObject::connect(box, &QtOutputBox::displayLookChanged, own, [box, own] {
            const OutputLook changed = box->displayLook();
            own->setDisplayLook(changed.plain.font(), changed.text, changed.background);
        });
    }
    if (m_spellCheck != nullptr) {
        m_spellCheck->attach(view->input());
    }
    if (m_conversationInput) {
        m_conversationInput(view->input());
    }
    return view;
}

} // namespace corvane
