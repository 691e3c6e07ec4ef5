#include "qt/qt_quit_signals.h"

#include <csignal>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(QuitSignals, ASecondSignalEndsTheProgramWhileTheFirstIsStillBeingHandled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        EXPECT_EXIT(
            {
                // The first signal's shut-down never gets to run here, as if it hung.
                InstallQuitSignals([] {});
                std::raise(signal);
                std::raise(signal);
                std::exit(0);
            },
            ::testing::KilledBySignal(signal), "");
    }
}

} // namespace
} // namespace corvane::testing
