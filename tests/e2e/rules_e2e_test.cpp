#include "e2e/practice_world_process.h"
#include "e2e/real_client.h"
#include "fakes/fake_address_book_view.h"
#include "qt/qt_view_factory.h"
#include "widgets/qt_wait.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

class RulesViews : public QtViewFactory {
public:
    std::unique_ptr<AddressBookView> createAddressBookView() override {
        return std::make_unique<FakeAddressBookView>();
    }
};

struct RulesFolder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    StartOptions options() const {
        return StartOptions{
            path("CORVANE.INI").toStdString(), dir.path().toStdString(), {}, dir.path().toStdString(), {}};
    }
};

// Tester logged in on the practice world, with triggers and aliases, paging
// itself: the world answers a page to oneself with both lines.
struct RulesE2E : ::testing::Test, RulesFolder, RealClient<RulesViews> {
    PracticeWorldProcess world;

    RulesE2E()
        : RealClient<RulesViews>(options()) {}

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
    void typeLine(const QString& text) {
        QLineEdit* input = window.findChild<QLineEdit*>("Text1");
        input->setText(text);
        QTest::keyClick(input, Qt::Key_Return);
    }
    static Rule pageTrigger(const std::string& pattern, const std::string& send) {
        Rule rule;
        rule.mode = MatchMode::Regex;
        rule.pattern = pattern;
        rule.send = send;
        return rule;
    }
};

TEST_F(RulesE2E, TriggerAnswersAPageAndAnAliasSendsTwoCommands) {
    ASSERT_TRUE(logIn());
    Rule gg;
    gg.kind = Rule::Kind::Alias;
    gg.pattern = "gg";
    gg.send = "get gold;say got it";
    client.rules().book().setRules({pageTrigger("^(\\w+) pages, \"(hello)\" to you", "page $1=got $2"), gg});

    typeLine("page Tester=hello");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You page, \"got hello\" to Tester."); }));
    typeLine("gg");
    EXPECT_TRUE(waitUntil([&] { return output().contains("You say, \"got it\""); }));
}

TEST_F(RulesE2E, RunawayTriggerIsStoppedByTheLimit) {
    ASSERT_TRUE(logIn());
    client.rules().book().setRules({pageTrigger("^(\\w+) pages, \"(.*)\" to you", "page $1=again")});
    typeLine("page Tester=start");
    const QString stopped = "*** Triggers stopped sending: more than 20 commands a second (Edit > Triggers and "
                            "Aliases to resume)";
    ASSERT_TRUE(waitUntil([&] { return output().contains(stopped); }));
    QTest::qWait(500);
    EXPECT_EQ(output().count(stopped), 1);
    EXPECT_LE(output().count("You page, \"again\" to Tester."), 20);
}

} // namespace
} // namespace corvane::testing
