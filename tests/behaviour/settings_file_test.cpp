#include "core/text_codec.h"
#include "platform/prompts.h"
#include "scratch_folder.h"
#include "settings/default_settings.h"
#include "settings/file_lock.h"
#include "settings/locked_file.h"
#include "settings/scramble.h"
#include "settings/settings.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace corvane {
namespace {

using testing::ScratchFolder;

struct ShownMessage {
    std::string text;
    std::string title;
    PromptIcon icon;
};

class RecordingPrompts : public Prompts {
public:
    void message(const std::string& text, const std::string& title, PromptIcon icon) override {
        shownMessages.push_back({text, title, icon});
    }
    PromptAnswer ask(const std::string&, const std::string&, PromptButtons, PromptIcon,
                     PromptAnswer defaultAnswer) override {
        return defaultAnswer;
    }
    std::optional<std::string> input(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }

    std::vector<ShownMessage> shownMessages;
};

struct Failure {
    std::string path;
    std::string reason;
    bool lockFree; // when reported: a box must not keep other Corvanes waiting
};

bool lockFree(const std::string& path) {
    FileLock probe;
    std::string reason;
    return probe.take(path, reason, std::chrono::milliseconds(0)) != FileLock::Outcome::Busy;
}

// Every test starts with its own folder and a handler that records failures.
class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() {
        SetSettingsWriteFailureHandler([this](const std::string& path, const std::string& reason) {
            failures.push_back({path, reason, lockFree(path)});
        });
    }
    ~SettingsFile() override {
        FlushQueuedSettings(std::chrono::milliseconds(0));
        SetSettingsWaitHooks({});
        SetSettingsWriteFailureHandler(nullptr);
    }

    ScratchFolder folder;
    const std::string ini = folder.file("CORVANE.INI");
    std::vector<Failure> failures;
};

const std::string kDefaultFile = "[Corvane]\r\n"
                                 "ProgramPath=/opt/corvane\r\n"
                                 "PicturePath=/opt/corvane\r\n"
                                 "\r\n"
                                 "[Font]\r\n"
                                 "FontName=Courier New\r\n"
                                 "FontSize = 9\r\n"
                                 "FontBold = False\r\n"
                                 "FontItalic = False\r\n"
                                 "\r\n"
                                 "[Addresses]\r\n"
                                 "MUD 1=FurryMUCK,furrymuck.com,8888\r\n"
                                 "\r\n"
                                 "[FurryMUCK]\r\n"
                                 "Character 1=guest,W!-@9\r\n"
                                 "\r\n";

TEST_F(SettingsFile, DefaultFileIsExactlyTheSixteenLines) {
    RecordingPrompts prompts;
    folder.write("CORVANE.INI", "old content that must go");
    EXPECT_TRUE(CreateDefaultSettings(ini, "/opt/corvane/", prompts));
    EXPECT_EQ(folder.read("CORVANE.INI"), kDefaultFile);
    EXPECT_TRUE(prompts.shownMessages.empty());
}

TEST_F(SettingsFile, DefaultFileValuesReadBack) {
    RecordingPrompts prompts;
    ASSERT_TRUE(CreateDefaultSettings(ini, "/opt/corvane", prompts));
    EXPECT_EQ(ReadSetting("Font", "FontSize", ini), "9");
    EXPECT_FALSE(ReadFlag("Font", "FontBold", ini));
    std::string character = ReadSetting("FurryMUCK", "Character 1", ini);
    EXPECT_EQ(TakeField(character, ','), "guest");
    EXPECT_EQ(ScrambleText(kUnscramble, character), "guest");
}

TEST_F(SettingsFile, DefaultFileFailureTellsWhy) {
    folder.write("plain", "");
    const std::string path = folder.file("plain") + "/CORVANE.INI";
    RecordingPrompts prompts;
    EXPECT_FALSE(CreateDefaultSettings(path, "/opt/corvane", prompts));
    ASSERT_EQ(prompts.shownMessages.size(), 1U);
    EXPECT_EQ(prompts.shownMessages[0].text, "Not a directory\rCan't create " + path + ".");
    EXPECT_EQ(prompts.shownMessages[0].title, "");
    EXPECT_EQ(prompts.shownMessages[0].icon, PromptIcon::Exclamation);
}

TEST_F(SettingsFile, ReadCutsLongValuesToCharactersNotBytes) {
    const std::string e = "\xC3\xA9"; // two bytes, one character
    std::string accented;
    for (int i = 0; i < 300; ++i) {
        accented += e;
    }
    WriteSetting("A", "ascii", std::string(300, 'x'), ini);
    WriteSetting("A", "accented", accented, ini);
    EXPECT_EQ(ReadSetting("A", "ascii", ini), std::string(254, 'x'));
    EXPECT_EQ(ReadSetting("A", "accented", ini), accented.substr(0, 2 * 254));
}

TEST_F(SettingsFile, MissingFileReadsEmptyAndStaysMissing) {
    EXPECT_EQ(ReadSetting("A", "k", ini), "");
    EXPECT_TRUE(DeleteSetting("A", "k", ini));
    EXPECT_TRUE(DeleteSetting("A", "", ini));
    EXPECT_FALSE(FileExists(ini));
}

TEST_F(SettingsFile, WriteCreatesFileAndReplacesInPlace) {
    EXPECT_TRUE(WriteSetting("Corvane", "ProgramPath", "/a", ini));
    EXPECT_TRUE(WriteSetting("Font", "MaxLines", " 219", ini));
    EXPECT_TRUE(WriteSetting("corvane", "programpath", "/b", ini));
    EXPECT_EQ(folder.read("CORVANE.INI"), "[Corvane]\r\nProgramPath=/b\r\n\r\n[Font]\r\nMaxLines= 219\r\n");
    EXPECT_EQ(ReadSetting("FONT", "maxlines", ini), "219");
    EXPECT_TRUE(FileExists(ini));
    EXPECT_FALSE(FileExists(folder.path()));
}

TEST_F(SettingsFile, DeleteKeyAndWholeSection) {
    folder.write("CORVANE.INI", "[A]\r\nk=1\r\nj=2\r\n\r\n[B]\r\nk=3\r\n");
    EXPECT_TRUE(DeleteSetting("a", "K", ini));
    EXPECT_EQ(folder.read("CORVANE.INI"), "[A]\r\nj=2\r\n\r\n[B]\r\nk=3\r\n");
    EXPECT_TRUE(DeleteSetting("A", "", ini));
    EXPECT_EQ(folder.read("CORVANE.INI"), "[B]\r\nk=3\r\n");
}

struct FlagCase {
    const char* name;
    std::string fileBefore;
    bool expected;
    std::string fileAfter;
};

void PrintTo(const FlagCase& row, std::ostream* out) {
    *out << row.name;
}

class ReadFlagCases : public SettingsFile, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ReadFlagCases, AnswersAndWritesBackOnlyEmpty) {
    const FlagCase& c = GetParam();
    folder.write("CORVANE.INI", c.fileBefore);
    EXPECT_EQ(ReadFlag("Corvane", "MinBeep", ini), c.expected);
    EXPECT_EQ(folder.read("CORVANE.INI"), c.fileAfter);
}

INSTANTIATE_TEST_SUITE_P(Flags, ReadFlagCases,
                         ::testing::Values(FlagCase{"Capitals", "[Corvane]\r\nMinBeep=TRUE\r\n", true,
                                                    "[Corvane]\r\nMinBeep=TRUE\r\n"},
                                           FlagCase{"OtherWord", "[Corvane]\r\nMinBeep=yes\r\n", false,
                                                    "[Corvane]\r\nMinBeep=yes\r\n"},
                                           FlagCase{"Empty", "[Corvane]\r\nMinBeep=\r\n", false,
                                                    "[Corvane]\r\nMinBeep=False\r\n"},
                                           FlagCase{"Missing", "[Corvane]\r\nTop=1\r\n\r\n", false,
                                                    "[Corvane]\r\nTop=1\r\nMinBeep=False\r\n\r\n"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SettingsFile, WriteFlagWritesTrueOrFalse) {
    WriteFlag("Corvane", "NewBrowser", true, ini);
    WriteFlag("Corvane", "MinBeep", false, ini);
    EXPECT_EQ(folder.read("CORVANE.INI"), "[Corvane]\r\nNewBrowser=True\r\nMinBeep=False\r\n");
}

TEST_F(SettingsFile, ScrambledPasswordWithHighCodesSurvivesRewrite) {
    // Position 1, 2 and 11 of the key scramble these to 160, 128 and 129.
    const std::string password = ".*6guestxy-";
    const std::string scrambled = ScrambleText(kScramble, password);
    const std::string legacyBytes = Utf8ToCp1252(scrambled).value();
    ASSERT_NE(legacyBytes.find('\x81'), std::string::npos);
    ASSERT_NE(legacyBytes.find('\xA0'), std::string::npos);
    folder.write("CORVANE.INI", "[W]\r\nCharacter 1=me," + legacyBytes + "\r\n");

    WriteSetting("W", "Character 2", "other", ini); // rewrites the file as UTF-8
    ASSERT_TRUE(IsValidUtf8(folder.read("CORVANE.INI")));
    std::string value = ReadSetting("W", "Character 1", ini);
    EXPECT_EQ(TakeField(value, ','), "me");
    EXPECT_EQ(ScrambleText(kUnscramble, value), password);
}

TEST_F(SettingsFile, FailedWriteReportsAndCreatesNothing) {
    folder.write("plain", "");
    const std::string path = folder.file("plain") + "/CORVANE.INI";
    EXPECT_FALSE(WriteSetting("A", "k", "v", path));
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].path, path);
    EXPECT_EQ(failures[0].reason, "Not a directory");
}

TEST_F(SettingsFile, UnreadableFileIsNotOverwritten) {
    // Replacing a file we could not read would lose all of it.
    const std::string dir = folder.file("CORVANE.INI");
    std::filesystem::create_directory(dir);
    EXPECT_FALSE(WriteSetting("A", "k", "v", dir));
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].reason, "Is a directory");
    EXPECT_TRUE(failures[0].lockFree);
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

TEST_F(SettingsFile, WriteFailingMidwayKeepsOldFileAndLeavesNoTemporary) {
    const std::string old = "[A]\r\nk=old\r\n";
    folder.write("CORVANE.INI", old);
    // A file-size limit makes the write of the new file fail after it was
    // created, even for root.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 1024;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = WriteSetting("A", "k", std::string(4000, 'n'), ini);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(folder.read("CORVANE.INI"), old);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"CORVANE.INI"});
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].reason, "File too large");
    EXPECT_TRUE(failures[0].lockFree);
}

TEST_F(SettingsFile, ReadOnlyFolderKeepsOldFile) {
    const std::string old = "[A]\r\nk=old\r\n";
    folder.write("CORVANE.INI", old);
    std::filesystem::permissions(folder.path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (access(folder.path().c_str(), W_OK) == 0) {
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    EXPECT_FALSE(WriteSetting("A", "k", "new", ini));
    EXPECT_EQ(folder.read("CORVANE.INI"), old);
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].reason, "Permission denied");
}

TEST_F(SettingsFile, UnchangedValueDoesNotRewrite) {
    folder.write("CORVANE.INI", "[Font]\nFontSize = 9\n");
    EXPECT_TRUE(WriteSetting("Font", "FontSize", "9", ini));
    EXPECT_EQ(folder.read("CORVANE.INI"), "[Font]\nFontSize = 9\n");
}

TEST_F(SettingsFile, TwoProcessesKeepEachOthersChanges) {
    constexpr int kWrites = 60;
    std::vector<pid_t> writers;
    for (const std::string who : {"a", "b"}) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0; i < kWrites; ++i) {
                if (!WriteSetting("S", who + std::to_string(i), "v", ini)) {
                    std::fprintf(stderr, "writer %s: %s\n", who.c_str(), failures.back().reason.c_str());
                    _exit(1);
                }
            }
            _exit(0);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<std::string> lost;
    for (const std::string who : {"a", "b"}) {
        for (int i = 0; i < kWrites; ++i) {
            if (ReadSetting("S", who + std::to_string(i), ini).empty()) {
                lost.push_back(who + std::to_string(i));
            }
        }
    }
    EXPECT_TRUE(lost.empty()) << lost.size() << " writes lost, the first " << lost.front();
    EXPECT_EQ(folder.names(), std::vector<std::string>{"CORVANE.INI"}) << "no lock or temporary file left";
}

TEST_F(SettingsFile, NewFilesAreTheOwnersAloneAndOldOnesKeepTheirMode) {
    // The file holds passwords that anyone can unscramble.
    struct Row {
        const char* name;
        std::optional<mode_t> before;
        mode_t after;
    };
    const std::vector<Row> rows = {{"Created", std::nullopt, 0600},
                                   {"OwnerOnly", 0600, 0600},
                                   {"GroupReadable", 0640, 0640},
                                   {"EveryoneReadable", 0644, 0644}};
    const mode_t savedMask = umask(022);
    for (const Row& row : rows) {
        const std::string file = folder.file(row.name);
        if (row.before) {
            folder.write(row.name, "[A]\r\n");
            ASSERT_EQ(chmod(file.c_str(), *row.before), 0);
        }
        WriteSetting("A", "k", "v", file);
        struct stat status {};
        ASSERT_EQ(stat(file.c_str(), &status), 0) << row.name;
        EXPECT_EQ(status.st_mode & 0777, row.after) << row.name;
    }
    RecordingPrompts prompts;
    ASSERT_TRUE(CreateDefaultSettings(ini, "/opt/corvane", prompts));
    struct stat status {};
    ASSERT_EQ(stat(ini.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600U) << "default file";
    umask(savedMask);
}

TEST_F(SettingsFile, ALockHeldElsewhereMakesTheWaitEndWithAReason) {
    FileLock held;
    std::string reason;
    ASSERT_TRUE(held.acquire(ini, reason)) << reason;
    EXPECT_EQ(folder.names(), std::vector<std::string>{"CORVANE.INI.lock"});

    FileLock second;
    EXPECT_FALSE(second.acquire(ini, reason, std::chrono::milliseconds(30)));
    EXPECT_EQ(reason, "Another Corvane is still writing it");
    held.release();
    EXPECT_TRUE(second.acquire(ini, reason, std::chrono::milliseconds(30))) << reason;
    second.release();
    EXPECT_TRUE(folder.names().empty());
}

TEST_F(SettingsFile, ALockHeldElsewhereQueuesChangesInOrderForTheEventLoop) {
    folder.write("CORVANE.INI", "[A]\r\nk=0\r\nj=1\r\n");
    std::vector<std::function<void()>> retries;
    int busy = 0;
    SetSettingsWaitHooks({[&](std::chrono::milliseconds, std::function<void()> retry) { retries.push_back(retry); },
                          [&] { ++busy; }});
    FileLock held;
    std::string reason;
    ASSERT_TRUE(held.acquire(ini, reason)) << reason;

    EXPECT_TRUE(WriteSetting("A", "k", "1", ini));
    EXPECT_TRUE(WriteSetting("A", "k", "2", ini));
    EXPECT_TRUE(DeleteSetting("A", "j", ini));
    EXPECT_TRUE(WriteSetting("B", "x", "y", ini));
    EXPECT_EQ(busy, 1) << "said once";
    EXPECT_EQ(ReadSetting("A", "k", ini), "2") << "reads see what waits";
    EXPECT_EQ(ReadSetting("a ", "J", ini), "");
    EXPECT_EQ(folder.read("CORVANE.INI"), "[A]\r\nk=0\r\nj=1\r\n");
    ASSERT_EQ(retries.size(), 1U);

    retries.back()();
    ASSERT_EQ(retries.size(), 2U) << "still locked: tried again later";
    held.release();
    retries.back()();
    EXPECT_FALSE(SettingsQueued());
    EXPECT_EQ(folder.read("CORVANE.INI"), "[A]\r\nk=2\r\n\r\n[B]\r\nx=y\r\n");
    EXPECT_TRUE(failures.empty());

    // At the end the queue waits a bounded time, then says why it gave up.
    ASSERT_TRUE(held.acquire(ini, reason)) << reason;
    EXPECT_TRUE(WriteSetting("A", "k", "3", ini));
    EXPECT_FALSE(FlushQueuedSettings(std::chrono::milliseconds(20)));
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_EQ(failures[0].reason, "Another Corvane is still writing it");
    EXPECT_EQ(ReadSetting("A", "k", ini), "2");
}

TEST_F(SettingsFile, StaleTemporaryFilesGoOnlyWhenNoWriterIsAlive) {
    // A killed write leaves these, each holding the scrambled passwords.
    const std::vector<std::string> kept = {"CORVANE.INI", "CORVANE.INI.tmp0123456789abc", "CORVANE.INI.tmpnotours",
                                           "OTHER.INI.tmp0123456789ab", "CORVANE.INI.tmp0123456789AB"};
    for (const std::string& name : kept) {
        folder.write(name, "x");
    }
    folder.write("CORVANE.INI.tmp0123456789ab", "[W]\r\nCharacter 1=me,secret\r\n");
    folder.write("CORVANE.INI.tmpfedcba987654", "");
    const auto sorted = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    std::vector<std::string> all = kept;
    all.insert(all.end(), {"CORVANE.INI.tmp0123456789ab", "CORVANE.INI.tmpfedcba987654"});

    FileLock writer;
    std::string reason;
    ASSERT_TRUE(writer.acquire(ini, reason)) << reason;
    RemoveStaleTemporaryFiles(ini);
    all.push_back("CORVANE.INI.lock");
    EXPECT_EQ(sorted(folder.names()), sorted(all)) << "a live writer's file stays";
    writer.release();

    RemoveStaleTemporaryFiles(ini);
    EXPECT_EQ(sorted(folder.names()), sorted(kept));
}

TEST_F(SettingsFile, ReadsSeeWhatOthersWroteSinceTheLastRead) {
    folder.write("CORVANE.INI", "[A]\r\nk=1\r\n");
    EXPECT_EQ(ReadSetting("A", "k", ini), "1");
    // Another program replacing the file, then one writing it in place.
    folder.write("other", "[A]\r\nk=2\r\n");
    std::filesystem::rename(folder.file("other"), ini);
    EXPECT_EQ(ReadSetting("A", "k", ini), "2");
    folder.write("CORVANE.INI", "[A]\r\nk=3\r\n");
    EXPECT_EQ(ReadSetting("A", "k", ini), "3");
    WriteSetting("A", "j", "4", ini);
    folder.write("CORVANE.INI", "[A]\r\nk=55\r\nj=4\r\n");
    EXPECT_EQ(ReadSetting("A", "k", ini), "55") << "after a write of our own";
    std::filesystem::remove(ini);
    EXPECT_EQ(ReadSetting("A", "k", ini), "");
}

TEST(TakeField, CutsFieldsLeftToRight) {
    struct Case {
        std::string text;
        std::vector<std::string> fields; // results of successive calls, then ""
    };
    const std::vector<Case> cases = {
        {"FurryMUCK,furrymuck.com,8888", {"FurryMUCK", "furrymuck.com", "8888"}},
        {",rest", {"", "rest"}}, // only the leading delimiter goes
        {"no comma", {"no comma"}},
        {"a,,b", {"a", "", "b"}},
        {"trailing,", {"trailing"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        for (const std::string& field : c.fields) {
            EXPECT_EQ(TakeField(text, ','), field) << c.text;
        }
        EXPECT_EQ(TakeField(text, ','), "") << c.text;
        EXPECT_EQ(text, "") << c.text;
    }
}

TEST(MaxOf, RoundsAndClampsToSixteenBits) {
    struct Case {
        double a;
        double b;
        std::int16_t expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Case> cases = {
        {3, 7, 7},     {7, 3, 7},         {-4, -9, -4},
        {2.5, 1, 2},   {3.5, 1, 4},       {-2.5, -9, -2},
        {6.4, 6.6, 7}, {40000, 1, 32767}, {-40000, -50000, -32768},
        {nan, 12, 12}, {12, nan, 12},     {nan, nan, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MaxOf(c.a, c.b), c.expected) << c.a << ", " << c.b;
    }
}

} // namespace
} // namespace corvane
