#include "qt/qt_player_list_view.h"
#include "widgets/qt_wait.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane {
namespace {

using testing::waitUntil;

QStringList entries(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->item(i)->text();
    }
    return texts;
}

class PlayerListWidget : public ::testing::Test {
protected:
    QtPlayerListView view;

    QListWidget* list(const char* name) const { return view.findChild<QListWidget*>(name); }
    QLabel* label(const char* name) const { return view.findChild<QLabel*>(name); }
    QPushButton* button(int index) const {
        return view.findChild<QPushButton*>(QStringLiteral("Command1_%1").arg(index));
    }
};

TEST_F(PlayerListWidget, DesignStateBeforeAnyListing) {
    EXPECT_EQ(view.objectName(), "Form4");
    EXPECT_EQ(view.windowTitle(), "Player List");
    const std::vector<std::pair<const char*, const char*>> labels = {
        {"lblAwake", "Awake"},     {"lblAsleep", "Asleep"},     {"lblIdle", "Idle"},
        {"lblPuppets", "Puppets"}, {"lblLocation", "Location"}, {"lblCommand", "COMMAND"},
    };
    for (const auto& [name, text] : labels) {
        ASSERT_NE(label(name), nullptr) << name;
        EXPECT_EQ(label(name)->text(), text);
        EXPECT_EQ(label(name)->textFormat(), Qt::PlainText) << name;
    }
    EXPECT_TRUE(label("lblCommand")->isHidden());
    const QStringList captions = {"&Look", "&Where", "Lasto&n", "Who&Sp", "&Pinfo", "&Done"};
    for (int i = 0; i < captions.size(); ++i) {
        ASSERT_NE(button(i), nullptr) << i;
        EXPECT_EQ(button(i)->text(), captions[i]);
    }
    for (const char* name : {"AwakeList", "AsleepList", "IdleList", "PuppetList"}) {
        ASSERT_NE(list(name), nullptr) << name;
        EXPECT_EQ(list(name)->selectionMode(), QAbstractItemView::SingleSelection);
    }
}

TEST_F(PlayerListWidget, FilledThroughTheViewInterface) {
    view.clearLists();
    view.addPlayer(PlayerKind::Awake, "Wren");
    view.addPlayer(PlayerKind::Awake, "<b>Bold</b>");
    view.addPlayer(PlayerKind::Asleep, "Moss");
    view.addPlayer(PlayerKind::Idle, "Fern [12m]");
    view.setCaption("Moss MUCK Player List");
    view.setSummary("There are 4 players in <i>The Plaza</i>.");
    view.setListEnabled(PlayerKind::Puppet, false);
    view.setListLabelColour(PlayerKind::Puppet, colours::Grey);
    view.setPlayerButtonsEnabled(false);
    view.showWindow();
    ASSERT_TRUE(waitUntil([&] { return view.isVisible(); }));

    EXPECT_EQ(entries(list("AwakeList")), QStringList({"Wren", "<b>Bold</b>"}));
    EXPECT_EQ(entries(list("AsleepList")), QStringList({"Moss"}));
    EXPECT_EQ(entries(list("IdleList")), QStringList({"Fern [12m]"}));
    EXPECT_TRUE(entries(list("PuppetList")).isEmpty());
    EXPECT_EQ(view.playerCount(PlayerKind::Awake), 2);
    EXPECT_EQ(view.playerCount(PlayerKind::Puppet), 0);
    EXPECT_EQ(view.windowTitle(), "Moss MUCK Player List");
    EXPECT_EQ(label("lblLocation")->text(), "There are 4 players in <i>The Plaza</i>.");

    EXPECT_TRUE(list("AwakeList")->isEnabled());
    EXPECT_FALSE(list("PuppetList")->isEnabled());
    EXPECT_EQ(label("lblPuppets")->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(button(i)->isEnabled()) << i;
    }
    EXPECT_TRUE(button(5)->isEnabled());
    view.grab().save("/tmp/corvane-player-list.png");

    view.setPlayerButtonsEnabled(true);
    view.setCommandLabelVisible(true);
    EXPECT_TRUE(button(0)->isEnabled());
    EXPECT_TRUE(label("lblCommand")->isVisible());

    view.clearLists();
    view.addPlayer(PlayerKind::Puppet, "Pip");
    EXPECT_EQ(view.playerCount(PlayerKind::Awake), 0);
    EXPECT_EQ(entries(list("PuppetList")), QStringList({"Pip"}));
}

TEST_F(PlayerListWidget, DoneHidesTheWindowAndItComesBackWithItsEntries) {
    view.addPlayer(PlayerKind::Awake, "Wren");
    view.showWindow();
    ASSERT_TRUE(waitUntil([&] { return view.isVisible(); }));

    QTest::mouseClick(button(5), Qt::LeftButton);
    EXPECT_FALSE(view.isVisible());

    view.showWindow();
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.playerCount(PlayerKind::Awake), 1);
}

} // namespace
} // namespace corvane
