#include "settings/settings.h"
#include "settings/scramble.h"
#include "widgets/qt_dialog_harness.h"
#include "worlds/character_login.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(CharacterWidget, AddANewCharacterAndLogIn) {
    QtDialogHarness h;
    h.folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n[FurryMUCK]\r\n"
                                  "Character 1=guest," +
                                      ScrambleText(kScramble, "guest") + "\r\n");
    h.client.session().WorldName = "FurryMUCK";
    h.socket.socketState = Socket::State::Connected;
    bool ran = false;
    bool loggedIn = false;
    QtDialogHarness::whileModal(
        [&] {
            QWidget* dialog = QtDialogHarness::shownWindow("Form5");
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
        },
        [&] {
            loggedIn =
                CharacterLogin(h.client.session(), h.client.sender(), h.prompts, h.sound, h.views, h.path)
                    .GameConnect();
        });

    ASSERT_TRUE(ran);
    EXPECT_TRUE(loggedIn);
    ASSERT_EQ(h.prompts.questions.size(), 1u);
    EXPECT_EQ(h.prompts.questions[0].text, "Tester/********\rAdd this name/pw?");
    EXPECT_EQ(h.socket.allSent(), "connect Tester secret\r\n"
                                  "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}\r\n"
                                  "OUTPUTPREFIX [on]\r\nOUTPUTSUFFIX [off]\r\n");
    EXPECT_EQ(ReadSetting("FurryMUCK", "Character 2", h.path), "Tester," + ScrambleText(kScramble, "secret"));
    EXPECT_EQ(QtDialogHarness::shownWindow("Form5"), nullptr);
}

} // namespace
} // namespace corvane::testing
