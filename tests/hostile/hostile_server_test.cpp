#include "hostile/hostile_rig.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <ostream>
#include <zlib.h>

namespace corvane::testing {
namespace {

// However a server misbehaves, the program's memory stays where a long flood
// leaves it with the session history full (its finished chunks are kept
// compressed): every case first fills the history, then attacks.
constexpr long kLimitKib = 64 * 1024;
// Far past the limit the case has failed; the flood stops instead of
// taking the machine's memory with it.
constexpr long kGiveUpKib = 4 * kLimitKib;
constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kHistoryLines = 200000;

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// A session's worth of different lines, some coloured: the history is full after it.
const std::string& historyFill() {
    static const std::string text = [] {
        static const char* const words[] = {"troll",  "bridge", "lantern", "goblin", "says", "the",  "old",
                                            "wizard", "north",  "gate",    "silver", "coin", "page", "from"};
        std::string all;
        all.reserve(kHistoryLines * 90);
        std::uint32_t seed = 12345;
        for (std::size_t n = 0; n < kHistoryLines; ++n) {
            std::string line = std::to_string(n);
            while (line.size() < 78) {
                seed = seed * 1103515245u + 12345u;
                const char* word = words[(seed >> 16) % std::size(words)];
                line += ' ';
                if ((seed >> 8) % 10 < 3) {
                    line += "\x1b[1;3" + std::to_string(seed % 7 + 1) + "m" + word + "\x1b[0m";
                } else {
                    line += word;
                }
            }
            all += line + "\r\n";
        }
        return all;
    }();
    return text;
}

// Every word in a colour of its own, foreground and background, in 24 bits.
std::string trueColourStorm() {
    std::string block;
    std::uint32_t colour = 1;
    for (int line = 0; line < 2000; ++line) {
        for (int word = 0; word < 8; ++word) {
            colour = colour * 2654435761u + 97u;
            block += "\x1b[38;2;" + std::to_string(colour & 255) + ";" + std::to_string((colour >> 8) & 255) +
                     ";" + std::to_string((colour >> 16) & 255) + ";48;2;" +
                     std::to_string((colour >> 24) & 255) + ";" + std::to_string((colour >> 4) & 255) + ";" +
                     std::to_string((colour >> 12) & 255) + "mhue ";
        }
        block += "\x1b[0m\r\n";
    }
    return block;
}

// Every character in colours of its own and no line end ever: the open line
// is cut at the line limit like any other, formats and all.
std::string trueColourStormWithoutALineEnd() {
    std::string block;
    std::uint32_t colour = 7;
    for (int character = 0; character < 4096; ++character) {
        colour = colour * 2654435761u + 97u;
        block += "\x1b[38;2;" + std::to_string(colour & 255) + ";" + std::to_string((colour >> 8) & 255) + ";" +
                 std::to_string((colour >> 16) & 255) + ";48;2;" + std::to_string((colour >> 24) & 255) + ";" +
                 std::to_string((colour >> 4) & 255) + ";" + std::to_string((colour >> 12) & 255) + "m" +
                 static_cast<char>('a' + character % 26);
    }
    return block;
}

constexpr std::string_view kPictureRoom = "[vrox] #4242 Hall of Mirrors\r\nA hall of mirrors.\r\n";

// The largest picture the program will show (4096 by 4096, 24-bit
// Windows bitmap, 48 MiB), as room 4242's picture.
std::string largestPicture(const std::string& folder) {
    constexpr std::uint32_t side = 4096;
    constexpr std::uint32_t rowBytes = side * 3;
    constexpr std::uint32_t pixelBytes = rowBytes * side;
    std::ofstream file(folder + "4242.bmp", std::ios::binary);
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            file.put(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    file.write("BM", 2);
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(side, 4);
    put(side, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    std::string row(rowBytes, '\0');
    for (std::uint32_t y = 0; y < side; ++y) {
        for (std::uint32_t x = 0; x < side; ++x) {
            row[x * 3] = static_cast<char>(x);
            row[x * 3 + 1] = static_cast<char>(y);
            row[x * 3 + 2] = static_cast<char>(x ^ y);
        }
        file.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return "PicturePath=" + folder + "\r\nAutoPictureLoad=True\r\n";
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

// The world offers compression and starts it: what follows is zlib.
const std::string kCompressionStart = "\xff\xfb\x56\xff\xfa\x56\xff\xf0";

// `copies` times `piece` as one zlib stream, ended unless `finish` is false.
std::string deflatedRepeats(const std::string& piece, std::size_t copies, bool finish = true) {
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::string stream;
    std::string out(std::size_t{1} << 16, '\0');
    for (std::size_t copy = 0; copy < copies || copy == 0; ++copy) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        z.avail_in = static_cast<uInt>(piece.size());
        const int flush = copy + 1 >= copies ? (finish ? Z_FINISH : Z_SYNC_FLUSH) : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, flush);
            stream.append(out.data(), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return stream;
}

// A gigabyte of NULs from about a megabyte, then plain text again.
std::string zlibBomb() {
    return kCompressionStart + deflatedRepeats(std::string(kMiB, '\0'), 1024);
}

// Half a line's compressed bytes, then bytes no inflater takes.
std::string corruptedMidLine() {
    const std::string stream = deflatedRepeats("A line that is cut off in the middle of it\r\n", 2000, false);
    return kCompressionStart + stream.substr(0, stream.size() / 2) + std::string(64, '\x7f') +
           "plain text that must never be shown\r\n";
}

// A second start inside the compressed stream is text of the stream.
std::string startedTwice() {
    return kCompressionStart +
           deflatedRepeats("compressed line\r\n" + kCompressionStart + "still compressed\r\n", 20000);
}

// The world offers MSSP, then says what it is in one subnegotiation.
std::string msspOf(const std::string& body) {
    return "\xff\xfb\x46\xff\xfa\x46" + body + "\xff\xf0";
}

std::string msspVariables(std::size_t count) {
    std::string body;
    for (std::size_t i = 0; i < count; ++i) {
        body += "\x01V" + std::to_string(i) + "\x02x";
    }
    return body;
}

// The world offers MXP (the client's box for it is ticked) and locks secure
// mode, so every tag below is one the client reads.
const std::string kMxpOffer = std::string("\xff\xfb\x5b") + "\x1b[6z";

std::string mxpNestedAThousandDeep() {
    std::string block = kMxpOffer;
    for (int i = 0; i < 200; ++i) {
        block += "<b><i><u><color fore=red><send href=\"look\">";
    }
    return block + "deep\r\n";
}

// Tags opened and never closed, a quote that never ends, and no line end.
std::string mxpTagsNeverClosed() {
    return kMxpOffer + "<b><i><color red><send href=\"never closed " + std::string(65536, 'q');
}

std::string mxpTenThousandLinksInALine() {
    std::string block = kMxpOffer;
    for (int i = 0; i < 10000; ++i) {
        block += "<send href=\"go north|go south\" hint=\"Go|North|South\">n</send> ";
    }
    return block + "\r\n";
}

// The world offers MSDP, then reports its variables in one subnegotiation.
std::string msdpOf(const std::string& body) {
    return "\xff\xfb\x45\xff\xfa\x45" + body + "\xff\xf0";
}

// Tables inside tables, `depth` deep, none closed.
std::string msdpNestedTables(std::size_t depth) {
    std::string body = "\x01ROOM";
    for (std::size_t i = 0; i < depth; ++i) {
        body += "\x02\x03\x01" "EXITS";
    }
    return body;
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
    // Files the program finds in its folder; lines for its [Corvane] section.
    std::string (*prepare)(const std::string& folder) = nullptr;
    // The program is to close the connection itself (a broken stream).
    bool closes = false;
    // Through TLS, with the peer's certificate trusted.
    bool secure = false;
    // The world's "MXP links and colours" box is ticked.
    bool mxp = false;
    // A world stored as a MUD, which agrees to what only MUDs get (MSDP).
    bool mud = false;
};

std::ostream& operator<<(std::ostream& out, const Attack& attack) {
    return out << attack.name;
}

class HostileServerTest : public ::testing::TestWithParam<Attack> {};

TEST_P(HostileServerTest, MemoryStaysBounded) {
    const Attack& attack = GetParam();
    HostilePeer peer(attack.secure);
    ASSERT_NE(peer.port(), 0);
    ASSERT_EQ(attack.secure, !peer.worldLines().empty()) << "no certificate for the secure peer";
    ClientProcess client(
        peer.port(), attack.loggedIn,
        [&](const std::string& folder) {
            return attack.prepare != nullptr ? attack.prepare(folder) : std::string();
        },
        peer.worldLines() + (attack.mxp ? "MXP=True\r\n" : "") + (attack.mud ? "Server=MUD\r\n" : ""));
    ASSERT_TRUE(peer.accept(milliseconds(20000))) << "the program did not connect";
    ASSERT_TRUE(peer.settle(milliseconds(10000))) << "the program did not answer a first probe";
    const long startKib = client.peakKib();
    const std::string& fill = historyFill();
    peer.flood(fill, fill.size(), true, std::chrono::microseconds(0), milliseconds(60000),
               [] { return false; });
    ASSERT_TRUE(peer.settle(milliseconds(30000))) << "the program did not take the history's lines";
    const long filledKib = client.peakKib();

    auto lastLook = RigClock::now();
    const std::size_t sent =
        peer.flood(attack.block, attack.total, attack.readsReplies, attack.pause, milliseconds(15000), [&] {
            if (RigClock::now() - lastLook < milliseconds(100)) {
                return false;
            }
            lastLook = RigClock::now();
            return client.peakKib() > kGiveUpKib;
        });
    if (attack.closes) {
        std::this_thread::sleep_for(milliseconds(1000));
    } else if (attack.readsReplies) {
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
              << peakKib / 1024 << " MiB (" << startKib / 1024 << " MiB when connected, " << filledKib / 1024
              << " MiB with the history full)\n";
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
               true, std::chrono::microseconds(100)},
        // Formats for every word, each different: the output box must not keep them all.
        Attack{"TrueColourStorm", trueColourStorm(), 64 * kMiB, true},
        Attack{"TrueColourStormWithoutALineEnd", trueColourStormWithoutALineEnd(), 64 * kMiB, true},
        // The room's picture at the largest size allowed, over a full history.
        Attack{"LargestPictureOverAFullHistory", std::string(kPictureRoom), kPictureRoom.size(), true, true,
               std::chrono::microseconds(0), largestPicture},
        // Compressed streams: a gigabyte of NULs, a stream broken in a line,
        // and compression started again inside itself.
        Attack{"ZlibBombOfAGigabyteOfNuls", zlibBomb(), zlibBomb().size(), true},
        Attack{"CompressedStreamCorruptMidLine", corruptedMidLine(), corruptedMidLine().size(), true, true,
               std::chrono::microseconds(0), nullptr, true},
        Attack{"CompressionStartedTwice", startedTwice(), startedTwice().size(), true},
        // Ordinary lines as fast as TLS carries them: the decrypted bytes
        // must not pile up ahead of the lines made from them.
        Attack{"LinesOverTls", historyFill(), 300 * kMiB, true, true, std::chrono::microseconds(0), nullptr,
               false, true},
        // Server information: a hundred thousand variables at once, values of
        // ten megabytes, and subnegotiations just short of the limit again and again.
        Attack{"MsspOfAHundredThousandVariables", msspOf(msspVariables(100000)), 32 * kMiB, true},
        Attack{"MsspValuesOfTenMegabytes", msspOf("\x01NAME\x02" + std::string(10 * kMiB, 'x')), 40 * kMiB, true},
        Attack{"MsspOfFiveThousandVariablesOverAndOver", msspOf(msspVariables(5000)), 64 * kMiB, true},
        // MXP markup: a thousand tags deep, tags that never close on a line
        // that never ends, and ten thousand links in one line.
        Attack{"MxpNestedAThousandDeep", mxpNestedAThousandDeep(), 32 * kMiB, true, true,
               std::chrono::microseconds(0), nullptr, false, false, true},
        Attack{"MxpTagsNeverClosed", mxpTagsNeverClosed(), 32 * kMiB, true, true, std::chrono::microseconds(0),
               nullptr, false, false, true},
        Attack{"MxpTenThousandLinksInALine", mxpTenThousandLinksInALine(), 64 * kMiB, true, true,
               std::chrono::microseconds(0), nullptr, false, false, true},
        // A MUD's variables: the same, and tables nested past any depth read.
        Attack{"MsdpOfAHundredThousandVariables", msdpOf(msspVariables(100000)), 32 * kMiB, true, true,
               std::chrono::microseconds(0), nullptr, false, false, false, true},
        Attack{"MsdpValuesOfTenMegabytes", msdpOf("\x01ROOM_NAME\x02" + std::string(10 * kMiB, 'x')), 40 * kMiB,
               true, true, std::chrono::microseconds(0), nullptr, false, false, false, true},
        Attack{"MsdpOfFiveThousandVariablesOverAndOver", msdpOf(msspVariables(5000)), 64 * kMiB, true, true,
               std::chrono::microseconds(0), nullptr, false, false, false, true},
        Attack{"MsdpTablesNestedFiveThousandDeepOverAndOver", msdpOf(msdpNestedTables(5000)), 64 * kMiB, true,
               true, std::chrono::microseconds(0), nullptr, false, false, false, true}),
    [](const ::testing::TestParamInfo<Attack>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
