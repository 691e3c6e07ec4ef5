#include "core/number_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace corvane {
namespace {

TEST(NumericValue, ReadsTheNumericPrefix) {
    struct Case {
        std::string text;
        double expected;
    };
    const std::vector<Case> cases = {
        {"219", 219},     {" 219", 219},
        {"\t 42abc", 42}, {"-5", -5},
        {"+7", 7},        {"9.5", 9.5},
        {".5", 0.5},      {"5.", 5},
        {"1.5E2", 150},   {"1.5e+2", 150},
        {"25E-1", 2.5},   {"3D2", 300},
        {"3d", 3},        {"3E", 3},
        {"3E+", 3},       {"3Ex", 3},
        {"12 34", 12},    {"1.2.3", 1.2},
        {"--5", 0},       {"-", 0},
        {".", 0},         {"", 0},
        {"abc", 0},       {"E5", 0},
        {"-0", 0},        {"-16777201", -16777201},
        {"1E999", 0},     {"0x1F", 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(NumericValue(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(FormatNumber, LeavesRoomForTheSign) {
    struct Case {
        double value;
        std::string withSign;
        std::string plain;
    };
    const std::vector<Case> cases = {
        {219, " 219", "219"},
        {0, " 0", "0"},
        {-0.0, " 0", "0"},
        {-5, "-5", "-5"},
        {9.5, " 9.5", "9.5"},
        {10.25, " 10.25", "10.25"},
        {-0.5, "-0.5", "-0.5"},
        {0.1, " 0.1", "0.1"},
        {-16777201, "-16777201", "-16777201"},
        {14000000, " 14000000", "14000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatNumber(c.value), c.withSign) << c.value;
        EXPECT_EQ(FormatPlain(c.value), c.plain) << c.value;
    }
}

TEST(FormatNumber, ReadsBackAsTheSameNumber) {
    for (const double value : {219.0, -5.0, 9.5, 0.1, 1e20, -123456.789}) {
        EXPECT_DOUBLE_EQ(NumericValue(FormatNumber(value)), value) << value;
    }
}

} // namespace
} // namespace corvane
