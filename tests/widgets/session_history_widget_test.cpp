#include "e2e/real_client.h"
#include "qt/qt_history_text.h"
#include "qt/qt_session_history_view.h"
#include "widgets/qt_print.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// Fakes for every window but the session history, which is the real one.
struct HistoryViews : FakeViewFactory {
    std::unique_ptr<SessionHistoryView> createSessionHistoryView() override {
        auto view = std::make_unique<QtSessionHistoryView>(parent);
        shown = view.get();
        return view;
    }
    QWidget* parent = nullptr;
    QtSessionHistoryView* shown = nullptr;
};

struct SessionHistoryWidget : ::testing::Test, RealClient<HistoryViews> {
    void SetUp() override {
        views.parent = &window;
        client.start(false);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        for (const char* text : {"an apple a day", "two pears", "one more apple"}) {
            TextLine line;
            line.text = text;
            client.outputBuffer().showLine(line, -1);
        }
        client.outputBuffer().flush();
    }

    template <typename T> T* part(const char* name) const { return views.shown->findChild<T*>(name); }

    bool anyPixelOf(QWidget* widget, QColor colour) const {
        const QImage image = widget->grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }
};

TEST_F(SessionHistoryWidget, CtrlFOpensItAndFindMarksSelectsAndCopiesTheMatch) {
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(views.shown, nullptr);
    ASSERT_TRUE(waitUntil([&] { return views.shown->isVisible(); }));
    auto* find = part<QLineEdit>("txtFind");
    ASSERT_TRUE(waitUntil([&] { return find->hasFocus(); }));

    part<QCheckBox>("chkHighlightAll")->setChecked(true);
    QTest::keyClicks(find, "apple");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(part<QLabel>("lblFindStatus")->text(), "1 of 2 matches");
    auto* text = part<QtHistoryText>("txtHistory");
    EXPECT_TRUE(anyPixelOf(text->viewport(), QColor(255, 255, 0))) << "the other match is marked";

    text->setFocus();
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "apple");

    QTest::keyClick(views.shown, Qt::Key_Escape);
    EXPECT_FALSE(views.shown->isVisible());
    window.findChild<QAction*>("ViewSessionHistory")->trigger();
    EXPECT_TRUE(views.shown->isVisible());
}

TEST_F(SessionHistoryWidget, SelectingWithTheMouseOrCtrlACopiesAcrossLines) {
    window.findChild<QAction*>("ViewSessionHistory")->trigger();
    ASSERT_NE(views.shown, nullptr);
    auto* text = part<QtHistoryText>("txtHistory");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(views.shown));
    const int row = text->fontMetrics().lineSpacing();
    QWidget* area = text->viewport();
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(2, row / 2));
    QTest::mouseMove(area, QPoint(2000, row + row / 2));
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(2000, row + row / 2));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "an apple a day\r\ntwo pears");

    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "an apple a day\r\ntwo pears\r\none more apple");
}

} // namespace
} // namespace corvane::testing
