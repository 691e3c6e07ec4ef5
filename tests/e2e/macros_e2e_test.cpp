#include "e2e/practice_world_process.h"
#include "e2e/real_client.h"
#include "e2e/temp_folder.h"
#include "fakes/fake_address_book_view.h"
#include "qt/qt_view_factory.h"
#include "widgets/qt_wait.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The real windows, the user macros dialog among them; only the modal
// connect dialog is scripted.
class MacroViews : public QtViewFactory {
public:
    std::unique_ptr<AddressBookView> createAddressBookView() override {
        return std::make_unique<FakeAddressBookView>();
    }
};

// Tester logged in on the practice world with the real main window and
// the real "User Macros" dialog; the macro folder is a fresh folder.
struct MacrosE2E : ::testing::Test, TempFolder, RealClient<MacroViews> {
    PracticeWorldProcess world;

    MacrosE2E()
        : RealClient<MacroViews>(options()) {
        views.setParentWindow(&window);
    }

    bool logIn() {
        if (!world.start(path("world.log"))) {
            return false;
        }
        QFile ini(path("CORVANE.INI"));
        if (!ini.open(QIODevice::WriteOnly)) {
            return false;
        }
        ini.write("[Corvane]\r\nProgramPath=" + dir.path().toUtf8() +
                  "\r\n[Addresses]\r\nMUD 1=Practice,127.0.0.1," + QByteArray::number(world.port()) +
                  "\r\n\r\n[Practice]\r\nCharacter 1=Tester,B5;@<!=&\r\n");
        ini.close();
        client.start(false);
        return !client.startLoggedIn("Practice", "Tester") &&
               waitUntil([&] { return client.sender().ownAnswers().hiddenLines() >= 1; });
    }

    QString output() const { return window.outputBox()->toPlainText(); }
    QLineEdit* input() const { return window.findChild<QLineEdit*>("Text1"); }
    QPushButton* button(const QString& name) const { return window.findChild<QPushButton*>(name); }
    QWidget* macrosDialog() const { return window.findChild<QWidget*>("Form6"); }
    QPushButton* dialogButton(const char* name) const {
        return macrosDialog()->findChild<QPushButton*>(name);
    }
    void typeLine(const QString& text) {
        input()->setText(text);
        QTest::keyClick(input(), Qt::Key_Return);
    }
    bool saidTimes(const QString& word, int times) {
        return waitUntil([&] { return output().count("You say, \"" + word + "\"") == times; });
    }
};

TEST_F(MacrosE2E, AMacroOfTwoCommandsIsRecordedAndPlayedFromItsButton) {
    ASSERT_TRUE(logIn());
    window.findChild<QAction*>("EditUserMacros")->trigger();
    ASSERT_NE(macrosDialog(), nullptr);
    EXPECT_TRUE(macrosDialog()->isVisible());
    EXPECT_EQ(macrosDialog()->windowTitle(), "User Macros");
    EXPECT_EQ(macrosDialog()->findChild<QComboBox*>("Combo1")->currentText(), "User 1");
    const std::pair<const char*, const char*> captions[] = {{"btnBrowse", "&Browse"},
                                                            {"btnEditMacro", "&Edit Macro"},
                                                            {"btnRecordMacro", "&Record Macro"},
                                                            {"btnChangeName", "Change Macro &Name"},
                                                            {"btnOK", "&OK"},
                                                            {"btnCancel", "&Cancel"}};
    for (const auto& [name, caption] : captions) {
        ASSERT_NE(dialogButton(name), nullptr) << name;
        EXPECT_EQ(dialogButton(name)->text(), caption);
    }
    EXPECT_FALSE(dialogButton("btnChangeName")->isEnabled());

    dialogButton("btnRecordMacro")->click();
    EXPECT_FALSE(macrosDialog()->isVisible());
    EXPECT_EQ(window.findChild<QLabel*>("Label3_0")->text(), "Status: Recording Macro");
    typeLine("say one");
    typeLine("say two");
    ASSERT_TRUE(saidTimes("two", 1));

    window.findChild<QAction*>("EditUserMacros")->trigger();
    EXPECT_EQ(dialogButton("btnRecordMacro")->text(), "&Stop Recording");
    EXPECT_FALSE(macrosDialog()->findChild<QComboBox*>("Combo1")->isEnabled());
    dialogButton("btnRecordMacro")->click();
    dialogButton("btnOK")->click();
    EXPECT_FALSE(macrosDialog()->isVisible());
    QFile recorded(path("MACR0001.CMD"));
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    EXPECT_EQ(recorded.readAll(), "say one\r\nsay two\r\n");

    button("Command14_0")->click();
    ASSERT_TRUE(saidTimes("two", 2));
    EXPECT_TRUE(world.received(1).endsWith("say one\r\nsay two\r\nsay one\r\nsay two\r\n"));
    EXPECT_EQ(window.findChild<QLabel*>("Label3_0")->text(), "Status: On Line");
    EXPECT_FALSE(client.session().SendingFile);
}

TEST_F(MacrosE2E, TheLogOfTwoRoomsHoldsExactlyTheShownLines) {
    ASSERT_TRUE(logIn());
    choosers.files = {path("walk.log").toStdString()};
    const QString before = output();
    button("Command13_3")->click();
    ASSERT_TRUE(client.session().LogOpen);
    EXPECT_EQ(button("Command13_3")->text(), "Close&Log");
    QLabel* logLabel = window.findChild<QLabel*>("Label3_1");
    EXPECT_FALSE(logLabel->isHidden());
    EXPECT_EQ(logLabel->text(), "walk.log");

    typeLine("north");
    ASSERT_TRUE(waitUntil([&] { return client.session().RoomRef == 165; }));
    typeLine("se");
    ASSERT_TRUE(waitUntil([&] { return client.session().RoomRef == 166; }));
    typeLine("say here");
    ASSERT_TRUE(saidTimes("here", 1));
    QFile log(path("walk.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    // Readable while the session goes on.
    EXPECT_TRUE(log.readAll().contains("North Road\r\n"));
    log.close();

    button("Command13_3")->click();
    EXPECT_EQ(button("Command13_3")->text(), "Open&Log");
    EXPECT_TRUE(logLabel->isHidden());
    QString shown = output().mid(before.size());
    shown.replace("\n", "\r\n");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray logged = log.readAll();
    EXPECT_EQ(logged, shown.toUtf8());
    EXPECT_TRUE(logged.contains("Market Row\r\n"));
    EXPECT_FALSE(logged.contains("[vrox]"));
}

} // namespace
} // namespace corvane::testing
