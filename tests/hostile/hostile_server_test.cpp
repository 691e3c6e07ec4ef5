#include "hostile/hostile_rig.h"

#include <gtest/gtest.h>
#include <iostream>
#include <ostream>

namespace corvane::testing {
namespace {

// However a server misbehaves, the program's memory stays about where a long
// flood leaves it (some 36 MB without the session history): these limits are
// about memory, not speed. The session history may fill to its own cap
// (64 MiB of kept lines) on top of that, and no more.
constexpr long kHistoryCapKib = 64 * 1024;
constexpr long kLimitKib = 64 * 1024 + kHistoryCapKib;
// Far past the limit the case has failed; the flood stops instead of
// taking the machine's memory with it.
constexpr long kGiveUpKib = 4 * kLimitKib;
constexpr std::size_t kMiB = 1024 * 1024;

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// IAC DO x for every x below IAC, over and over: each needs an answer.
std::string doRequests() {
    std::string block;
    for (int round = 0; round < 85; ++round) {
        for (int option = 0; option < 255; ++option) {
            block += "\xff\xfd";
            block += static_cast<char>(option);
        }
    }
    return block;
}

struct Attack {
    const char* name;
    // Written over and over, `total` bytes in all.
    std::string block;
    std::size_t total;
    // A logged-in client keeps an unfinished line open until its end comes;
    // otherwise it shows each read's unfinished tail at once.
    bool loggedIn = false;
    // False: the server never reads, so every answer stays with the client.
    bool readsReplies = true;
    // Between writes, so that the client reads small pieces one at a time.
    std::chrono::microseconds pause{0};
};

std::ostream& operator<<(std::ostream& out, const Attack& attack) {
    return out << attack.name;
}

class HostileServerTest : public ::testing::TestWithParam<Attack> {};

TEST_P(HostileServerTest, MemoryStaysBounded) {
    const Attack& attack = GetParam();
    HostilePeer peer;
    ASSERT_NE(peer.port(), 0);
    ClientProcess client(peer.port(), attack.loggedIn);
    ASSERT_TRUE(peer.accept(milliseconds(20000))) << "the program did not connect";
    ASSERT_TRUE(peer.settle(milliseconds(10000))) << "the program did not answer a first probe";
    const long startKib = client.peakKib();

    auto lastLook = RigClock::now();
    const std::size_t sent =
        peer.flood(attack.block, attack.total, attack.readsReplies, attack.pause, milliseconds(15000), [&] {
            if (RigClock::now() - lastLook < milliseconds(100)) {
                return false;
            }
            lastLook = RigClock::now();
            return client.peakKib() > kGiveUpKib;
        });
    if (attack.readsReplies) {
        // Not a time limit: a client that cannot get through what it was
        // sent in this long is stuck.
        EXPECT_TRUE(peer.settle(milliseconds(20000)))
            << "the program did not finish reading what it was sent";
    } else {
        std::this_thread::sleep_for(milliseconds(1000));
    }
    // Received text reaches the window a frame at a time.
    std::this_thread::sleep_for(milliseconds(300));
    const long peakKib = client.peakKib();

    std::cout << "[ hostile  ] " << attack.name << ": " << sent / kMiB << " MiB sent, peak RSS "
              << peakKib / 1024 << " MiB (" << startKib / 1024 << " MiB when connected)\n";
    EXPECT_TRUE(client.alive()) << "the program died";
    EXPECT_LT(peakKib, kLimitKib) << "peak RSS " << peakKib / 1024 << " MiB after " << sent / kMiB << " MiB";
}

INSTANTIATE_TEST_SUITE_P(
    Attacks, HostileServerTest,
    ::testing::Values(
        // Answers pile up unsent; the client must stop reading instead.
        Attack{"NeverReadsAndAsksDoForEver", doRequests(), 300 * kMiB, false, false},
        Attack{"NulAndFfBlocksWithCrLf",
               repeated(std::string(4096, '\0') + "\r\n" + std::string(4096, '\xff') + "\r\n", 8),
               300 * kMiB},
        // One line that never ends, of tabs (eight characters each), doubled
        // IACs (data bytes) and plain letters: each must be cut like any line.
        Attack{"TabsWithoutALineEnd", std::string(65536, '\t'), 4 * kMiB, true},
        Attack{"DoubledIacsWithoutALineEnd", std::string(65536, '\xff'), 32 * kMiB, true},
        Attack{"LettersWithoutALineEnd", std::string(65536, 'x'), 64 * kMiB, true},
        // Bare line feeds before a log-in: each small read adds to one open line.
        Attack{"BareLineFeedLinesInSmallWrites", repeated(std::string(69, 'y') + "\n", 58), 16 * kMiB, false,
               true, std::chrono::microseconds(100)}),
    [](const ::testing::TestParamInfo<Attack>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
