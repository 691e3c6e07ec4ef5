#include "core/text_codec.h"
#include "settings/default_settings.h"
#include "settings/scramble.h"

#include <gtest/gtest.h>
#include <string>

namespace corvane {
namespace {

TEST(ScrambleText, KnownForm) {
    // Worked by hand from the key "QuillonandMarrowsetsail".
    EXPECT_EQ(ScrambleText(kScramble, "guest"), "W!-@9");
    EXPECT_EQ(ScrambleText(kUnscramble, "W!-@9"), "guest");
}

TEST(ScrambleText, EverySevenBitCodeRoundTripsAcrossKeyWraps) {
    std::string all;
    for (int c = 0; c < 128; ++c) {
        all.push_back(static_cast<char>(c));
    }
    const std::string scrambled = ScrambleText(kScramble, all);
    EXPECT_EQ(Utf8Length(scrambled), all.size());
    EXPECT_EQ(ScrambleText(kUnscramble, scrambled), all);
}

TEST(ScrambleText, HighCodesComeBackWithTopBitCleared) {
    // "é" is 0xE9 in Windows-1252; without its top bit it is "i".
    EXPECT_EQ(ScrambleText(kUnscramble, ScrambleText(kScramble, "caf\xC3\xA9")), "cafi");
}

TEST(ScrambleText, CharacterOutsideWindows1252CountsAsQuestionMark) {
    EXPECT_EQ(ScrambleText(kScramble, "a\xE2\x98\x83z"), ScrambleText(kScramble, "a?z"));
}

TEST(ScrambleText, DefaultGuestLineUnscramblesToGuest) {
    const std::string line = DefaultSettingsLines("/opt/corvane")[14];
    const std::string prefix = "Character 1=guest,";
    ASSERT_EQ(line.substr(0, prefix.size()), prefix);
    EXPECT_EQ(ScrambleText(kUnscramble, line.substr(prefix.size())), "guest");
}

TEST(CanStorePassword, OnlySevenBitPasswords) {
    EXPECT_TRUE(CanStorePassword("guest~!@ 123"));
    EXPECT_TRUE(CanStorePassword(""));
    EXPECT_FALSE(CanStorePassword("caf\xC3\xA9"));
    EXPECT_FALSE(CanStorePassword("\xE2\x82\xAC")); // the euro sign, 0x80 in Windows-1252
}

} // namespace
} // namespace corvane
