#include "qt/qt_direction_view.h"
#include "qt/qt_picture_reader.h"
#include "qt/qt_picture_view.h"
#include "qt/qt_player_list_view.h"
#include "qt/qt_walk_view.h"
#include "widgets/qt_dialog_harness.h"
#include "widgets/qt_wait.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

const std::string kPictures = CORVANE_PRACTICE_PICTURES;

// The real room windows on a client logged in on fakes.
struct RoomWindowsWidget : ::testing::Test, QtDialogHarness {
    void SetUp() override {
        client.session().Connected = true;
        socket.socketState = Socket::State::Connected;
        client.session().WorldName = "Test";
        client.session().CharacterName = "Wren";
        client.loggedIn();
    }
    template <typename T> static T* shown(const char* name) { return dynamic_cast<T*>(shownWindow(name)); }
    static QPushButton* button(QWidget* window, const QString& name) {
        return window->findChild<QPushButton*>(name);
    }
};

TEST_F(RoomWindowsWidget, ThePadAndTheWalkStayOnTopExceptWhileMinimised) {
    client.onCommandButton(command_button::Direction);
    prompts.answers.push_back(PromptAnswer::No);
    client.onMenuTriggered(MenuItem::GameWalk);
    for (const char* name : {"Direction", "frmWalk"}) {
        SCOPED_TRACE(name);
        auto* window = shown<QtToolWindow>(name);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->staysOnTop());
        window->showMinimized();
        EXPECT_FALSE(window->staysOnTop());
        EXPECT_EQ(this->window.focus, "input");
        window->showNormal();
        EXPECT_TRUE(window->staysOnTop());
        EXPECT_TRUE(window->isVisible()) << "changing the hint does not hide it";
        this->window.focus.clear();
    }
}

TEST_F(RoomWindowsWidget, PadButtonsSendAndItsCloseControlUnchecksTheMenu) {
    client.onMenuTriggered(MenuItem::ViewDirections);
    auto* pad = shown<QtDirectionView>("Direction");
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->windowTitle(), "Directions");
    const QStringList captions = {"&N", "&S",  "&E",    "&W",  "NW",   "NE",     "SE",
                                  "SW", "&Up", "&Down", "&In", "&Out", "&Cancel"};
    for (int i = 0; i < captions.size(); ++i) {
        ASSERT_NE(button(pad, QString("Command1_%1").arg(i)), nullptr) << i;
        EXPECT_EQ(button(pad, QString("Command1_%1").arg(i))->text(), captions[i]);
    }
    QTest::mouseClick(button(pad, "Command1_4"), Qt::LeftButton);
    EXPECT_EQ(socket.allSent(), "nw\n");
    pad->close();
    EXPECT_FALSE(client.menu().checked(MenuItem::ViewDirections));
    EXPECT_TRUE(client.buttons().enabled(Bar::Command, command_button::Direction));
}

TEST_F(RoomWindowsWidget, TheWalkWindowRefusesABadIntervalAndStartsOnAGoodOne) {
    prompts.answers.push_back(PromptAnswer::No);
    client.onMenuTriggered(MenuItem::GameWalk);
    auto* walk = shown<QtWalkView>("frmWalk");
    ASSERT_NE(walk, nullptr);
    auto* interval = walk->findChild<QLineEdit*>("Text1");
    EXPECT_EQ(walk->findChild<QLabel*>("Label1")->text(), "Enter time interval:");
    EXPECT_EQ(walk->findChild<QLabel*>("Label2")->text(),
              "(From 5 to 3600 seconds;\n-1 for random intervals)");
    interval->setText("4");
    QTest::mouseClick(button(walk, "Command1_0"), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "ERROR");
    interval->setText("5");
    QTest::keyClick(interval, Qt::Key_Return);
    EXPECT_EQ(button(walk, "Command1_0")->text(), "End &Walk");
    EXPECT_TRUE(interval->isHidden());
    walk->grab().save("/tmp/corvane-walk.png");
    QTest::mouseClick(button(walk, "Command1_1"), Qt::LeftButton);
    EXPECT_FALSE(walk->isVisible());
    EXPECT_FALSE(client.menu().checked(MenuItem::GameWalk));
}

TEST_F(RoomWindowsWidget, ThePlayerListWorksFromTheKeyboardAndTheMouse) {
    auto* list = dynamic_cast<QtPlayerListView*>(client.playerList());
    ASSERT_NE(list, nullptr);
    list->addPlayer(PlayerKind::Awake, "Moss");
    list->addPlayer(PlayerKind::Awake, "Wren");
    list->addPlayer(PlayerKind::Idle, "Fern [12m]");
    list->showWindow();
    QApplication::setActiveWindow(list);
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    auto* awake = list->findChild<QListWidget*>("AwakeList");
    auto* idle = list->findChild<QListWidget*>("IdleList");

    awake->setFocus();
    QTest::keyClick(awake, Qt::Key_Down);
    QTest::keyClick(awake, Qt::Key_Down);
    EXPECT_EQ(client.room().playerListPresenter().SelectedPlayer(), "Wren");
    QTest::keyClick(awake, Qt::Key_Return);
    EXPECT_EQ(socket.allSent(), "look Wren\n");
    EXPECT_EQ(list->findChild<QLabel*>("lblCommand")->text(), "look Wren");
    EXPECT_TRUE(list->findChild<QLabel*>("lblCommand")->isVisible());

    socket.sent.clear();
    const QRect fern = idle->visualItemRect(idle->item(0));
    QTest::mouseClick(idle->viewport(), Qt::LeftButton, {}, fern.center());
    EXPECT_TRUE(awake->selectedItems().isEmpty()) << "another list took the focus";
    QTest::mouseClick(button(list, "Command1_1"), Qt::LeftButton);
    EXPECT_EQ(socket.allSent(), "where Fern \n");
    socket.sent.clear();
    QTest::mouseDClick(idle->viewport(), Qt::LeftButton, {}, fern.center());
    EXPECT_EQ(socket.allSent(), "look Fern \n");

    QTest::mouseClick(button(list, "Command1_5"), Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(client.room().playerListPresenter().SelectedPlayer(), "");
}

TEST_F(RoomWindowsWidget, ThePictureWindowFitsThePictureAndCutsALongRoomName) {
    client.settings().PictureDir = kPictures + "/";
    client.settings().AutoPictureLoad = true;
    socket.events->onSocketData("[vrox] #164 Town Square\r\n");
    auto* picture = shown<QtPictureView>("Form3");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->windowTitle(), "PICTURE");
    auto* area = picture->findChild<QtPictureArea*>("Image1");
    EXPECT_EQ(area->image().size(), QSize(160, 120));
    picture->resize(500, 260);
    ASSERT_TRUE(waitUntil([&] { return area->width() > 300; }));
    const QRect drawn = area->pictureRect();
    EXPECT_EQ(drawn.height(), area->height());
    EXPECT_NEAR(drawn.width() * 3.0 / drawn.height(), 4.0, 0.05) << "the proportions are kept";
    EXPECT_EQ(picture->findChild<QLabel*>("Label1")->text(), "Town Square");

    const int width = picture->width();
    socket.events->onSocketData("[vrox] #165 " + std::string(10000, 'N') + "\r\n");
    EXPECT_EQ(picture->width(), width);
    EXPECT_LT(picture->findChild<QLabel*>("Label1")->text().size(), 200);
    picture->grab().save("/tmp/corvane-picture.png");

    QTest::mouseClick(button(picture, "btnOK"), Qt::LeftButton);
    EXPECT_FALSE(picture->isVisible());
    EXPECT_FALSE(client.menu().checked(MenuItem::ViewPicture));
}

TEST(QtPictureReader, ReadsBitmapsAndRefusesWhatIsNoSanePicture) {
    ScratchFolder folder;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(64, 48, QImage::Format_RGB32).save(&buffer, "PNG");
    folder.write("half.png", png.left(png.size() / 2).toStdString());
    folder.write("text.bmp", "Room pictures go here.");
    folder.write("empty.bmp", "");
    // A bitmap header that claims 30000 x 30000 pixels and holds none.
    QByteArray huge(54, '\0');
    huge[0] = 'B';
    huge[1] = 'M';
    const auto put32 = [&huge](int at, quint32 value) {
        for (int i = 0; i < 4; ++i) {
            huge[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put32(10, 54);
    put32(14, 40);
    put32(18, 30000);
    put32(22, 30000);
    huge[26] = 1;
    huge[28] = 24;
    folder.write("huge.bmp", huge.toStdString());

    QtPictureReader reader;
    const auto bitmap = reader.read(kPictures + "/164.BMP");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width(), 160);
    EXPECT_EQ(bitmap->height(), 120);
    for (const char* name : {"half.png", "text.bmp", "empty.bmp", "huge.bmp", "missing.bmp"}) {
        SCOPED_TRACE(name);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(reader.read(folder.file(name)), nullptr);
        EXPECT_LT(timer.elapsed(), 1000);
    }
}

} // namespace
} // namespace corvane::testing
