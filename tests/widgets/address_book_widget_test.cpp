#include "behaviour/scratch_folder.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_view_factory.h"
#include "settings/settings.h"
#include "shell/client.h"

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

// The real connect dialog, opened by the client through the Qt view factory
// on the offscreen platform; prompts and socket are fakes.
struct AddressBookWidget : ::testing::Test {
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

TEST_F(AddressBookWidget, PickAWorldEditItsPortAndConnect) {
    folder.write("CORVANE.INI",
                 "[Addresses]\r\nMUD 1=Alpha,alpha.example,4201\r\nMUD 2=Beta,beta.example,8888\r\n");
    prompts.answers = {PromptAnswer::Yes};
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = shownWindow("frmConnect");
        ASSERT_NE(dialog, nullptr);
        ran = true;
        EXPECT_EQ(dialog->windowTitle(), "Connect to a MUD/MUCK");
        auto* worlds = dialog->findChild<QComboBox*>("MUDList");
        auto* newName = dialog->findChild<QLineEdit*>("txtMUD");
        auto* host = dialog->findChild<QLineEdit*>("txtHost");
        auto* port = dialog->findChild<QLineEdit*>("txtPort");
        auto* ok = dialog->findChild<QPushButton*>("btnConnect");
        ASSERT_TRUE(worlds && newName && host && port && ok);
        for (const char* name : {"btnNew", "btnDelete", "btnCancel"}) {
            EXPECT_NE(dialog->findChild<QPushButton*>(name), nullptr) << name;
        }
        EXPECT_EQ(ok->text(), "&OK");
        EXPECT_FALSE(worlds->isEditable());
        EXPECT_EQ(worlds->count(), 2);
        EXPECT_FALSE(newName->isVisible());
        EXPECT_EQ(host->text(), "alpha.example");

        QTest::keyClick(worlds, Qt::Key_Down);
        EXPECT_EQ(worlds->currentText(), "Beta");
        EXPECT_EQ(host->text(), "beta.example");
        EXPECT_EQ(port->text(), "8888");

        port->setFocus();
        port->selectAll();
        QTest::keyClicks(port, "70000");
        EXPECT_EQ(port->text(), "65535");
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
    client.FileConnect();

    ASSERT_TRUE(ran);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].title, "CORVane 2.1");
    EXPECT_EQ(socket.connectCalls, std::vector<std::string>{"beta.example:65535"});
    EXPECT_EQ(ReadSetting("Addresses", "MUD 2", path), "Beta,beta.example,65535");
    EXPECT_TRUE(client.session().Connected);
    EXPECT_EQ(shownWindow("frmConnect"), nullptr);
}

} // namespace
} // namespace corvane::testing
