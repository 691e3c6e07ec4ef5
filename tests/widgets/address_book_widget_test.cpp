#include "settings/settings.h"
#include "widgets/qt_dialog_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(AddressBookWidget, PickAWorldEditItsPortAndConnect) {
    QtDialogHarness h;
    h.folder.write("CORVANE.INI",
                   "[Addresses]\r\nMUD 1=Alpha,alpha.example,4201\r\nMUD 2=Beta,beta.example,8888\r\n");
    h.prompts.answers = {PromptAnswer::Yes};
    bool ran = false;
    QtDialogHarness::whileModal(
        [&] {
            QWidget* dialog = QtDialogHarness::shownWindow("frmConnect");
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
            auto* secure = dialog->findChild<QCheckBox*>("chkSecure");
            ASSERT_NE(secure, nullptr);
            EXPECT_EQ(secure->text(), "&Secure (TLS)");
            EXPECT_FALSE(secure->isChecked());
            QTest::mouseClick(secure, Qt::LeftButton);
            auto* encoding = dialog->findChild<QComboBox*>("cboEncoding");
            ASSERT_NE(encoding, nullptr);
            EXPECT_EQ(encoding->count(), 3);
            EXPECT_EQ(encoding->currentText(), "Automatic");
            QTest::keyClick(encoding, Qt::Key_End);
            EXPECT_EQ(encoding->currentText(), "UTF-8");
            auto* server = dialog->findChild<QComboBox*>("cboServer");
            ASSERT_NE(server, nullptr);
            EXPECT_EQ(server->currentText(), "MUCK");
            QTest::keyClick(server, Qt::Key_End);
            EXPECT_EQ(server->currentText(), "MUD");
            QTest::mouseClick(ok, Qt::LeftButton);
        },
        [&] { h.client.FileConnect(); });

    ASSERT_TRUE(ran);
    ASSERT_EQ(h.prompts.questions.size(), 1u);
    EXPECT_EQ(h.prompts.questions[0].title, "CORVane 2.1");
    EXPECT_EQ(h.socket.connectCalls, std::vector<std::string>{"tls:beta.example:65535"});
    EXPECT_EQ(ReadSetting("Addresses", "MUD 2", h.path), "Beta,beta.example,65535");
    EXPECT_EQ(ReadSetting("Beta", "Secure", h.path), "True");
    EXPECT_EQ(ReadSetting("Beta", "Encoding", h.path), "UTF-8");
    EXPECT_EQ(ReadSetting("Beta", "Server", h.path), "MUD");
    EXPECT_TRUE(h.client.session().Connected);
    EXPECT_EQ(QtDialogHarness::shownWindow("frmConnect"), nullptr);
}

} // namespace
} // namespace corvane::testing
