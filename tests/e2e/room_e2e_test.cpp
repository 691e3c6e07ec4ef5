#include "e2e/practice_world_process.h"
#include "e2e/real_client.h"
#include "e2e/temp_folder.h"
#include "qt/qt_picture_view.h"
#include "qt/qt_view_factory.h"
#include "room/random_source.h"
#include "room/random_walk.h"
#include "widgets/qt_wait.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

constexpr std::uint32_t kNorthThenSouth = 8;

// Tester logged in on the practice world with the real room windows, and
// its sample pictures loaded on every room change.
struct RoomE2E : ::testing::Test, TempFolder, RealClient<QtViewFactory> {
    PracticeWorldProcess world;

    RoomE2E()
        : RealClient<QtViewFactory>(options()) {
        views.setParentWindow(&window);
    }

    bool logIn(const QStringList& manner = {}) {
        if (!world.start(dir.filePath("world.log"), manner)) {
            return false;
        }
        QFile ini(dir.filePath("CORVANE.INI"));
        if (!ini.open(QIODevice::WriteOnly)) {
            return false;
        }
        ini.write("[Corvane]\r\nPicturePath=" CORVANE_PRACTICE_PICTURES "/\r\nAutoPictureLoad=True\r\n"
                  "[Addresses]\r\nMUD 1=Practice,127.0.0.1," +
                  QByteArray::number(world.port()) + "\r\n[Practice]\r\nCharacter 1=Tester,B5;@<!=&\r\n");
        ini.close();
        client.start(false);
        return !client.startLoggedIn("Practice", "Tester") &&
               waitUntil([&] { return client.sender().ownAnswers().hiddenLines() >= 1; });
    }
    QString output() const { return window.outputBox()->toPlainText(); }
    static QWidget* shown(const char* name) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->objectName() == name) {
                return widget;
            }
        }
        return nullptr;
    }
    static void click(QWidget* window, const QString& button) {
        QPushButton* target = window->findChild<QPushButton*>(button);
        ASSERT_NE(target, nullptr) << button.toStdString();
        QTest::mouseClick(target, Qt::LeftButton);
    }
    bool arrivedIn(int ref) {
        return waitUntil([&] { return client.session().RoomRef == ref; });
    }
};

TEST_F(RoomE2E, ThePadWalksThroughTwoExitsWithPicturesAndInfoTellsWhere) {
    ASSERT_TRUE(logIn());
    click(&window, "Command13_2");
    QWidget* pad = shown("Direction");
    ASSERT_NE(pad, nullptr);

    click(pad, "Command1_0"); // &N
    ASSERT_TRUE(arrivedIn(165));
    EXPECT_EQ(window.windowTitle(), "Practice - North Road");
    auto* picture = dynamic_cast<QtPictureView*>(shown("Form3"));
    ASSERT_NE(picture, nullptr) << "North Road has a picture";
    EXPECT_EQ(picture->findChild<QtPictureArea*>("Image1")->image().size(), QSize(160, 120));
    EXPECT_EQ(picture->findChild<QLabel*>("Label1")->text(), "North Road");

    click(pad, "Command1_6"); // SE
    ASSERT_TRUE(arrivedIn(166));
    EXPECT_EQ(window.windowTitle(), "Practice - Market Row");
    EXPECT_TRUE(picture->isVisible());
    EXPECT_TRUE(picture->findChild<QtPictureArea*>("Image1")->image().isNull()) << "Market Row has none";
    EXPECT_EQ(picture->findChild<QLabel*>("Label1")->text(), "");

    click(&window, "Command13_1"); // I&nfo
    QWidget* notice = shown("HelpForm");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->windowTitle(), "Room Info");
    EXPECT_EQ(notice->findChild<QLabel*>("lblHelp")->text(),
              "Tester, on Practice\nfor 0 hrs 0 min\n\nCurrently in:\nMarket Row\nDB Ref:  166");
    EXPECT_TRUE(world.received(1).endsWith("north\nse\n"));
}

TEST_F(RoomE2E, AWalkOfFiveSecondMovesIsLoggedAsItGoes) {
    ASSERT_TRUE(logIn());
    click(&window, "Command13_7"); // GoHo&me: the room marker names the square
    ASSERT_TRUE(waitUntil([&] { return client.session().RoomName == "Town Square"; }));

    RandomSource expected;
    expected.seed(kNorthThenSouth);
    ASSERT_STREQ(RandomWalk::kDirections[static_cast<std::size_t>(RandomWalk::DrawDirection(expected))],
                 "north");
    ASSERT_STREQ(RandomWalk::kDirections[static_cast<std::size_t>(RandomWalk::DrawDirection(expected))],
                 "south");
    client.room().random().seed(kNorthThenSouth);
    const QString log = dir.filePath("walk001.log");
    choosers.files.push_back(log.toStdString());
    window.action(MenuItem::GameWalk)->trigger();
    QWidget* walk = shown("frmWalk");
    ASSERT_NE(walk, nullptr);
    walk->findChild<QLineEdit*>("Text1")->setText("5");
    click(walk, "Command1_0");

    const auto logText = [&] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    ASSERT_TRUE(waitUntil([&] { return logText().contains("to Town Square"); }, 20000))
        << logText().toStdString();
    EXPECT_EQ(walk->windowTitle(), "Random Walk (south)");
    click(walk, "Command1_1"); // &Cancel
    EXPECT_FALSE(walk->isVisible());

    const QRegularExpression expectedLog(
        "^You began a Random Walk on \\d\\d-\\d\\d-\\d{4} at \\d\\d:\\d\\d:\\d\\d\r\n"
        "You started out in Town Square \\(DB Ref: 164\\)\r\n"
        "You went north to North Road \\(DB Ref: 165\\)\r\n"
        "You went south to Town Square \\(DB Ref: 164\\)\r\n"
        "You ended your walk on \\d\\d-\\d\\d-\\d{4} at \\d\\d:\\d\\d:\\d\\d\r\n$");
    EXPECT_TRUE(expectedLog.match(logText()).hasMatch()) << logText().toStdString();
    EXPECT_TRUE(world.received(1).contains("gohome\nnorth\r\nsouth\r\n"));
}

TEST_F(RoomE2E, AWalkOnAModernMuckTakesOnlyTheExitsItsRoomsList) {
    ASSERT_TRUE(logIn({"--modern"}));
    click(&window, "Command13_7"); // GoHo&me
    ASSERT_TRUE(waitUntil([&] { return output().contains("Obvious exits: north, east, in and sw."); }));
    const auto listed = [&] { return output().count("Obvious exits:"); };
    const auto before = listed();
    window.action(MenuItem::GameWalk)->trigger();
    QWidget* walk = shown("frmWalk");
    ASSERT_NE(walk, nullptr);
    choosers.files.push_back(dir.filePath("walk.log").toStdString());
    walk->findChild<QLineEdit*>("Text1")->setText("5");
    click(walk, "Command1_0");
    // Two moves, each through an exit of the room it left: never "Huh?".
    ASSERT_TRUE(waitUntil([&] { return listed() >= before + 2; }, 20000)) << output().toStdString();
    click(walk, "Command1_1");
    EXPECT_FALSE(output().contains("Huh?")) << output().toStdString();
}

} // namespace
} // namespace corvane::testing
