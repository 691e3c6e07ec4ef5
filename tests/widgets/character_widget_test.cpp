#include "behaviour/scratch_folder.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_view_factory.h"
#include "settings/settings.h"
#include "shell/client.h"
#include "worlds/character_login.h"
#include "worlds/scramble.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

QWidget* shownWindow(const char* objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == objectName) {
            return widget;
        }
    }
    return nullptr;
}

// The real character dialog on the offscreen platform, opened the way the
// Game menu opens it; prompts and socket are fakes.
struct CharacterWidget : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    FakeSocket socket;
    FakePrompts prompts;
    FakeSound sound;
    FakeClock clock;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakeProgram program;
    QtViewFactory views;
    FakeMainWindow window;
    Platform platform{socket, prompts, sound, clock, clock, launcher, clipboard, program, views};
    Client client{platform, MainViews{window, window, window, window, window, window},
                  StartOptions{path, "/tmp", ""}};
};

TEST_F(CharacterWidget, AddANewCharacterAndLogIn) {
    folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n[FurryMUCK]\r\n"
                                "Character 1=guest," +
                                    ScrambleText(kScramble, "guest") + "\r\n");
    client.session().WorldName = "FurryMUCK";
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = shownWindow("Form5");
        ASSERT_NE(dialog, nullptr);
        ran = true;
        EXPECT_EQ(dialog->windowTitle(), "FurryMUCK Character(s)");
        auto* characters = dialog->findChild<QComboBox*>("Combo1");
        auto* newName = dialog->findChild<QLineEdit*>("Text1");
        auto* password = dialog->findChild<QLineEdit*>("txtPW");
        auto* ok = dialog->findChild<QPushButton*>("Command1");
        auto* add = dialog->findChild<QPushButton*>("Command3");
        auto* remove = dialog->findChild<QPushButton*>("Command4");
        ASSERT_TRUE(characters && newName && password && ok && add && remove);
        EXPECT_NE(dialog->findChild<QPushButton*>("Command2"), nullptr);
        EXPECT_EQ(characters->currentText(), "guest");
        EXPECT_EQ(password->text(), "guest");
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        EXPECT_FALSE(newName->isVisible());

        QTest::mouseClick(add, Qt::LeftButton);
        EXPECT_TRUE(newName->isVisible());
        EXPECT_FALSE(characters->isVisible());
        EXPECT_FALSE(add->isEnabled());
        EXPECT_FALSE(remove->isEnabled());
        QTest::keyClicks(newName, "Tester");
        password->selectAll();
        QTest::keyClicks(password, "secret");
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    // A failed check above leaves the modal dialog open; this ends it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    guard.start(5000);
    const bool loggedIn =
        CharacterLogin(client.session(), client.sender(), prompts, sound, views, path).GameConnect();

    ASSERT_TRUE(ran);
    EXPECT_TRUE(loggedIn);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, "Tester/secret\rAdd this name/pw?");
    EXPECT_EQ(socket.allSent(), "connect Tester secret\r\n"
                                "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}\r\n"
                                "OUTPUTPREFIX [on]\r\nOUTPUTSUFFIX [off]\r\n");
    EXPECT_EQ(ReadSetting("FurryMUCK", "Character 2", path), "Tester," + ScrambleText(kScramble, "secret"));
    EXPECT_EQ(shownWindow("Form5"), nullptr);
}

} // namespace
} // namespace corvane::testing
