#include "scratch_folder.h"
#include "settings/ini_file.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace corvane {
namespace {

using testing::ScratchFolder;

IniFile loaded(const std::string& bytes) {
    ScratchFolder folder;
    folder.write("x.ini", bytes);
    IniFile file;
    std::string reason;
    EXPECT_TRUE(file.load(folder.file("x.ini"), reason)) << reason;
    return file;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

void PrintTo(const ReadCase& row, std::ostream* out) {
    *out << row.name;
}

class IniFileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniFileRead, FindsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(loaded(c.bytes).value(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, IniFileRead,
    ::testing::Values(
        ReadCase{"BlanksAroundKeyAndValue", "[Font]\r\nFontSize = 9\r\n", "Font", "FontSize", "9"},
        ReadCase{"NamesIgnoreCase", "[Font]\r\nFontSize=9\r\n", "fONT", "FONTSIZE", "9"},
        ReadCase{"TabsAndInnerBlanks", "[A]\r\n\tKey\t=\t a b \t\r\n", "A", "key", "a b"},
        ReadCase{"BlanksInHeader", "  [ Font ]  \r\nk=1\r\n", "font", "k", "1"},
        ReadCase{"HeaderNameRunsToLastBracket", "[Moo]Land]\r\nk=1\r\n", "Moo]Land", "k", "1"},
        ReadCase{"EqualsInValue", "[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        ReadCase{"EmptyValueIsPresent", "[A]\r\nk=\r\n", "A", "k", ""},
        ReadCase{"LfOnly", "[A]\nx=1\nk=2\n", "A", "k", "2"},
        ReadCase{"NoFinalLineEnd", "[A]\r\nk=2", "A", "k", "2"},
        ReadCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "1"},
        ReadCase{"EveryByteOrderMarkSkipped", "\xEF\xBB\xBF\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "1"},
        ReadCase{"LoneCrStaysInValue", "[A]\r\nk=a\rb\r\n", "A", "k", "a\rb"},
        ReadCase{"AskedNamesAreTrimmed", "[A]\r\nk=1\r\n", " A ", "k\t", "1"},
        ReadCase{"Windows1252Value", "[A]\r\nk=caf\xE9\r\n", "A", "k", "caf\xC3\xA9"},
        ReadCase{"Utf8Value", "[A]\r\nk=caf\xC3\xA9\r\n", "A", "k", "caf\xC3\xA9"},
        ReadCase{"FirstDuplicateKeyWins", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "1"},
        ReadCase{"FirstDuplicateSectionWins", "[A]\r\nk=1\r\n[a]\r\nk=2\r\nj=3\r\n", "A", "j", std::nullopt},
        ReadCase{"CommentIsNoEntry", "[A]\r\n;k=1\r\n", "A", "k", std::nullopt},
        ReadCase{"KeyBeforeAnySection", "k=1\r\n[A]\r\n", "A", "k", std::nullopt},
        ReadCase{"KeyOfOtherSection", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", std::nullopt},
        ReadCase{"MissingSection", "[A]\r\nk=1\r\n", "B", "k", std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(IniFile, DecodesEachLineOnItsOwn) {
    // A hand edit in Windows-1252 must not turn the UTF-8 lines into mojibake.
    const IniFile file = loaded("[A]\r\nu=\xC3\xA9\r\nw=\xE9\r\n");
    EXPECT_EQ(file.value("A", "u"), "\xC3\xA9");
    EXPECT_EQ(file.value("A", "w"), "\xC3\xA9");
}

TEST(IniFile, ThousandsOfChangesLeaveOnlyTheLastAndEveryOtherLineAsItWas) {
    // Changed lines live apart from the file's bytes and are packed now and then.
    IniFile file = loaded("[A]\r\nw=caf\xE9\r\nk=0\r\n[B]\r\nj=1\r\n");
    for (int i = 1; i <= 5000; ++i) {
        file.setValue("A", "k", std::string(i % 7 + 1, 'x') + std::to_string(i));
        file.setValue("B", "n" + std::to_string(i % 3), std::to_string(i));
    }
    file.removeKey("B", "n0");
    EXPECT_EQ(file.bytes(), "[A]\r\nw=caf\xC3\xA9\r\nk=xxx5000\r\n[B]\r\nj=1\r\nn1=4999\r\nn2=5000\r\n");
}

const std::string kSample = "; settings\r\n"
                            "[Font]\r\n"
                            "FontName=Courier New\r\n"
                            "FontSize = 9\r\n"
                            "stray line\r\n"
                            "\r\n"
                            "[Addresses]\r\n"
                            "MUD 1=FurryMUCK,furrymuck.com,8888\r\n"
                            "\r\n"
                            "\r\n";

struct EditCase {
    const char* name;
    std::function<bool(IniFile&)> edit;
    bool changed;
    std::string expected;
};

void PrintTo(const EditCase& row, std::ostream* out) {
    *out << row.name;
}

class IniFileEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(IniFileEdit, TouchesOnlyItsLines) {
    const EditCase& c = GetParam();
    IniFile file = loaded(kSample);
    EXPECT_EQ(c.edit(file), c.changed);
    EXPECT_EQ(file.bytes(), c.expected);
    // The edited file answers as the same lines read afresh would.
    const IniFile fresh = IniFile::Parse(c.expected);
    for (const auto& [section, key] :
         {std::pair{"Font", "FontName"}, std::pair{"Font", "FontSize"}, std::pair{"Font", "FontBold"},
          std::pair{"Addresses", "MUD 1"}, std::pair{"Addresses", "MUD 2"}, std::pair{"New", "k"}}) {
        EXPECT_EQ(file.value(section, key), fresh.value(section, key)) << section << "/" << key;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, IniFileEdit,
    ::testing::Values(
        EditCase{"ReplaceKeepsKeySpellingAndPlace",
                 [](IniFile& f) { return f.setValue("FONT", "fontsize", "10"); }, true,
                 "; settings\r\n[Font]\r\nFontName=Courier New\r\nFontSize=10\r\nstray line\r\n\r\n"
                 "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n\r\n\r\n"},
        EditCase{"SameValueChangesNothing", [](IniFile& f) { return f.setValue("Font", "FontSize", "9"); },
                 false, kSample},
        EditCase{"NewKeyFollowsLastEntry", [](IniFile& f) { return f.setValue("Font", "FontBold", "False"); },
                 true,
                 "; settings\r\n[Font]\r\nFontName=Courier New\r\nFontSize = 9\r\nFontBold=False\r\n"
                 "stray line\r\n\r\n[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n\r\n\r\n"},
        EditCase{"NewKeyBeforeTrailingBlanks",
                 [](IniFile& f) { return f.setValue("Addresses", "MUD 2", "x"); }, true,
                 "; settings\r\n[Font]\r\nFontName=Courier New\r\nFontSize = 9\r\nstray line\r\n\r\n"
                 "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\nMUD 2=x\r\n\r\n\r\n"},
        EditCase{"NewSectionAtEnd", [](IniFile& f) { return f.setValue("Corvane2", "HelpURL", "h"); }, true,
                 kSample + "[Corvane2]\r\nHelpURL=h\r\n"},
        EditCase{"LoneCrStaysInValue", [](IniFile& f) { return f.setValue("Font", "FontName", "a\rb"); },
                 true,
                 "; settings\r\n[Font]\r\nFontName=a\rb\r\nFontSize = 9\r\nstray line\r\n\r\n"
                 "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n\r\n\r\n"},
        EditCase{"SectionNameIsTrimmed", [](IniFile& f) { return f.setValue(" Font ", "FontName", "x"); },
                 true,
                 "; settings\r\n[Font]\r\nFontName=x\r\nFontSize = 9\r\nstray line\r\n\r\n"
                 "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n\r\n\r\n"},
        EditCase{"KeyThatCannotReadBackChangesNothing",
                 [](IniFile& f) { return f.setValue("Font", "a=b", "1") || f.setValue("Font", "[x", "1"); },
                 false, kSample},
        EditCase{"LineBreakEndsValue", [](IniFile& f) { return f.setValue("New", "k", "a\r\n[Evil]"); }, true,
                 kSample + "[New]\r\nk=a\r\n"},
        EditCase{"RemoveKey", [](IniFile& f) { return f.removeKey("font", "FONTNAME"); }, true,
                 "; settings\r\n[Font]\r\nFontSize = 9\r\nstray line\r\n\r\n"
                 "[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n\r\n\r\n"},
        EditCase{"RemoveMissingKey", [](IniFile& f) { return f.removeKey("Font", "FontBold"); }, false,
                 kSample},
        EditCase{"RemoveSectionWithItsLines", [](IniFile& f) { return f.removeSection("font"); }, true,
                 "; settings\r\n[Addresses]\r\nMUD 1=FurryMUCK,furrymuck.com,8888\r\n\r\n\r\n"},
        EditCase{"RemoveLastSection", [](IniFile& f) { return f.removeSection("Addresses"); }, true,
                 "; settings\r\n[Font]\r\nFontName=Courier New\r\nFontSize = 9\r\nstray line\r\n\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(IniFile, NewKeyInSectionWithoutEntriesFollowsHeader) {
    IniFile file = loaded("[A]\r\n\r\n[B]\r\n");
    file.setValue("A", "k", "1");
    EXPECT_EQ(file.bytes(), "[A]\r\nk=1\r\n\r\n[B]\r\n");
}

TEST(IniFile, RemoveSectionRemovesEveryCopy) {
    IniFile file = loaded("[A]\r\nk=1\r\n[B]\r\nj=2\r\n[a]\r\nk=3\r\n");
    EXPECT_TRUE(file.removeSection("A"));
    EXPECT_EQ(file.bytes(), "[B]\r\nj=2\r\n");
}

TEST(IniFile, SaveWritesUtf8WithCrLf) {
    ScratchFolder folder;
    folder.write("x.ini", "[A]\nk=caf\xE9\n");
    IniFile file;
    std::string reason;
    ASSERT_TRUE(file.load(folder.file("x.ini"), reason));
    ASSERT_TRUE(file.save(folder.file("x.ini"), reason)) << reason;
    EXPECT_EQ(folder.read("x.ini"), "[A]\r\nk=caf\xC3\xA9\r\n");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"x.ini"});
}

} // namespace
} // namespace corvane
