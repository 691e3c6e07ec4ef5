#include "fakes/fake_platform.h"
#include "scratch_folder.h"
#include "settings/unusable_settings.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace corvane::testing {
namespace {

struct FileCase {
    const char* name;
    std::string content;
    bool setAside;
};

std::string garbage(std::size_t size) {
    std::mt19937 random(22);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

class UnusableSettings : public ::testing::TestWithParam<FileCase> {};

TEST_P(UnusableSettings, AFileThatIsMostlyNotSettingsIsSetAsideWithOneBox) {
    ScratchFolder folder;
    folder.write("CORVANE.INI", GetParam().content);
    FakePrompts prompts;
    // Noon, so the date is the same in every time zone's neighbour.
    std::tm noon{};
    noon.tm_year = 126;
    noon.tm_mon = 11;
    noon.tm_mday = 8;
    noon.tm_hour = 12;
    const auto now = std::chrono::system_clock::from_time_t(std::mktime(&noon));
    const auto aside = SetAsideUnusableSettings(folder.file("CORVANE.INI"), now, prompts);
    auto names = folder.names();
    std::sort(names.begin(), names.end());
    if (!GetParam().setAside) {
        EXPECT_FALSE(aside);
        EXPECT_TRUE(prompts.messages.empty());
        EXPECT_EQ(names, std::vector<std::string>{"CORVANE.INI"});
        return;
    }
    ASSERT_TRUE(aside);
    EXPECT_EQ(*aside, folder.file("CORVANE.INI.bad-2026-12-08"));
    EXPECT_EQ(names, std::vector<std::string>{"CORVANE.INI.bad-2026-12-08"}) << "nothing deleted, no lock left";
    EXPECT_EQ(folder.read("CORVANE.INI.bad-2026-12-08"), GetParam().content);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find(*aside), std::string::npos);

    // A second bad file the same day keeps the first.
    folder.write("CORVANE.INI", GetParam().content);
    EXPECT_EQ(SetAsideUnusableSettings(folder.file("CORVANE.INI"), now, prompts),
              folder.file("CORVANE.INI.bad-2026-12-08-2"));
}

const std::string kWorld = "[World]\r\nCharacter 1=me,pw\r\n; a note\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableSettings,
    ::testing::Values(FileCase{"RandomBytes", garbage(300000), true},
                      FileCase{"ProseWithAFewKeys", repeated("Some words of a letter.\nMore words.\nk=v\n", 50), true},
                      FileCase{"OverSixteenMegabytesOfSettings",
                               repeated(kWorld, static_cast<int>(kMaxSettingsFileBytes / kWorld.size()) + 1), true},
                      FileCase{"ASettingsFile", repeated(kWorld, 100), false},
                      FileCase{"HalfSettingsHalfBlank", "[A]\n\n", false},
                      FileCase{"OneLineWithoutLineEnd", "key=value", false},
                      FileCase{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
