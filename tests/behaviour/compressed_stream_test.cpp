#include "fakes/client_harness.h"
#include "fakes/telnet_bytes.h"
#include "wire/byte_stage.h"

#include <gtest/gtest.h>
#include <vector>
#include <zlib.h>

namespace corvane::testing {
namespace {

const std::string kMccpWill = IAC + WILL + "\x56";
const std::string kMccpStart = IAC + SB + "\x56" + IAC + SE;
const std::string kCorruptLine = "*** The world's compressed stream is corrupt; disconnected.";

// `text` as one whole zlib stream, as a world compresses it.
std::string deflated(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

struct CompressedCase {
    std::string name;
    // Each a read of its own.
    std::vector<std::string> reads;
    std::string shown;
    bool staysConnected = true;
};

void PrintTo(const CompressedCase& row, std::ostream* out) {
    *out << row.name;
}

class CompressedStreamTest : public ::testing::TestWithParam<CompressedCase> {};

TEST_P(CompressedStreamTest, ShowsWhatTheWorldCompressed) {
    ClientHarness h;
    h.connect();
    h.client.session().TagMode = true;
    for (const std::string& read : GetParam().reads) {
        h.socket.receive(read);
    }
    EXPECT_NE(h.window.output.find(GetParam().shown), std::string::npos) << h.window.output;
    EXPECT_EQ(h.client.session().Connected, GetParam().staysConnected);
    const bool saidCorrupt = h.window.output.find(kCorruptLine) != std::string::npos;
    EXPECT_EQ(saidCorrupt, !GetParam().staysConnected) << h.window.output;
}

const std::string kTwoLines = deflated("First line\r\nSecond line\r\n");

INSTANTIATE_TEST_SUITE_P(
    Reads, CompressedStreamTest,
    ::testing::Values(
        // Agreed on every world, MUCKs included.
        CompressedCase{"StartAndTextInOneRead", {kMccpWill + "Plain\r\n" + kMccpStart + kTwoLines + "After\r\n"},
                       "Plain\nFirst line\nSecond line\nAfter\n"},
        CompressedCase{"ByteByByte",
                       [] {
                           std::vector<std::string> bytes;
                           for (char c : kMccpWill + kMccpStart + kTwoLines + "Back\r\n") {
                               bytes.emplace_back(1, c);
                           }
                           return bytes;
                       }(),
                       "First line\nSecond line\nBack\n"},
        // A start inside the stream is text of the stream: it changes nothing.
        CompressedCase{"StartedTwice",
                       {kMccpWill + kMccpStart + deflated("One\r\n" + kMccpStart + "Two\r\n") + "Three\r\n"},
                       "One\nTwo\nThree\n"},
        // Without the world's offer agreed there is nothing to inflate.
        CompressedCase{"StartWithoutTheOffer", {kMccpStart + "Plain\r\n"}, "Plain\n"},
        CompressedCase{"CorruptMidLine",
                       {kMccpWill + kMccpStart + kTwoLines.substr(0, kTwoLines.size() / 2),
                        std::string(40, '\x7f') + "Never shown\r\n", "Nor this\r\n"},
                       kCorruptLine, false}),
    [](const ::testing::TestParamInfo<CompressedCase>& row) { return row.param.name; });

TEST(CompressedStreamBombTest, SixteenMegabytesOfNulsShowNothingAndReadingGoesOn) {
    ClientHarness h;
    h.connect();
    h.client.session().TagMode = true;
    // A bomb: 16 MiB of NULs from a few KiB (the hostile tests send a gigabyte).
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    std::string zeros(std::size_t{1} << 20, '\0');
    std::string stream;
    std::string out(std::size_t{1} << 16, '\0');
    for (int block = 0; block < 16; ++block) {
        z.next_in = reinterpret_cast<Bytef*>(zeros.data());
        z.avail_in = static_cast<uInt>(zeros.size());
        const int flush = block == 15 ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, flush);
            stream.append(out.data(), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    h.socket.receive(kMccpWill + kMccpStart + stream + "Still here\r\n");
    EXPECT_NE(h.window.output.find("Still here\n"), std::string::npos);
    EXPECT_TRUE(h.client.session().Connected);
}

// A stage added to the path just before telnet, as a byte counter between
// TLS and telnet would be: it sees the bytes telnet gets, inflated.
class TelnetBoundByteCounter : public ByteStage {
public:
    std::size_t take(const unsigned char* bytes, std::size_t n) override {
        const std::size_t used = pass(bytes, n);
        counted += used;
        return used;
    }
    std::size_t counted = 0;
};

TEST(CompressedStreamStageTest, AStageBeforeTelnetCountsTheInflatedBytes) {
    ClientHarness h;
    h.connect();
    TelnetBoundByteCounter counter;
    h.client.receivePath().insertBefore(counter, h.client.receivePath().textStage());
    const std::string text = "First line\r\nSecond line\r\n";
    h.socket.receive(kMccpWill + "Plain\r\n" + kMccpStart + deflated(text) + "After\r\n");
    EXPECT_EQ(counter.counted, (kMccpWill + "Plain\r\n" + kMccpStart + text + "After\r\n").size());
    EXPECT_NE(h.window.output.find("Plain\nFirst line\nSecond line\nAfter\n"), std::string::npos) << h.window.output;
}

} // namespace
} // namespace corvane::testing
