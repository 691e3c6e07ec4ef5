#include "behaviour/scratch_folder.h"
#include "e2e/real_client.h"
#include "qt/qt_view_factory.h"
#include "widgets/every_window.h"
#include "widgets/qt_wait.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <set>

namespace corvane::testing {
namespace {

std::string FitText(const QRect& r) {
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" + std::to_string(r.x()) + "+" +
           std::to_string(r.y());
}

bool IsControl(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr;
}

// The scroll area a page or form scrolls in where the screen is too small:
// what lies in it is reached by scrolling, so the area must be on screen.
const QWidget* ScrollAround(const QWidget* widget) {
    const QWidget* outermost = nullptr;
    for (const QWidget* up = widget->parentWidget(); up != nullptr && !up->isWindow();
         up = up->parentWidget()) {
        if (qobject_cast<const QScrollArea*>(up) != nullptr) {
            outermost = up;
        }
    }
    return outermost;
}

QRect OnScreen(const QWidget* widget) {
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

// ctest runs these on 1280x900 and 1920x1080 screens at 100%, 150% and 200%
// desktop scaling (QT_SCALE_FACTOR); a plain run checks the default screen.
struct EveryWindowFits : ::testing::TestWithParam<std::size_t> {
    ScratchFolder folder;
    std::unique_ptr<RealClient<>> r;

    void SetUp() override {
        folder.write("CORVANE.INI", "");
        r = std::make_unique<RealClient<>>(
            StartOptions{folder.file("CORVANE.INI"), folder.path(), "", folder.path(), ""});
        r->client.start(false);
        r->window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&r->window));
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

struct EveryWindowFitsOwnPlace : EveryWindowFits {};

TEST_P(EveryWindowFits, OnTheScreenWithEveryControlAndTheInputLineInside) {
    const WindowRow& row = EveryWindow()[GetParam()];
    std::unique_ptr<QWidget> window = row.open(r->window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get())) << row.header;
    pumpEvents(30);
    EXPECT_TRUE(screen().contains(window->frameGeometry()))
        << row.header << ": " << FitText(window->frameGeometry()) << " inside " << FitText(window->geometry())
        << " on " << FitText(screen());
    for (const QWidget* part : window->findChildren<QWidget*>()) {
        if (!part->isVisibleTo(window.get()) || !IsControl(part) || part->window() != window.get()) {
            continue;
        }
        const QWidget* scroll = ScrollAround(part);
        const QWidget* shown = scroll != nullptr ? scroll : part;
        EXPECT_TRUE(screen().contains(OnScreen(shown)))
            << row.header << ": " << part->metaObject()->className() << " "
            << part->objectName().toStdString() << " at " << FitText(OnScreen(shown)) << " on "
            << FitText(screen());
    }
    const auto* input = r->window.findChild<QLineEdit*>("Text1");
    EXPECT_TRUE(screen().contains(OnScreen(input))) << FitText(OnScreen(input));
    // Where the screen has the room the window is whole, with no scroll bars.
    if (screen().width() >= 1280 && screen().height() >= 860) {
        for (const QScrollArea* scroll : window->findChildren<QScrollArea*>()) {
            EXPECT_FALSE(scroll->verticalScrollBar()->isVisible() ||
                         scroll->horizontalScrollBar()->isVisible())
                << row.header << ": " << scroll->objectName().toStdString() << " "
                << FitText(scroll->geometry()) << " showing " << FitText(scroll->widget()->geometry());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, EveryWindowFits, ::testing::Range<std::size_t>(0, EveryWindow().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = EveryWindow()[info.param].header;
                             name = name.substr(3, name.size() - 5);
                             std::string camel;
                             bool upper = true;
                             for (char c : name) {
                                 if (c == '_') {
                                     upper = true;
                                 } else {
                                     camel += upper ? static_cast<char>(std::toupper(c)) : c;
                                     upper = false;
                                 }
                             }
                             return camel;
                         });

// Windows Corvane opens by itself, made by the factory as the program makes
// them: beside the main window or over its output, never over its menu bar
// or input line, a second one a step from the first.
TEST_F(EveryWindowFitsOwnPlace, WindowsOpenedByThemselvesLeaveTheMenuBarAndInputLineClear) {
    QtViewFactory views;
    views.setParentWindow(&r->window);
    std::vector<std::unique_ptr<QWidget>> shown;
    for (int i = 0; i < 2; ++i) {
        auto conversation = views.createConversationView();
        conversation->showQuietly();
        shown.push_back(std::unique_ptr<QWidget>(dynamic_cast<QWidget*>(conversation.release())));
    }
    auto editor = views.createMcpEditorView();
    editor->showWindow();
    shown.push_back(std::unique_ptr<QWidget>(dynamic_cast<QWidget*>(editor.release())));
    auto help = views.createMcpHelpView();
    help->showWindow(false);
    shown.push_back(std::unique_ptr<QWidget>(dynamic_cast<QWidget*>(help.release())));
    const QRect input = OnScreen(r->window.inputLine());
    const QRect menu = OnScreen(r->window.menuWidget());
    for (const auto& window : shown) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    pumpEvents(30);
    for (const auto& window : shown) {
        const std::string name = window->metaObject()->className();
        EXPECT_TRUE(screen().contains(window->frameGeometry()))
            << name << " " << FitText(window->frameGeometry());
        EXPECT_FALSE(window->frameGeometry().intersects(input))
            << name << " " << FitText(window->frameGeometry());
        EXPECT_FALSE(window->frameGeometry().intersects(menu))
            << name << " " << FitText(window->frameGeometry());
    }
    EXPECT_NE(shown[0]->frameGeometry().topLeft(), shown[1]->frameGeometry().topLeft());
}

TEST(EveryWindowList, NamesEveryWindowInTheSource) {
    std::set<std::string> listed;
    for (const WindowRow& row : EveryWindow()) {
        listed.insert(row.header);
    }
    const QDir qt(QString(CORVANE_TEST_DATA) + "/../../src/qt");
    const QStringList headers = qt.entryList({"qt_*_view.h"}, QDir::Files);
    ASSERT_FALSE(headers.isEmpty()) << qt.path().toStdString();
    for (const QString& header : headers) {
        EXPECT_TRUE(listed.count(header.toStdString()) == 1)
            << header.toStdString() << " is a window missing from tests/widgets/every_window.h";
    }
}

} // namespace
} // namespace corvane::testing
