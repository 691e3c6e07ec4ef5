#include "behaviour/room_harness.h"
#include "room/picture_finder.h"
#include "room/room_info.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(PictureFinder, FindsTheRoomsFileWhateverItsCaseAndPrefersABitmap) {
    struct Row {
        const char* what;
        std::vector<std::string> files;
        const char* found; // empty: no picture
    };
    const Row rows[] = {
        {"upper-case bitmap", {"57.BMP"}, "57.BMP"},
        {"lower-case bitmap", {"57.bmp"}, "57.bmp"},
        {"mixed-case bitmap", {"57.Bmp"}, "57.Bmp"},
        {"a PNG when no bitmap exists", {"57.png", "570.BMP"}, "57.png"},
        {"a JPEG", {"57.JPG"}, "57.JPG"},
        {"the bitmap before a PNG", {"57.png", "57.bMp"}, "57.bMp"},
        {"another room's picture only", {"58.BMP", "157.BMP", "57.txt"}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScratchFolder folder;
        for (const std::string& name : row.files) {
            folder.write(name, "picture");
        }
        PictureFinder finder;
        const std::string found = finder.find(folder.path() + "/", 57);
        EXPECT_EQ(found, *row.found ? folder.file(row.found) : std::string());
    }
}

TEST(PictureFinder, AFolderFromAnotherMachineOrAPictureAddedLaterAreHandled) {
    PictureFinder finder;
    EXPECT_EQ(finder.find("C:\\MUCK\\PICTURES\\", 57), "");
    EXPECT_EQ(finder.find("/no/such/folder/", 57), "");
    EXPECT_EQ(finder.find("", 57), "");

    ScratchFolder folder;
    folder.write("1.png", "picture");
    EXPECT_EQ(finder.find(folder.path(), 57), "");
    folder.write("57.Png", "picture");
    // The folder changed since it was listed: the new file is seen.
    std::filesystem::last_write_time(folder.path(), std::filesystem::last_write_time(folder.path()) +
                                                        std::chrono::seconds(2));
    EXPECT_EQ(finder.find(folder.path(), 57), folder.file("57.Png"));
}

struct RoomPictureTest : ::testing::Test, RoomHarness {
    ScratchFolder pictures;

    void SetUp() override {
        logIn();
        pictures.write("57.BMP", "picture of the square");
        pictures.write("60.bmp", "no picture at all");
        h->client.settings().PictureDir = pictures.path() + "/";
    }
    FakePictureView* window() { return h->views.picture; }
    FakeNoticeView* notice() { return h->views.notice; }
};

TEST_F(RoomPictureTest, ViewPictureExplainsAMissingPicture) {
    h->client.settings().AutoPictureLoad = false;
    h->client.onMenuTriggered(MenuItem::ViewPicture);
    ASSERT_NE(notice(), nullptr);
    EXPECT_EQ(notice()->caption, "Corvane ver. 2.1");
    EXPECT_EQ(notice()->text, "You don't have a picture for this room.\n");

    h->client.settings().PictureDir = "/home/wren/Pics/";
    arrive("58 Town Square");
    h->client.onMenuTriggered(MenuItem::ViewPicture);
    EXPECT_EQ(notice()->text, "You don't have a picture for \nTown Square (DB Ref #58).\n\n"
                              "To add a picture, create a bitmap file named:\n/home/wren/Pics/58.BMP");
    EXPECT_FALSE(menu().checked(MenuItem::ViewPicture));
    EXPECT_EQ(window(), nullptr);
}

TEST_F(RoomPictureTest, AutomaticLoadingFollowsTheRooms) {
    h->client.settings().AutoPictureLoad = true;
    arrive("58 Market Row");
    EXPECT_EQ(window(), nullptr) << "no picture: no window";
    arrive("57 Town Square");
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->shown);
    EXPECT_EQ(window()->picturePath, pictures.file("57.BMP"));
    EXPECT_EQ(window()->roomName, "Town Square");
    EXPECT_TRUE(menu().checked(MenuItem::ViewPicture));

    // A file that is no picture counts as none: blanked, left open, no message.
    arrive("60 Well Garden");
    EXPECT_TRUE(window()->shown);
    EXPECT_EQ(window()->picturePath, "");
    EXPECT_EQ(window()->roomName, "");
    EXPECT_EQ(notice(), nullptr);

    window()->events->onOk();
    EXPECT_FALSE(menu().checked(MenuItem::ViewPicture));
    EXPECT_EQ(h->window.focus, "input");
    arrive("58 Market Row");
    EXPECT_FALSE(window()->shown);
    arrive("57 Town Square");
    EXPECT_TRUE(window()->shown);
}

TEST_F(RoomPictureTest, WithoutAutomaticLoadingTheMenuShowsAndClosesThePicture) {
    h->client.settings().AutoPictureLoad = false;
    arrive("57 Town Square");
    EXPECT_EQ(window(), nullptr);
    h->client.onMenuTriggered(MenuItem::ViewPicture);
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->shown);
    EXPECT_TRUE(menu().checked(MenuItem::ViewPicture));

    arrive("58 Market Row");
    EXPECT_EQ(window()->picturePath, pictures.file("57.BMP")) << "kept after moving on";
    h->client.onMenuTriggered(MenuItem::ViewPicture);
    EXPECT_FALSE(window()->shown);
    EXPECT_FALSE(menu().checked(MenuItem::ViewPicture));
}

TEST(RoomInfo, ReadsAsWrittenWithTheHoursOfTheDay) {
    using std::chrono::hours;
    using std::chrono::minutes;
    struct Row {
        const char* what;
        const char* room;
        std::int32_t ref;
        std::chrono::system_clock::duration elapsed;
        const char* text;
    };
    const Row rows[] = {
        {"in a room", "Town Square", 164, hours(1) + minutes(5),
         "Wren, on Test\nfor 1 hrs 5 min\n\nCurrently in:\nTown Square\nDB Ref:  164"},
        {"a day later", "Town Square", 164, hours(25) + minutes(5),
         "Wren, on Test\nfor 1 hrs 5 min\n\nCurrently in:\nTown Square\nDB Ref:  164"},
        {"a negative reference", "Void", -3, minutes(0),
         "Wren, on Test\nfor 0 hrs 0 min\n\nCurrently in:\nVoid\nDB Ref: -3"},
        {"before any room", "", 0, minutes(59), "Wren, on Test\nfor 0 hrs 59 min\n"},
        {"a clock set back", "", 0, -minutes(10), "Wren, on Test\nfor 0 hrs 0 min\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Session session;
        session.CharacterName = "Wren";
        session.WorldName = "Test";
        session.RoomName = row.room;
        session.RoomRef = row.ref;
        EXPECT_EQ(RoomInfoText(session, row.elapsed), row.text);
    }
}

TEST_F(RoomPictureTest, InfoCountsFromTheClockOrWithTheClockOffFromTheLogIn) {
    h->clock.advance(std::chrono::minutes(70));
    h->window.focus.clear();
    h->client.onCommandButton(command_button::Info);
    ASSERT_NE(notice(), nullptr);
    EXPECT_EQ(notice()->caption, "Room Info");
    EXPECT_EQ(notice()->text, "Wren, on Test\nfor 1 hrs 10 min\n");
    EXPECT_NE(h->window.focus, "input");

    h->client.onMenuTriggered(MenuItem::ViewTimer); // off
    h->client.onMenuTriggered(MenuItem::ViewTimer); // on again: counts from now
    h->clock.advance(std::chrono::minutes(3));
    h->client.onMenuTriggered(MenuItem::ViewInfo);
    EXPECT_EQ(notice()->text, "Wren, on Test\nfor 0 hrs 3 min\n");
    h->client.onMenuTriggered(MenuItem::ViewTimer); // off: from the log-in
    h->client.onMenuTriggered(MenuItem::ViewInfo);
    EXPECT_EQ(notice()->text, "Wren, on Test\nfor 1 hrs 13 min\n");
}

TEST_F(RoomPictureTest, OddRoomMarkersAreReadSafelyAndLongNamesCutInTheCaptionOnly) {
    struct Row {
        std::string marker;
        std::int32_t ref;
        std::string name;
        std::string caption;
    };
    const std::string longName(10000, 'x');
    const Row rows[] = {
        {"99999999999 Far Away", 2147483647, "Far Away", "Test - Far Away"},
        {"-12 Below", -12, "Below", "Test - Below"},
        {"abc Nowhere", 0, "Nowhere", "Test - Nowhere"},
        {"12 ", 12, "", "Test - "},
        {"13", 13, "", "Test - "},
        {"14 " + longName, 14, longName, "Test - " + longName.substr(0, 97) + "..."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.marker.substr(0, 20));
        arrive(row.marker);
        EXPECT_EQ(session().RoomRef, row.ref);
        EXPECT_EQ(session().RoomName, row.name);
        EXPECT_EQ(h->window.captionText, row.caption);
    }
    EXPECT_EQ(h->window.output.find("[vrox]"), std::string::npos);
}

} // namespace
} // namespace corvane::testing
