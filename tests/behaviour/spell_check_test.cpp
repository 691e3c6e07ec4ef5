#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "fakes/fake_spelling.h"
#include "settings/settings.h"
#include "shell/preferences_presenter.h"
#include "shell/spell_choice.h"
#include "spell/checkable_words.h"
#include "spell/hunspell_dictionary.h"
#include "spell/installed_dictionaries.h"
#include "spell/personal_words.h"
#include "spell/spell_checker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace corvane::testing {
namespace {

const std::string kTestDictionaries = std::string(CORVANE_TEST_DATA) + "/spell";

std::vector<std::string> wordsOf(std::string_view line, const std::vector<WordSpan>& spans) {
    std::vector<std::string> words;
    for (const WordSpan& span : spans) {
        words.emplace_back(line.substr(span.start, span.length));
    }
    return words;
}

// Each table row carries its case's name.
template <typename Row> auto RowName() {
    return [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); };
}

struct SplitRow {
    const char* name;
    std::string line;
    std::vector<std::string> words;
};

class CheckableWordsTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(CheckableWordsTest, PicksTheWordsWorthLookingUp) {
    const SplitRow& row = GetParam();
    EXPECT_EQ(wordsOf(row.line, CheckableWords(row.line)), row.words);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CheckableWordsTest,
    ::testing::Values(
        SplitRow{"PlainWords", "hello world", {"hello", "world"}},
        SplitRow{"NothingInAnEmptyLine", "", {}},
        SplitRow{"CommandsAreLeftAlone", "@desc me=A tall fellow", {"me", "tall", "fellow"}},
        SplitRow{"OtherCommandMarks", "+finger /quit #help $var ~x \\raw &who", {}},
        SplitRow{"PageAndSayForms", "page Alice=hi there :waves \"hello", {"page", "Alice", "hi", "there", "waves", "hello"}},
        SplitRow{"AddressesAndFiles", "see http://example.com www.example.org notes.txt me@example.com now",
                 {"see", "now"}},
        SplitRow{"WordsWithDigitsOrUnderscores", "I have 3 cats in 2nd place snake_case", {"have", "cats", "in", "place"}},
        SplitRow{"CapitalsInsideAWordMeanAnAcronymOrAName", "ROFL that iPhone McKay Hello", {"that", "Hello"}},
        SplitRow{"ApostrophesInsideAWordOnly", "don't 'quote' it' o\u2019clock", {"don't", "quote", "it", "o\u2019clock"}},
        SplitRow{"TypographicPunctuationEndsWords", "\u201CCurly\u201D dash\u2014done\u2026 well", {"Curly", "dash", "done", "well"}},
        SplitRow{"LettersBeyondAscii", "caf\u00E9 na\u00EFve \u00FCber", {"caf\u00E9", "na\u00EFve", "\u00FCber"}},
        SplitRow{"HyphenatedPartsSeparately", "well-known end.", {"well", "known", "end"}},
        SplitRow{"SingleLettersAndOverlongRunsSkipped", "a b cc " + std::string(80, 'x').append(" ok"), {"cc", "ok"}}),
    RowName<SplitRow>());

// A checker on a fake dictionary, with a personal list in a scratch folder.
struct SpellCheckerTest : ::testing::Test {
    ScratchFolder folder;
    FakeDictionary dictionary{{"the", "cat", "sat", "on", "mat", "a", "line"}};
    PersonalWords personal{folder.file("corvane-words.txt")};
    SpellChecker checker;

    SpellCheckerTest() {
        checker.setDictionary(&dictionary);
        checker.setPersonalWords(&personal);
    }
    std::vector<std::string> misspelt(std::string_view line) { return wordsOf(line, checker.misspelt(line)); }
};

TEST_F(SpellCheckerTest, MarksWhatTheDictionaryDoesNotKnow) {
    EXPECT_EQ(misspelt("the cat szt on teh mat"), (std::vector<std::string>{"szt", "teh"}));
    checker.setDictionary(nullptr);
    EXPECT_FALSE(checker.enabled());
    EXPECT_TRUE(misspelt("teh").empty());
}

TEST_F(SpellCheckerTest, NamesSeenAndPersonalWordsAreNeverMarked) {
    checker.setKnownNames([](std::string_view word) { return word == "Wren"; });
    std::string reason;
    const std::size_t before = checker.generation();
    ASSERT_TRUE(checker.addWord("Zorbin", reason)) << reason;
    EXPECT_GT(checker.generation(), before);
    EXPECT_EQ(misspelt("the cat Wren zorbin Zorbin Blix"), (std::vector<std::string>{"Blix"}));
}

TEST_F(SpellCheckerTest, TypingOnALongLineLooksUpOnlyTheNewWord) {
    std::string line;
    for (int i = 0; i < 200; ++i) {
        line += "the cat sat on a mat ";
    }
    checker.misspelt(line);
    const int first = dictionary.lookups;
    EXPECT_LE(first, 6);
    checker.misspelt(line + "lin");
    EXPECT_EQ(dictionary.lookups, first + 1);
}

TEST_F(SpellCheckerTest, TheWordUnderARightClickAndItsSuggestions) {
    dictionary.suggested["teh"] = {"the", "ten", "tea", "teeth", "tech", "tent", "tenth"};
    const std::string line = "on teh mat";
    for (std::size_t offset : {3u, 4u, 6u}) {
        const auto span = checker.misspeltAt(line, offset);
        ASSERT_TRUE(span.has_value()) << offset;
        EXPECT_EQ(*span, (WordSpan{3, 3}));
    }
    EXPECT_FALSE(checker.misspeltAt(line, 0).has_value());
    EXPECT_EQ(checker.suggestions("teh"),
              (std::vector<std::string>{"the", "ten", "tea", "teeth", "tech", "tent"}));
}

TEST_F(SpellCheckerTest, TheWordListIsKeptBesideTheSettingsForTheOwnerOnly) {
    EXPECT_EQ(PersonalWords::pathBeside("/home/p/.config/corvane/CORVANE.INI"),
              "/home/p/.config/corvane/corvane-words.txt");
    std::string reason;
    ASSERT_TRUE(personal.add("Zorbin", reason)) << reason;
    ASSERT_TRUE(personal.add(" Tiamat\n", reason)) << reason;
    ASSERT_TRUE(personal.add("zorbin", reason)) << reason;
    EXPECT_EQ(folder.read("corvane-words.txt"), "Zorbin\nTiamat\n");
    struct stat info {};
    ASSERT_EQ(::stat(folder.file("corvane-words.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    PersonalWords again(folder.file("corvane-words.txt"));
    EXPECT_EQ(again.load(), "");
    EXPECT_EQ(again.words(), (std::vector<std::string>{"Zorbin", "Tiamat"}));
    EXPECT_TRUE(again.contains("TIAMAT"));
}

TEST_F(SpellCheckerTest, AWordListThatCannotBeWrittenKeepsTheWordOutAndSaysWhy) {
    PersonalWords nowhere(folder.file("missing/corvane-words.txt"));
    EXPECT_EQ(nowhere.load(), "");
    std::string reason;
    EXPECT_FALSE(nowhere.add("Zorbin", reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(nowhere.contains("Zorbin"));
}

TEST(HunspellDictionary, KnowsAndSuggestsFromTheTestDictionary) {
    std::string reason;
    auto dictionary =
        HunspellDictionary::open(kTestDictionaries + "/test_GB.aff", kTestDictionaries + "/test_GB.dic", reason);
    ASSERT_NE(dictionary, nullptr) << reason;
    for (const char* word : {"hello", "Hello", "worlds", "colours", "don't", "caf\u00E9"}) {
        EXPECT_TRUE(dictionary->knows(word)) << word;
    }
    for (const char* word : {"helo", "wurld", "colors", "cafe"}) {
        EXPECT_FALSE(dictionary->knows(word)) << word;
    }
    const std::vector<std::string> suggestions = dictionary->suggestions("helo");
    ASSERT_FALSE(suggestions.empty());
    EXPECT_EQ(suggestions.front(), "hello");
}

TEST(HunspellDictionary, AMissingFileIsReportedNotOpened) {
    std::string reason;
    EXPECT_EQ(HunspellDictionary::open(kTestDictionaries + "/none.aff", kTestDictionaries + "/none.dic", reason),
              nullptr);
    EXPECT_NE(reason.find("none.aff"), std::string::npos);
}

TEST(HunspellDictionary, TheSystemsEnglishDictionaryWhenInstalled) {
    if (!std::filesystem::exists("/usr/share/hunspell/en_US.aff")) {
        GTEST_SKIP() << "hunspell-en-us is not installed";
    }
    std::string reason;
    auto dictionary = HunspellDictionary::open("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic",
                                               reason);
    ASSERT_NE(dictionary, nullptr) << reason;
    EXPECT_TRUE(dictionary->knows("receive"));
    EXPECT_FALSE(dictionary->knows("recieve"));
}

TEST(InstalledDictionaries, PairsOfFilesTheFirstFolderWinning) {
    ScratchFolder own;
    ScratchFolder system;
    for (const char* name : {"en_GB.aff", "en_GB.dic", "de_DE.aff", "hyph_en_GB.aff", "hyph_en_GB.dic"}) {
        system.write(name, "x");
    }
    own.write("en_GB.aff", "mine");
    own.write("en_GB.dic", "mine");
    own.write("fr.dic", "x");
    const auto found = FindDictionaries({own.path(), system.path(), own.file("no-such-folder")});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "en_GB");
    EXPECT_EQ(found[0].affPath, own.file("en_GB.aff"));
    EXPECT_EQ(DictionaryFolders("/home/p", ""),
              (std::vector<std::string>{"/home/p/.local/share/hunspell", "/usr/share/hunspell"}));
    EXPECT_EQ(DictionaryFolders("/home/p", "/data"),
              (std::vector<std::string>{"/data/hunspell", "/usr/share/hunspell"}));
}

struct ChoiceRow {
    const char* name;
    const char* setting;
    std::vector<std::string> installed;
    const char* language;
    const char* chosen;
};

class ChosenDictionaryTest : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(ChosenDictionaryTest, FollowsTheSettingThenTheSystemsLanguage) {
    const ChoiceRow& row = GetParam();
    EXPECT_EQ(ChosenDictionary(row.setting, row.installed, row.language), row.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ChosenDictionaryTest,
    ::testing::Values(ChoiceRow{"NoneInstalledIsOff", "", {}, "en_US.UTF-8", ""},
                      ChoiceRow{"OffIsOff", "Off", {"en_US"}, "en_US.UTF-8", ""},
                      ChoiceRow{"TheChosenOne", "en_GB", {"en_GB", "en_US"}, "en_US.UTF-8", "en_GB"},
                      ChoiceRow{"AChosenOneGoneIsOff", "fr_FR", {"en_US"}, "fr_FR.UTF-8", ""},
                      ChoiceRow{"TheSystemsLanguage", "", {"de_DE", "en_US"}, "de_DE.UTF-8", "de_DE"},
                      ChoiceRow{"ThatLanguageElsewhere", "", {"de_AT", "en_US"}, "de_CH", "de_AT"},
                      ChoiceRow{"ElseAmericanEnglish", "", {"en_GB", "en_US", "fr"}, "ja_JP.UTF-8", "en_US"},
                      ChoiceRow{"ElseAnyEnglish", "", {"en_GB", "fr"}, "C", "en_GB"},
                      ChoiceRow{"ElseTheFirst", "", {"fr", "nl"}, "", "fr"}),
    RowName<ChoiceRow>());

// The Play page's "Check spelling in:" on a client with fake dictionaries.
struct SpellPreferencesTest : ::testing::Test {
    ScratchFolder folder;
    std::string path = folder.file("CORVANE.INI");
    FakeSpelling spelling;
    std::unique_ptr<ClientHarness> h;
    FakePreferencesView* dialog = nullptr;

    void start(const std::string& extra = {}) {
        folder.write("CORVANE.INI", "[Corvane]\r\nProgramPath=" + folder.path() + "\r\nPicturePath=" +
                                        folder.path() + "\r\n" + extra);
        h = std::make_unique<ClientHarness>("", path);
        h->views.addressBookScript = [](FakeAddressBookView& d) { d.events->onCancel(); };
        h->client.setSpelling(&spelling);
        h->client.start();
        h->client.onMenuTriggered(MenuItem::EditPreferences);
        dialog = h->views.preferences;
    }
};

TEST_F(SpellPreferencesTest, WithoutADictionaryTheChoiceIsOffDisabledAndSaysHowToInstallOne) {
    start();
    EXPECT_EQ(spelling.used, (std::vector<std::string>{""}));
    EXPECT_EQ(dialog->spellChoices, (std::vector<std::string>{"Off"}));
    EXPECT_EQ(dialog->spellSelected, 0);
    EXPECT_EQ(dialog->spellReason, kNoDictionaryInstalled);
    EXPECT_NE(dialog->spellReason.find("apt install hunspell-en-us"), std::string::npos);
}

TEST_F(SpellPreferencesTest, OnByDefaultInTheSystemsLanguageUntilChosenOtherwise) {
    spelling.installed = {"de_DE", "en_US"};
    spelling.language = "de_DE.UTF-8";
    start();
    EXPECT_EQ(spelling.used, (std::vector<std::string>{"de_DE"}));
    EXPECT_EQ(dialog->spellChoices, (std::vector<std::string>{"Off", "de_DE", "en_US"}));
    EXPECT_EQ(dialog->spellSelected, 1);
    EXPECT_EQ(dialog->spellReason, "");

    // Left alone, the setting stays unmade.
    dialog->tickPlayOption(PlayOption::ShowSent, true);
    dialog->events->onOkApply(1);
    EXPECT_EQ(ReadSetting("Corvane", "SpellCheck", path), "");

    dialog->chooseSpelling(0);
    dialog->events->onOkApply(1);
    EXPECT_EQ(ReadSetting("Corvane", "SpellCheck", path), "Off");
    EXPECT_EQ(spelling.used.back(), "");

    dialog->chooseSpelling(2);
    dialog->events->onOkApply(1);
    EXPECT_EQ(ReadSetting("Corvane", "SpellCheck", path), "en_US");
    EXPECT_EQ(spelling.used.back(), "en_US");
}

TEST_F(SpellPreferencesTest, ADictionaryThatCannotBeOpenedIsReported) {
    spelling.installed = {"en_US"};
    start("SpellCheck=Off\r\n");
    EXPECT_EQ(dialog->spellSelected, 0);
    spelling.problem = "/usr/share/hunspell/en_US.dic: Permission denied";
    dialog->chooseSpelling(1);
    dialog->events->onOkApply(1);
    ASSERT_FALSE(h->prompts.messages.empty());
    EXPECT_NE(h->prompts.messages.back().text.find("Permission denied"), std::string::npos);
}

} // namespace
} // namespace corvane::testing
