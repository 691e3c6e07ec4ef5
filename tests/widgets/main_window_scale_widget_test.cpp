#include "behaviour/scratch_folder.h"
#include "e2e/real_client.h"
#include "qt/qt_twips.h"
#include "settings/settings.h"
#include "widgets/qt_wait.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

std::string text(const QRect& r) {
    return std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" + std::to_string(r.x()) + "+" +
           std::to_string(r.y());
}

// The real main window laid out on the screen it gets. ctest runs these
// also on a 1280x900 screen at 150% and 200% (QT_SCALE_FACTOR), where the
// screen has 853x600 and 640x450 pixels for the window.
struct MainWindowScale : ::testing::Test {
    ScratchFolder folder;
    std::unique_ptr<RealClient<>> r;

    void start(const std::string& ini) {
        folder.write("CORVANE.INI", ini);
        r = std::make_unique<RealClient<>>(
            StartOptions{folder.file("CORVANE.INI"), folder.path(), "", folder.path(), ""});
        r->client.start(false);
        r->window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&r->window));
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    QRect inWindow(const char* name) const {
        const QWidget* part = r->window.findChild<QWidget*>(name);
        return part == nullptr || !part->isVisible()
                   ? QRect()
                   : QRect(part->mapTo(&r->window, QPoint(0, 0)), part->size());
    }
};

TEST_F(MainWindowScale, TheFirstWindowFitsTheScreenWithEveryPartInside) {
    start("");
    ASSERT_TRUE(waitUntil([&] { return screen().contains(r->window.frameGeometry()); }))
        << text(r->window.frameGeometry()) << " on " << text(screen());
    for (const char* name :
         {"Command13_8", "Command14_8", "Text2", "Label3_0", "Label3_3", "Text1", "ScrollButton"}) {
        EXPECT_TRUE(r->window.rect().contains(inWindow(name))) << name;
    }
    EXPECT_LT(inWindow("Command14_0").bottom(), inWindow("Text2").top());
    EXPECT_LT(inWindow("Text2").bottom(), inWindow("Label3_0").top());
    EXPECT_LT(inWindow("Label3_0").bottom(), inWindow("Text1").top());
    EXPECT_EQ(r->window.outputBox()->y(), ToPixels(720, &r->window));
}

TEST_F(MainWindowScale, AStoredWindowOffTheScreenAndTooLargeComesBackFitted) {
    start("[Corvane]\r\nRememberWinPos=True\r\nLeft= 15000\r\nTop= 200\r\nWidth= 99999\r\nHeight= 99999\r\n");
    ASSERT_TRUE(waitUntil([&] { return screen().contains(r->window.frameGeometry()); }))
        << text(r->window.frameGeometry()) << " on " << text(screen());
}

TEST_F(MainWindowScale, ARestartKeepsTheWindowExactlyWhereItWas) {
    const int width = std::min(ToTwips(screen().width(), nullptr) - 300, 10005);
    const int height = std::min(ToTwips(screen().height(), nullptr) - 900, 6000);
    const std::string stored = "Top= 150\r\nLeft= 300\r\nHeight= " + std::to_string(height) +
                               "\r\nWidth= " + std::to_string(width) + "\r\n";
    start("[Corvane]\r\nRememberWinPos=True\r\n" + stored);
    r->client.shutdown();
    const std::string path = folder.file("CORVANE.INI");
    EXPECT_EQ(ReadSetting("Corvane", "Top", path), "150");
    EXPECT_EQ(ReadSetting("Corvane", "Left", path), "300");
    EXPECT_EQ(ReadSetting("Corvane", "Height", path), std::to_string(height));
    EXPECT_EQ(ReadSetting("Corvane", "Width", path), std::to_string(width));
}

TEST_F(MainWindowScale, ShrinkingStopsAtTheMinimumAndKeepsTheNewestTextInView) {
    start("");
    for (int i = 0; i < 150; ++i) {
        r->client.outputBuffer().ShowOutput("line " + std::to_string(i) + "\r\n");
    }
    r->client.outputBuffer().flush();
    r->window.resize(200, 150);
    const int minimumWidth = std::min(ToPixels(9140 - 120, &r->window), screen().width());
    ASSERT_TRUE(waitUntil([&] { return r->window.width() >= minimumWidth - 4; }));
    pumpEvents(50);
    const QScrollBar* bar = r->window.outputBox()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(MainWindowScale, AltWithALetterThatIsNoAccessKeyTypesNothing) {
    start("");
    auto* input = r->window.findChild<QLineEdit*>("Text1");
    input->setFocus();
    QTest::keyClick(input, Qt::Key_Q, Qt::AltModifier);
    QTest::keyClick(input, Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(input->text(), "");
    QTest::keyClicks(input, "look");
    EXPECT_EQ(input->text(), "look");
}

} // namespace
} // namespace corvane::testing
