#include "fakes/fake_keyring.h"
#include "scratch_folder.h"
#include "settings/scramble.h"
#include "settings/settings.h"
#include "worlds/password_store.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace corvane::testing {
namespace {

struct PasswordStoreTest : ::testing::Test {
    PasswordStoreTest() {
        folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Harbour,h.example,4201\r\nMUD 2=Fen,f.example,23\r\n\r\n"
                                    "[Harbour]\r\nCharacter 1=Ann," +
                                        ScrambleText(kScramble, "sea salt") + "\r\nCharacter 2=Bo," +
                                        ScrambleText(kScramble, "oar") + "\r\n\r\n[Fen]\r\nCharacter 1=Cy,\r\n");
    }
    std::string field(const std::string& world, int number) {
        std::string value = ReadSetting(world, "Character " + std::to_string(number), ini);
        TakeField(value, ',');
        return value;
    }

    ScratchFolder folder;
    const std::string ini = folder.file("CORVANE.INI");
    FakeKeyring keyring;
    PasswordStore store{&keyring, ini};
};

TEST_F(PasswordStoreTest, TurningTheOptionOnAndOffMovesEveryPasswordAndBack) {
    EXPECT_FALSE(store.useKeyring()) << "off by default";
    EXPECT_EQ(store.field("Harbour", "Ann", "sea salt"), ScrambleText(kScramble, "sea salt"));

    ASSERT_TRUE(store.setUseKeyring(true));
    EXPECT_TRUE(store.useKeyring());
    EXPECT_EQ(field("Harbour", 1), "");
    EXPECT_EQ(field("Harbour", 2), "");
    EXPECT_EQ(ReadSetting("Harbour", "Character 1", ini), "Ann,") << "the name stays";
    EXPECT_EQ(keyring.entries, (std::map<std::string, std::string>{{"Ann on Harbour", "sea salt"},
                                                                     {"Bo on Harbour", "oar"}}));
    EXPECT_EQ(folder.read("CORVANE.INI").find(ScrambleText(kScramble, "oar")), std::string::npos);
    EXPECT_EQ(store.password("Harbour", "Ann", ""), "sea salt");
    EXPECT_EQ(store.password("Fen", "Cy", ""), "") << "never had one";
    EXPECT_EQ(store.field("Harbour", "Bo", "new oar"), "");
    EXPECT_EQ(keyring.entries["Bo on Harbour"], "new oar");
    store.forget("Harbour", "Bo");
    EXPECT_EQ(keyring.entries.count("Bo on Harbour"), 0u);
    store.field("Harbour", "Bo", "oar");

    ASSERT_TRUE(store.setUseKeyring(false));
    EXPECT_FALSE(store.useKeyring());
    EXPECT_TRUE(keyring.entries.empty());
    EXPECT_EQ(field("Harbour", 1), ScrambleText(kScramble, "sea salt"));
    EXPECT_EQ(field("Harbour", 2), ScrambleText(kScramble, "oar"));
    EXPECT_EQ(field("Fen", 1), "");
}

TEST_F(PasswordStoreTest, AKeyringThatIsMissingOrRefusesLeavesThePasswordsInTheFile) {
    struct Row {
        const char* name;
        std::string reason;
        bool refuse;
    };
    for (const Row& row : {Row{"NoService", "Unavailable: no keyring service runs.", false},
                           Row{"Refuses", "", true}}) {
        SCOPED_TRACE(row.name);
        keyring.reason = row.reason;
        keyring.refuseWrites = row.refuse;
        EXPECT_EQ(store.unavailableReason(), row.reason);
        EXPECT_FALSE(store.setUseKeyring(true));
        EXPECT_FALSE(store.useKeyring());
        EXPECT_EQ(field("Harbour", 1), ScrambleText(kScramble, "sea salt"));
        EXPECT_EQ(field("Harbour", 2), ScrambleText(kScramble, "oar"));
        EXPECT_TRUE(keyring.entries.empty());
    }
    PasswordStore none(nullptr, ini);
    EXPECT_EQ(none.unavailableReason(), "This system has no keyring service.");
    EXPECT_FALSE(none.setUseKeyring(true));
}

} // namespace
} // namespace corvane::testing
