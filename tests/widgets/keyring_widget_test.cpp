#include "qt/qt_keyring.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// Against the desktop's own keyring service; ctest runs it inside
// tests/keyring/with_secret_service.sh, and it is skipped anywhere else.
TEST(RealKeyring, KeepsReadsAndErasesAPasswordThroughTheSecretService) {
    if (std::getenv("CORVANE_REAL_KEYRING") == nullptr) {
        GTEST_SKIP() << "needs a Secret Service: run through tests/keyring/with_secret_service.sh";
    }
    QtKeyring keyring;
    ASSERT_EQ(keyring.unavailableReason(), "");
    const std::string account = "Practice/Tester";
    EXPECT_EQ(keyring.read(account), std::nullopt);
    ASSERT_TRUE(keyring.write(account, "p\xC3\xA4ss word=1"));
    EXPECT_EQ(keyring.read(account), "p\xC3\xA4ss word=1");
    ASSERT_TRUE(keyring.write(account, "changed"));
    EXPECT_EQ(keyring.read(account), "changed");
    EXPECT_TRUE(keyring.erase(account));
    EXPECT_EQ(keyring.read(account), std::nullopt);
    // Erasing what is not there is no failure: turning the option off twice must not complain.
    EXPECT_TRUE(keyring.erase(account));
}

} // namespace
} // namespace corvane::testing
