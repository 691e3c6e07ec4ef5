#include "qt/qt_address_book_view.h"
#include "qt/qt_certificate_view.h"
#include "qt/qt_character_view.h"
#include "qt/qt_conversation_list_view.h"
#include "qt/qt_conversation_routes_view.h"
#include "qt/qt_conversation_view.h"
#include "qt/qt_direction_view.h"
#include "qt/qt_main_window.h"
#include "qt/qt_mcp_dialog_view.h"
#include "qt/qt_mcp_editor_view.h"
#include "qt/qt_mcp_help_view.h"
#include "qt/qt_notice_view.h"
#include "qt/qt_picture_view.h"
#include "qt/qt_player_list_view.h"
#include "qt/qt_preferences_view.h"
#include "qt/qt_rules_view.h"
#include "qt/qt_session_history_view.h"
#include "qt/qt_user_macros_view.h"
#include "qt/qt_walk_view.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace corvane::testing {
namespace {

// Every window Corvane has. A new window is added here, so a screen reader
// can name each of its controls before it ships.
struct NamedWindowRow {
    const char* name;
    std::function<std::unique_ptr<QWidget>(QWidget* main)> make;
};

const std::vector<NamedWindowRow>& namedWindowRows() {
    static const std::vector<NamedWindowRow> rows = {
        {"MainWindow", [](QWidget*) { return std::make_unique<QtMainWindow>(); }},
        {"AddressBook", [](QWidget* main) { return std::make_unique<QtAddressBookView>(main); }},
        {"Character", [](QWidget* main) { return std::make_unique<QtCharacterView>(main); }},
        {"Certificate", [](QWidget* main) { return std::make_unique<QtCertificateView>(main); }},
        {"Notice", [](QWidget* main) { return std::make_unique<QtNoticeView>(main); }},
        {"PlayerList", [](QWidget* main) { return std::make_unique<QtPlayerListView>(main); }},
        {"UserMacros", [](QWidget* main) { return std::make_unique<QtUserMacrosView>(main); }},
        {"Picture", [](QWidget* main) { return std::make_unique<QtPictureView>(main); }},
        {"DirectionPad", [](QWidget* main) { return std::make_unique<QtDirectionView>(main); }},
        {"Walk", [](QWidget* main) { return std::make_unique<QtWalkView>(main); }},
        {"Preferences", [](QWidget* main) { return std::make_unique<QtPreferencesView>(main); }},
        {"SessionHistory", [](QWidget* main) { return std::make_unique<QtSessionHistoryView>(main); }},
        {"McpEditor", [](QWidget* main) { return std::make_unique<QtMcpEditorView>(main); }},
        {"McpDialog", [](QWidget* main) { return std::make_unique<QtMcpDialogView>(main); }},
        {"McpHelp", [](QWidget* main) { return std::make_unique<QtMcpHelpView>(main); }},
        {"Conversation", [](QWidget* main) { return std::make_unique<QtConversationView>(main, nullptr); }},
        {"ConversationList", [](QWidget* main) { return std::make_unique<QtConversationListView>(main); }},
        {"ConversationRoutes",
         [](QWidget* main) { return std::make_unique<QtConversationRoutesView>(main); }},
        {"Rules", [](QWidget* main) { return std::make_unique<QtRulesView>(main); }},
    };
    return rows;
}

// The part of a compound control that hands its focus on is named by the whole.
bool namedByItsOwner(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return widget->focusProxy() != nullptr || qobject_cast<const QAbstractSpinBox*>(parent) != nullptr ||
           qobject_cast<const QComboBox*>(parent) != nullptr ||
           (qobject_cast<const QTabBar*>(widget) != nullptr && qobject_cast<const QTabWidget*>(parent) != nullptr);
}

QString describe(const QWidget* widget) {
    return QString("%1 \"%2\"").arg(widget->metaObject()->className(), widget->objectName());
}

class AccessibleNames : public ::testing::TestWithParam<NamedWindowRow> {};

TEST_P(AccessibleNames, EveryFocusableControlHasANameAScreenReaderReads) {
    QtMainWindow main;
    std::unique_ptr<QWidget> window = GetParam().make(&main);
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window.get());
    QStringList unnamed;
    int focusable = 0;
    for (QWidget* widget : widgets) {
        if (widget->focusPolicy() == Qt::NoFocus || widget->isWindow() || namedByItsOwner(widget)) {
            continue;
        }
        ++focusable;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        const QString name = accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
        if (name.trimmed().isEmpty()) {
            unnamed << describe(widget);
        } else if (name.contains('&') && !name.contains("&&")) {
            unnamed << describe(widget) + " reads its access-key \"&\": " + name;
        }
    }
    EXPECT_GT(focusable, 0);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join("\n").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, AccessibleNames, ::testing::ValuesIn(namedWindowRows()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
