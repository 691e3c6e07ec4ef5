#pragma once

#include "qt/qt_address_book_view.h"
#include "qt/qt_certificate_view.h"
#include "qt/qt_character_view.h"
#include "qt/qt_conversation_list_view.h"
#include "qt/qt_conversation_routes_view.h"
#include "qt/qt_conversation_tabs_view.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_direction_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_mcp_dialog_view.h"
#include "qt/qt_mcp_editor_view.h"
#include "qt/qt_mcp_help_view.h"
#include "qt/qt_notice_view.h"
#include "qt/qt_output_box.h"
#include "qt/qt_picture_view.h"
#include "qt/qt_player_list_view.h"
#include "qt/qt_preferences_view.h"
#include "qt/qt_rules_view.h"
#include "qt/qt_script_state_view.h"
#include "qt/qt_server_info_view.h"
#include "qt/qt_session_history_view.h"
#include "qt/qt_user_macros_view.h"
#include "qt/qt_walk_view.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane::testing {

// Every window Corvane has besides the main window, each opened over the
// main window the way the program opens it. A new window in src/qt (a
// qt_*_view.h) needs a row here: EveryWindowIsListed fails until it has one.
struct WindowRow {
    std::string header; // its file in src/qt, which names the row
    std::function<std::unique_ptr<QWidget>(QtMainWindow& main)> open;
};

template <typename View, typename Show>
std::unique_ptr<QWidget> OpenWindowWith(std::unique_ptr<View> view, Show show) {
    show(*view);
    return view;
}

inline const std::vector<WindowRow>& EveryWindow() {
    static const std::vector<WindowRow> rows{
        {"qt_address_book_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtAddressBookView>(&main),
                                   [](QtAddressBookView& v) { v.show(); });
         }},
        {"qt_certificate_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtCertificateView>(&main),
                                   [](QtCertificateView& v) { v.show(); });
         }},
        {"qt_character_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtCharacterView>(&main),
                                   [](QtCharacterView& v) { v.show(); });
         }},
        {"qt_conversation_list_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtConversationListView>(&main),
                                   [](QtConversationListView& v) { v.showList(); });
         }},
        {"qt_conversation_routes_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtConversationRoutesView>(&main),
                                   [](QtConversationRoutesView& v) { v.showWindow(); });
         }},
        {"qt_conversation_view.h",
         [](QtMainWindow& main) {
             const OutputLook look = main.outputBox()->displayLook();
             // As a tab moved to its own window, with the button that takes it back.
             return OpenWindowWith(std::make_unique<QtConversationView>(&main, &look), [](QtConversationView& v) {
                 v.offerBackIntoTabs(true);
                 v.showQuietly();
             });
         }},
        {"qt_conversation_tabs_view.h",
         [](QtMainWindow& main) {
             const OutputLook look = main.outputBox()->displayLook();
             return OpenWindowWith(std::make_unique<QtConversationTabsView>(&main),
                                   [&main, &look](QtConversationTabsView& v) {
                                       // The pages go with the window, whose children they become.
                                       v.insertTab(0, *new QtConversationView(&main, &look), "Alice (2)");
                                       v.insertTab(1, *new QtConversationView(&main, &look), "Bob & Co");
                                       v.setCurrentTab(0);
                                       v.showQuietly();
                                   });
         }},
        {"qt_direction_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtDirectionView>(&main),
                                   [](QtDirectionView& v) { v.showWindow(); });
         }},
        {"qt_mcp_dialog_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtMcpDialogView>(&main),
                                   [](QtMcpDialogView& v) { v.showWindow(); });
         }},
        {"qt_mcp_editor_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtMcpEditorView>(&main),
                                   [](QtMcpEditorView& v) { v.showWindow(); });
         }},
        {"qt_mcp_help_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtMcpHelpView>(&main),
                                   [](QtMcpHelpView& v) { v.showWindow(false); });
         }},
        {"qt_notice_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtNoticeView>(&main),
                                   [](QtNoticeView& v) { v.showWindow(false); });
         }},
        {"qt_picture_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtPictureView>(&main),
                                   [](QtPictureView& v) { v.showWindow(); });
         }},
        {"qt_player_list_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtPlayerListView>(&main),
                                   [](QtPlayerListView& v) { v.showWindow(); });
         }},
        {"qt_preferences_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtPreferencesView>(&main),
                                   [](QtPreferencesView& v) { v.showDialog(); });
         }},
        {"qt_rules_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtRulesView>(&main),
                                   [](QtRulesView& v) { v.showWindow(); });
         }},
        {"qt_script_state_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtScriptStateView>(&main), [](QtScriptStateView& v) {
                 v.setKind(ScriptStateView::Kind::Variables);
                 v.showWindow();
             });
         }},
        {"qt_server_info_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtServerInfoView>(&main), [](QtServerInfoView& v) {
                 v.setSummary({{"Name", "Practice"}, {"Players", "3"}});
                 v.setTable({{"PORT", "4000, 4001"}});
                 v.setNote("Received 10 Dec 2026 at 07:00 UTC.");
                 v.showWindow();
             });
         }},
        {"qt_session_history_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtSessionHistoryView>(&main),
                                   [](QtSessionHistoryView& v) { v.showAtNewest(); });
         }},
        {"qt_user_macros_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtUserMacrosView>(&main),
                                   [](QtUserMacrosView& v) { v.showWindow(); });
         }},
        {"qt_walk_view.h",
         [](QtMainWindow& main) {
             return OpenWindowWith(std::make_unique<QtWalkView>(&main),
                                   [](QtWalkView& v) { v.showWindow(); });
         }},
    };
    return rows;
}

} // namespace corvane::testing
