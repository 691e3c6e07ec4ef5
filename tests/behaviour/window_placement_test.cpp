#include "behaviour/scratch_folder.h"
#include "shell/window_placement.h"
#include "shell/window_places.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// A 1920x1080 screen with a 40-pixel panel at the top, and main windows on it.
constexpr PlaceRect kWideScreen{0, 40, 1920, 1040};
constexpr PlaceRect kSmallScreen{0, 0, 1280, 900};

PlacementScene MainAt(const PlaceRect& screen, const PlaceRect& main) {
    // The menu bar under a 30-pixel title, the input line 60 above the foot.
    return {screen,
            main,
            {main.x, main.y + 30, main.width, 24},
            {main.x, main.y + 150, main.width, main.height - 250},
            {main.x, main.bottom() - 60, main.width, 30}};
}

struct PlacementRow {
    const char* name;
    PlacementScene scene;
    int width;
    int height;
    int opened;
    std::optional<PlaceRect> remembered;
    PlaceRect expected;
};

TEST(WindowPlacement, AWindowOpenedByItselfKeepsClearOfTheMenuBarAndInputLine) {
    const PlacementScene leftHalf = MainAt(kWideScreen, {0, 40, 1000, 1040});
    const PlacementScene rightHalf = MainAt(kWideScreen, {900, 40, 1020, 1040});
    const PlacementScene whole = MainAt(kSmallScreen, {0, 0, 1280, 900});
    const PlacementScene narrowRoom = MainAt(kSmallScreen, {100, 0, 1100, 900});
    const PlacementRow rows[] = {
        {"beside on the right where there is room", leftHalf, 520, 300, 0, {}, {1000, 40, 520, 300}},
        {"a second one a step lower", leftHalf, 520, 300, 1, {}, {1000, 68, 520, 300}},
        {"narrowed to the room beside",
         MainAt(kWideScreen, {0, 40, 1600, 1040}),
         520,
         300,
         0,
         {},
         {1600, 40, 320, 300}},
        {"on the left when the room is there", rightHalf, 520, 300, 0, {}, {380, 40, 520, 300}},
        {"taller than the screen is cut to it", leftHalf, 520, 2000, 0, {}, {1000, 40, 520, 1040}},
        {"the step keeps the foot on the screen", leftHalf, 520, 1000, 3, {}, {1000, 80, 520, 1000}},
        {"no room beside: over the output's upper two thirds", whole, 520, 600, 0, {}, {0, 150, 520, 433}},
        {"cascaded there", whole, 520, 300, 2, {}, {56, 206, 520, 300}},
        {"too little room beside for its least width", narrowRoom, 520, 300, 0, {}, {100, 150, 520, 300}},
        {"where the player left the last one",
         whole,
         520,
         300,
         0,
         PlaceRect{700, 200, 500, 400},
         {700, 200, 500, 400}},
        {"a remembered place over the input line is not used",
         whole,
         520,
         300,
         0,
         PlaceRect{700, 600, 500, 260},
         {0, 150, 520, 300}},
        {"a remembered place off the screen is not used",
         leftHalf,
         520,
         300,
         0,
         PlaceRect{3000, 100, 500, 300},
         {1000, 40, 520, 300}},
        {"a remembered place over the menu bar is not used",
         leftHalf,
         520,
         300,
         0,
         PlaceRect{10, 10, 500, 300},
         {1000, 40, 520, 300}},
    };
    for (const PlacementRow& row : rows) {
        const PlaceRect placed =
            PlaceOwnWindow(row.scene, row.width, row.height, 200, 120, row.opened, row.remembered);
        EXPECT_EQ(PlaceText(placed), PlaceText(row.expected)) << row.name;
        EXPECT_TRUE(row.scene.screen.contains(placed)) << row.name;
        EXPECT_FALSE(placed.overlaps(row.scene.menuBar)) << row.name;
        EXPECT_FALSE(placed.overlaps(row.scene.inputLine)) << row.name;
    }
}

TEST(WindowPlacement, EachKindRemembersItsLastPlaceInTheSettingsFile) {
    ScratchFolder folder;
    WindowPlaces places(folder.file("CORVANE.INI"));
    EXPECT_FALSE(places.last("Conversation"));
    places.remember("Conversation", {10, 20, 300, 200});
    places.remember("MUCK Help", {50, 60, 400, 500});
    WindowPlaces again(folder.file("CORVANE.INI"));
    EXPECT_EQ(again.last("Conversation"), (PlaceRect{10, 20, 300, 200}));
    EXPECT_EQ(again.last("MUCK Help"), (PlaceRect{50, 60, 400, 500}));
    for (const char* bad : {"", "1,2,3", "1,2,0,4", "a,b,c,d", "1,2,3,4,5", "-5,-6,30,40x"}) {
        EXPECT_FALSE(ParsePlace(bad)) << bad;
    }
    EXPECT_EQ(ParsePlace("-5,-6,30,40"), (PlaceRect{-5, -6, 30, 40}));
}

} // namespace
} // namespace corvane::testing
