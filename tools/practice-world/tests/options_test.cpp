#include "account.h"
#include "options.h"

#include <cctype>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace practice_world {
namespace {

using Args = std::vector<std::string>;

TEST(OptionsTest, DefaultsListenOnLoopbackPort4201) {
    std::string error;
    const auto options = parseOptions({}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->bindAddress, "127.0.0.1");
    EXPECT_EQ(options->port, 4201);
    EXPECT_EQ(options->idleSeconds, 180);
    EXPECT_FALSE(options->telnetProbe);
    EXPECT_EQ(options->tlsPort, -1);
    EXPECT_FALSE(options->modern);
    EXPECT_EQ(options->nopSeconds, 60);
}

TEST(OptionsTest, ReadsBothSpellingsOfValues) {
    std::string error;
    const auto options = parseOptions({"--port", "0", "--lag=250", "--idle-seconds", "5", "--telnet-probe",
                                       "--log", "/tmp/x", "--bind=0.0.0.0", "--tls-port=4202",
                                       "--modern", "--nop-seconds=2", "--version"},
                                      error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->port, 0);
    EXPECT_EQ(options->lagMilliseconds, 250);
    EXPECT_EQ(options->idleSeconds, 5);
    EXPECT_TRUE(options->telnetProbe);
    EXPECT_EQ(options->logFile, "/tmp/x");
    EXPECT_EQ(options->bindAddress, "0.0.0.0");
    EXPECT_EQ(options->tlsPort, 4202);
    EXPECT_TRUE(options->modern);
    EXPECT_EQ(options->nopSeconds, 2);
    EXPECT_TRUE(options->version);
}

struct BadArguments {
    Args args;
    const char* error;
};

std::string joined(const Args& args) {
    std::string text;
    for (const std::string& arg : args) {
        text += (text.empty() ? "" : " ") + arg;
    }
    return text;
}

// A case name from a text: GoogleTest takes only letters, digits and "_", so
// other runs become one "_" and a "-" before a digit reads "minus".
std::string optionsCaseName(const std::string& text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) != 0) {
            name += static_cast<char>(c);
            continue;
        }
        if (!name.empty() && name.back() != '_') {
            name += '_';
        }
        if (c == '-' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])) != 0) {
            name += "minus";
        }
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name;
}

void PrintTo(const BadArguments& row, std::ostream* out) {
    *out << joined(row.args);
}

class BadOptionsTest : public ::testing::TestWithParam<BadArguments> {};

TEST_P(BadOptionsTest, AreRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(parseOptions(GetParam().args, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadOptionsTest,
    ::testing::Values(
        BadArguments{{"--port"}, "--port needs a value"},
        BadArguments{{"--port", "65536"}, "--port takes a whole number from 0 to 65535, not '65536'"},
        BadArguments{{"--lag", "-1"}, "--lag takes a whole number from 0 to 60000, not '-1'"},
        BadArguments{{"--port", "12ab"}, "--port takes a whole number from 0 to 65535, not '12ab'"},
        BadArguments{{"--log="}, "--log needs a value"},
        BadArguments{{"--colour"}, "unknown option '--colour'"},
        BadArguments{{"--nop-seconds", "0"}, "--nop-seconds takes a whole number from 1 to 86400, not '0'"},
        BadArguments{{"--modern=yes"}, "unknown option '--modern=yes'"}),
    [](const auto& info) { return optionsCaseName(joined(info.param.args)); });

TEST(AccountsFileTest, ReadsNamesAndPasswordsSkippingComments) {
    std::istringstream file("# extra players\n\nCarol  open sesame\r\nDave_2 pw\n");
    std::string error;
    const auto accounts = readAccounts(file, error);
    ASSERT_TRUE(accounts) << error;
    ASSERT_EQ(accounts->size(), 2u);
    EXPECT_EQ((*accounts)[0].name, "Carol");
    EXPECT_EQ((*accounts)[0].password, "open sesame");
    EXPECT_EQ((*accounts)[1].name, "Dave_2");
}

TEST(AccountsFileTest, NamesTheBadLine) {
    std::string error;
    std::istringstream noPassword("Carol pw\nDave\n");
    EXPECT_FALSE(readAccounts(noPassword, error));
    EXPECT_EQ(error, "line 2: expected NAME PASSWORD");
    std::istringstream badName("Car=ol pw\n");
    EXPECT_FALSE(readAccounts(badName, error));
    EXPECT_EQ(error, "line 1: a name may hold letters, digits, _ and -");
}

} // namespace
} // namespace practice_world
