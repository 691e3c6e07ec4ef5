#include "e2e/practice_world_fixture.h"
#include "core/player_list_view.h"
#include "fakes/fake_character_view.h"
#include "qt/qt_output_box.h"
#include "room/direction_view.h"
#include "room/picture_view.h"
#include "room/walk_view.h"
#include "widgets/loopback_server.h"
#include "widgets/qt_wait.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace corvane::testing {
namespace {

// The real main window on a real socket with real focus: whatever happened
// last, "look" and Enter typed at once reach the world.
class KeystrokeViews : public PracticeViews {
public:
    std::unique_ptr<CharacterView> createCharacterView() override {
        auto view = std::make_unique<FakeCharacterView>();
        view->whileShown = characterScript;
        return view;
    }
    std::function<void(FakeCharacterView&)> characterScript;
};

struct KeystrokeWidget : ::testing::Test, RealClient<KeystrokeViews> {
    LoopbackServer server;

    void SetUp() override {
        views.setParentWindow(&window);
        client.start(false);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        connectTo(server.port());
        ASSERT_TRUE(waitUntil([&] { return server.peer != nullptr; }));
        input()->setFocus();
        ASSERT_TRUE(waitUntil([&] { return input()->hasFocus(); }));
    }

    QLineEdit* input() const { return window.findChild<QLineEdit*>("Text1"); }
    QtOutputBox* box() const { return window.outputBox(); }

    bool clickIntoOutput() {
        QTest::mouseClick(box()->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
        return waitUntil([&] { return box()->hasFocus(); });
    }

    // Types where the keyboard is now, the way the player would.
    bool typeLook() {
        pumpEvents(50);
        server.received.clear();
        // A window without a focus widget of its own takes the keys itself.
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                                 : QApplication::activeWindow();
        if (target == nullptr) {
            return false;
        }
        QTest::keyClicks(target, "look");
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : target,
                        Qt::Key_Return);
        return waitUntil([&] { return server.received.endsWith("look\r\n"); }, 2000);
    }
};

TEST_F(KeystrokeWidget, LookTypedRightAfterEachEventReachesTheWorld) {
    std::unique_ptr<PictureView> picture;
    std::unique_ptr<WalkView> walk;
    std::unique_ptr<DirectionView> pad;
    const std::vector<std::pair<const char*, std::function<void()>>> events = {
        {"nothing happened", [] {}},
        {"a click into the output box", [&] { ASSERT_TRUE(clickIntoOutput()); }},
        {"Enter pressed in the output box",
         [&] {
             ASSERT_TRUE(clickIntoOutput());
             QTest::keyClick(box(), Qt::Key_Return);
         }},
        {"a notice that came by itself (Begin Idle.)",
         [&] { client.onMenuTriggered(MenuItem::GameIdle); }},
        {"the player list shown by a listing", [&] { client.room().playerListWindow().showWindow(); }},
        {"a room picture",
         [&] {
             picture = views.createPictureView();
             picture->showWindow();
         }},
        {"the walk window",
         [&] {
             walk = views.createWalkView();
             walk->showWindow();
         }},
        {"a click on the direction pad",
         [&] {
             pad = views.createDirectionView();
             auto* padWindow = dynamic_cast<QWidget*>(pad.get());
             padWindow->show();
             padWindow->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(padWindow));
             QTest::mouseClick(padWindow->findChild<QPushButton*>("Command1_0"), Qt::LeftButton);
         }},
        {"the connect dialog cancelled",
         [&] {
             ASSERT_TRUE(clickIntoOutput());
             views.addressBookScript = [](FakeAddressBookView& dialog) { dialog.clickCancel(); };
             client.FileConnect();
             EXPECT_TRUE(input()->hasFocus());
         }},
        {"\"Add this name/pw?\" answered",
         [&] {
             ASSERT_TRUE(clickIntoOutput());
             prompts.answers = {PromptAnswer::Yes};
             views.characterScript = [](FakeCharacterView& dialog) {
                 dialog.clickNew();
                 dialog.typeNewName("Tester");
                 dialog.typePassword("secret");
                 dialog.clickOk();
             };
             client.GameConnect();
             EXPECT_TRUE(input()->hasFocus());
         }},
        {"Preferences closed",
         [&] {
             ASSERT_TRUE(clickIntoOutput());
             client.openPreferences();
             auto* dialog = window.findChild<QWidget*>("frmPrefs");
             ASSERT_NE(dialog, nullptr);
             ASSERT_TRUE(waitUntil([&] { return dialog->isActiveWindow(); }));
             QTest::mouseClick(dialog->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
         }},
    };
    for (const auto& [name, happen] : events) {
        SCOPED_TRACE(name);
        happen();
        EXPECT_TRUE(typeLook());
        EXPECT_EQ(input()->text(), "");
    }
}

// Escape clears the line as always, and Ctrl+Z brings back what it cleared.
TEST_F(KeystrokeWidget, CtrlZBringsBackALineEscapeCleared) {
    server.received.clear();
    QTest::keyClicks(input(), "say half a thou");
    QTest::keyClick(input(), Qt::Key_Escape);
    EXPECT_EQ(input()->text(), "");
    QTest::keyClick(input(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(input()->text(), "say half a thou");
    pumpEvents(50);
    EXPECT_TRUE(server.received.isEmpty());
}

// The pad's access keys press its buttons; other keys still go on in the
// input line.
TEST_F(KeystrokeWidget, DirectionPadAccessKeysPressTheirButtons) {
    client.onMenuTriggered(MenuItem::ViewDirections);
    auto* pad = window.findChild<QWidget*>("Direction");
    ASSERT_NE(pad, nullptr);
    const auto activatePad = [&] {
        pad->activateWindow();
        return QTest::qWaitForWindowActive(pad) && waitUntil([&] { return QApplication::activeWindow() == pad; });
    };
    const std::vector<std::pair<Qt::Key, QByteArray>> presses = {
        {Qt::Key_N, "north\n"}, {Qt::Key_S, "south\n"}, {Qt::Key_U, "up\n"}, {Qt::Key_O, "out\n"}};
    ASSERT_TRUE(activatePad());
    // One after the other, as the player walks: the Alt of one press must
    // not hand the keyboard to the main window before the next.
    for (const auto& [key, sent] : presses) {
        SCOPED_TRACE(sent.toStdString());
        server.received.clear();
        QTest::keyClick(QApplication::activeWindow(), key, Qt::AltModifier);
        EXPECT_TRUE(waitUntil([&] { return server.received.endsWith(sent); }, 2000));
        pumpEvents(50);
        EXPECT_EQ(QApplication::activeWindow(), pad);
    }
    ASSERT_TRUE(activatePad());
    EXPECT_TRUE(typeLook());
    ASSERT_TRUE(activatePad());
    QTest::keyClick(pad, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(waitUntil([&] { return !pad->isVisible(); }));
}

// Keys as the player presses them: the keypad (Num Lock on or off), a bound
// Ctrl key and an F-key reach the world as commands and type nothing; a
// digit of the main keys still types.
TEST_F(KeystrokeWidget, BoundKeysSendTheirCommandsAndTypeNothing) {
    client.settings().Play.set(PlayOption::KeypadMoves, true);
    Rule kick;
    kick.kind = Rule::Kind::Key;
    kick.pattern = "Ctrl+K";
    kick.send = "kick";
    Rule score;
    score.kind = Rule::Kind::Key;
    score.pattern = "F9";
    score.send = "score";
    client.rules().book().setRules({kick, score});
    const std::vector<std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers, QByteArray>> keys = {
        {"keypad 8", Qt::Key_8, Qt::KeypadModifier, "north\r\n"},
        {"keypad 2 without Num Lock", Qt::Key_Down, Qt::KeypadModifier, "south\r\n"},
        {"Ctrl+K", Qt::Key_K, Qt::ControlModifier, "kick\r\n"},
        {"F9", Qt::Key_F9, Qt::NoModifier, "score\r\n"},
    };
    for (const auto& [name, key, modifiers, sent] : keys) {
        server.received.clear();
        QTest::keyClick(input(), key, modifiers);
        EXPECT_TRUE(waitUntil([&] { return server.received == sent; }, 2000)) << name << ": " << server.received.toStdString();
        EXPECT_EQ(input()->text(), "") << name;
    }
    QTest::keyClick(input(), Qt::Key_8);
    EXPECT_EQ(input()->text(), "8");
}

} // namespace
} // namespace corvane::testing
