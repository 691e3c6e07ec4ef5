#include "param_name.h"
#include "shell/command_line.h"
#include "worlds/command_line_address.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct AddressCase {
    std::string commandLine;
    std::string host;
    std::string port;
    bool secure = false;
};

void PrintTo(const AddressCase& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.commandLine);
}

class AddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressTest, FillsHostAndPort) {
    const auto address = ParseCommandLineAddress(GetParam().commandLine);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->host, GetParam().host);
    EXPECT_EQ(address->port, GetParam().port);
    EXPECT_EQ(address->secure, GetParam().secure);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AddressTest,
    ::testing::Values(AddressCase{"telnet://furrymuck.com:8888", "furrymuck.com", "8888"},
                      AddressCase{"telnet://127.0.0.1:4201/", "127.0.0.1", "4201"},
                      AddressCase{"furrymuck.com 8888", "furrymuck.com", "8888"},
                      AddressCase{"furrymuck.com:8888", "furrymuck.com", "8888"},
                      AddressCase{"furrymuck.com", "furrymuck.com", "23"},
                      AddressCase{"telnet://example.org", "example.org", "23"},
                      AddressCase{"telnet://[::1]:4201", "::1", "4201"},
                      AddressCase{"  host   99  extra", "host", "99"},
                      AddressCase{"telnets://muck.example:6699/", "muck.example", "6699", true},
                      AddressCase{"telnets://muck.example", "muck.example", "992", true},
                      AddressCase{"telnets://[::1]:4202", "::1", "4202", true}),
    // Forms differ only in their separators, so the row number tells them apart.
    [](const auto& info) { return ParamName(info.param.commandLine) + "_" + std::to_string(info.index); });

TEST(CommandLine, AnEmptyLineIsNoAddress) {
    EXPECT_FALSE(ParseCommandLineAddress("").has_value());
    EXPECT_FALSE(ParseCommandLineAddress("   ").has_value());
    EXPECT_FALSE(ParseCommandLineAddress("telnet://").has_value());
}

TEST(CommandLine, OptionsAndAddressWords) {
    const auto options = ParseCommandLine({"--settings", "/tmp/x.ini", "example.org", "4201"});
    EXPECT_EQ(options.settingsPath, "/tmp/x.ini");
    EXPECT_EQ(options.address, "example.org 4201");
    EXPECT_TRUE(options.error.empty());

    EXPECT_EQ(ParseCommandLine({"--settings=/a/b.ini"}).settingsPath, "/a/b.ini");
    EXPECT_FALSE(ParseCommandLine({"--settings"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--bogus"}).error.empty());
    EXPECT_TRUE(ParseCommandLine({"--version"}).showVersion);
}

} // namespace
} // namespace corvane::testing
