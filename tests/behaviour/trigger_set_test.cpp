#include "scratch_folder.h"
#include "settings/settings.h"
#include "settings/trigger_set.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace corvane {
namespace {

using testing::ScratchFolder;
using Rows = std::array<TriggerRow, kTriggerCount>;

const FontDefaults kInputFont{"Courier New", 10};

class TriggerSetTest : public ::testing::Test {
protected:
    std::string path() const { return m_folder.file("CORVANE.INI"); }
    void write(const std::string& world, const std::string& key, const std::string& value) {
        WriteSetting(world, key, value, path());
    }
    std::string read(const std::string& world, const std::string& key) const {
        return ReadSetting(world, key, path());
    }
    TriggerDef loadSlot1(const std::string& key, const std::string& value) {
        write("Moss", key, value);
        triggers.LoadTriggers("Moss", path(), kInputFont);
        return triggers.WorldTriggers[0];
    }

    ScratchFolder m_folder;
    TriggerSet triggers;
};

TEST_F(TriggerSetTest, WorldWithoutKeysLoadsFiveEmptyTriggersInTheInputFont) {
    write("Moss", "Character 1", "Wren");
    triggers.WorldTriggers[2].text = "left over";
    triggers.WorldTriggers[2].popUp = true;

    triggers.LoadTriggers("Moss", path(), kInputFont);

    for (const TriggerDef& trigger : triggers.WorldTriggers) {
        EXPECT_EQ(trigger.text, "");
        EXPECT_EQ(trigger.soundFile, "");
        EXPECT_FALSE(trigger.popUp);
        EXPECT_EQ(trigger.fontName, "Courier New");
        EXPECT_EQ(trigger.fontSize, 10);
        EXPECT_FALSE(trigger.bold);
        EXPECT_FALSE(trigger.italic);
        EXPECT_EQ(trigger.colour, 0);
    }
}

TEST_F(TriggerSetTest, SoundFieldGivesPathAndPopUp) {
    struct Case {
        std::string stored;
        std::string soundFile;
        bool popUp;
    };
    const std::vector<Case> cases = {
        {"C:\\sounds\\ding.wav", "C:\\sounds\\ding.wav", false},
        {"ding.wav,-1", "ding.wav", true},
        {"ding.wav,0", "ding.wav", false},
        {"ding.wav,1", "ding.wav", true},
        {"ding.wav,", "ding.wav", false},
        {"ding.wav,yes", "ding.wav", false},
        {",-1", "", true},
        // A path with a comma in it survives: the flag is the last field.
        {"/home/a,b/ding.wav,-1", "/home/a,b/ding.wav", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const TriggerDef trigger = loadSlot1("WAVFile 1", c.stored);
        EXPECT_EQ(trigger.soundFile, c.soundFile);
        EXPECT_EQ(trigger.popUp, c.popUp);
    }
}

TEST_F(TriggerSetTest, FontFieldGivesFontWithFallbacks) {
    struct Case {
        std::string stored;
        std::string name;
        float size;
        bool bold;
        bool italic;
        std::int32_t colour;
    };
    const std::vector<Case> cases = {
        {"Arial,9,True,False,255", "Arial", 9, true, false, 255},
        {"Arial,10.5,false,TRUE,16711680", "Arial", 10.5f, false, true, 16711680},
        {"Arial", "Arial", 10, false, false, 0},
        {",,yes,1,", "Courier New", 10, false, false, 0},
        {"Arial,0,True,True,12.6", "Arial", 10, true, true, 13},
        {"Arial, 12 ,True,False, 65280", "Arial", 12, true, false, 65280},
        // Sizes outside the font chooser's range are brought into it.
        {"Arial,300,False,False,0", "Arial", 256, false, false, 0},
        {"Arial,-4,False,False,0", "Arial", 1, false, false, 0},
        {"Arial,1E300,False,False,0", "Arial", 256, false, false, 0},
        // A colour that cannot be a 32-bit value is as good as none.
        {"Arial,9,False,False,1E20", "Arial", 9, false, false, 0},
        {"Arial,9,False,False,-1", "Arial", 9, false, false, -1},
        // Only the name can take the extra commas.
        {"Sans, Condensed,11,True,False,5", "Sans, Condensed", 11, true, false, 5},
        {"Sans, Condensed,11,True,False,", "Sans, Condensed", 11, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const TriggerDef trigger = loadSlot1("TrigFont 1", c.stored);
        EXPECT_EQ(trigger.fontName, c.name);
        EXPECT_EQ(trigger.fontSize, c.size);
        EXPECT_EQ(trigger.bold, c.bold);
        EXPECT_EQ(trigger.italic, c.italic);
        EXPECT_EQ(trigger.colour, c.colour);
    }
}

TEST_F(TriggerSetTest, SavedRowsAreStoredInTheirFormsAndLoadBack) {
    triggers.LoadTriggers("Moss", path(), kInputFont);
    triggers.WorldTriggers[0] = {"", "", false, "Arial", 10.5f, true, false, 255};
    triggers.WorldTriggers[3] = {"", "", false, "Times", 12.1f, false, true, 16711680};
    Rows rows;
    rows[0] = {"pages you", "/snd/page.wav", true};
    rows[3] = {"Wren", "", false};

    triggers.SaveTriggers(true, "Moss", rows, "", path());

    EXPECT_EQ(read("Moss", "Trigger 1"), "pages you");
    EXPECT_EQ(read("Moss", "WAVFile 1"), "/snd/page.wav,-1");
    EXPECT_EQ(read("Moss", "TrigFont 1"), "Arial,10.5,True,False,255");
    EXPECT_EQ(read("Moss", "Trigger 4"), "Wren");
    EXPECT_EQ(read("Moss", "WAVFile 4"), ",0");
    EXPECT_EQ(read("Moss", "TrigFont 4"), "Times,12.1,False,True,16711680");
    EXPECT_EQ(read("Moss", "Trigger 2"), "");

    TriggerSet reloaded;
    reloaded.LoadTriggers("Moss", path(), FontDefaults{"Other", 7});
    const TriggerDef& first = reloaded.WorldTriggers[0];
    EXPECT_EQ(first.text, "pages you");
    EXPECT_EQ(first.soundFile, "/snd/page.wav");
    EXPECT_TRUE(first.popUp);
    EXPECT_EQ(first.fontName, "Arial");
    EXPECT_EQ(first.fontSize, 10.5f);
    EXPECT_TRUE(first.bold);
    EXPECT_FALSE(first.italic);
    EXPECT_EQ(first.colour, 255);
    EXPECT_EQ(reloaded.WorldTriggers[3].text, "Wren");
    EXPECT_FALSE(reloaded.WorldTriggers[3].popUp);
    EXPECT_EQ(reloaded.WorldTriggers[1].fontName, "Other");
}

TEST_F(TriggerSetTest, ClearingARowDeletesItsThreeKeysOnly) {
    for (const std::string n : {"1", "2"}) {
        write("Moss", "Trigger " + n, "text " + n);
        write("Moss", "WAVFile " + n, "s" + n + ".wav,-1");
        write("Moss", "TrigFont " + n, "Arial,9,False,False,0");
    }
    write("Moss", "Character 1", "Wren");
    write("Other", "Trigger 2", "elsewhere");
    triggers.LoadTriggers("Moss", path(), kInputFont);
    Rows rows;
    rows[0] = {"text 1", "s1.wav", true};

    triggers.SaveTriggers(true, "Moss", rows, "", path());

    const std::string file = m_folder.read("CORVANE.INI");
    EXPECT_EQ(file.find("Trigger 2=text 2"), std::string::npos) << file;
    EXPECT_EQ(file.find("WAVFile 2"), std::string::npos);
    EXPECT_EQ(file.find("TrigFont 2"), std::string::npos);
    EXPECT_EQ(read("Moss", "Trigger 1"), "text 1");
    EXPECT_EQ(read("Moss", "WAVFile 1"), "s1.wav,-1");
    EXPECT_EQ(read("Moss", "TrigFont 1"), "Arial,9,False,False,0");
    EXPECT_EQ(read("Moss", "Character 1"), "Wren");
    EXPECT_EQ(read("Other", "Trigger 2"), "elsewhere");
}

TEST_F(TriggerSetTest, SavingWithoutWriteLeavesTheFileAlone) {
    write("Moss", "Trigger 1", "kept");
    const std::string before = m_folder.read("CORVANE.INI");
    triggers.LoadTriggers("Moss", path(), kInputFont);

    triggers.SaveTriggers(false, "Moss", Rows{}, "Moss", path());

    EXPECT_EQ(m_folder.read("CORVANE.INI"), before);
    EXPECT_EQ(triggers.ActiveTriggers[0].text, "");
}

TEST_F(TriggerSetTest, OnlyTheConnectedWorldsRowsTakeEffect) {
    triggers.LoadTriggers("Moss", path(), kInputFont);
    triggers.WorldTriggers[1].colour = 255;
    triggers.activateWorldTriggers();
    Rows rows;
    rows[1] = {"dragon", "roar.wav", true};

    triggers.SaveTriggers(true, "Moss", rows, "moss", path()); // names compare exactly
    triggers.SaveTriggers(true, "Moss", rows, "Fern", path());
    triggers.SaveTriggers(true, "Moss", rows, "", path());
    EXPECT_EQ(triggers.ActiveTriggers[1].text, "");
    EXPECT_EQ(triggers.match("a dragon lands"), -1);

    triggers.SaveTriggers(false, "Moss", rows, "Moss", path());
    const TriggerDef& active = triggers.ActiveTriggers[1];
    EXPECT_EQ(active.text, "dragon");
    EXPECT_EQ(active.soundFile, "roar.wav");
    EXPECT_TRUE(active.popUp);
    EXPECT_EQ(active.fontName, "Courier New");
    EXPECT_EQ(active.colour, 255);
    EXPECT_EQ(triggers.match("a dragon lands"), 1);
}

TEST_F(TriggerSetTest, AnUnnamedWorldIsNeitherWrittenNorActivated) {
    Rows rows;
    rows[0] = {"anything", "", false};

    triggers.SaveTriggers(true, "", rows, "", path());

    EXPECT_FALSE(FileExists(path()));
    EXPECT_EQ(triggers.match("anything"), -1);
}

TEST_F(TriggerSetTest, ClearingTheActiveSlotsKeepsTheirFonts) {
    triggers.WorldTriggers[0] = {"hello", "a.wav", true, "Arial", 9, true, false, 255};
    triggers.activateWorldTriggers();
    ASSERT_EQ(triggers.match("hello"), 0);

    triggers.clearActive();

    EXPECT_EQ(triggers.match("hello"), -1);
    EXPECT_EQ(triggers.ActiveTriggers[0].soundFile, "");
    EXPECT_FALSE(triggers.ActiveTriggers[0].popUp);
    EXPECT_EQ(triggers.ActiveTriggers[0].fontName, "Arial");
}

TEST(TriggerMatch, FirstMatchingSlotWinsWithoutRegardToCase) {
    TriggerSet triggers;
    const std::array<std::string, kTriggerCount> texts = {"", "Café", "ORC", "orc", "×"};
    for (std::size_t i = 0; i < kTriggerCount; ++i) {
        triggers.ActiveTriggers[i].text = texts[i];
    }
    triggers.prepare();

    struct Case {
        std::string line;
        int slot;
    };
    const std::vector<Case> cases = {
        {"An orc attacks.", 2},
        {"an Orc and a CAFÉ", 1},
        {"CAFÉ", 1},
        {"café", 1},
        {"cafe", -1},
        {"Ork", -1},
        {"", -1},
        {"3 × 4", 4},
        {"3 ÷ 4", -1}, // the multiplication sign has no small letter
        {"or\xC3", -1},
        {"ORC\xC3", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(triggers.match(c.line), c.slot);
    }
}

TEST(TriggerMatch, NoActiveTextMatchesNothing) {
    TriggerSet triggers;
    triggers.prepare();
    EXPECT_EQ(triggers.match("anything at all"), -1);
    EXPECT_EQ(triggers.match(""), -1);
}

TEST(FoldCase, LowersAsciiAndLatin1Capitals) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"Hello, WORLD 123", "hello, world 123"},
        {"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ", "àáâãäåæçèéêëìíîïðñòóôõö"},
        {"ØÙÚÛÜÝÞ", "øùúûüýþ"},
        {"×ßÿ", "×ßÿ"},
        {"ŒŸ€", "ŒŸ€"},   // beyond Latin-1: left alone
        {"\xC3", "\xC3"}, // a lead byte at the end
        {"\x80\x89", "\x80\x89"},
        {"@AZ[`az{@AZ[`az{", "@az[`az{@az[`az{"},
        {"ABCDEFGÉHIJKLMNOPQRSTUVWXYZ", "abcdefgéhijklmnopqrstuvwxyz"},
        {"ÉÉÉÉÉÉÉÉABCDEFGH", "ééééééééabcdefgh"},
    };
    std::string out = "previous contents that are longer";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        FoldCase(c.in, out);
        EXPECT_EQ(out, c.out);
    }
}

} // namespace
} // namespace corvane
