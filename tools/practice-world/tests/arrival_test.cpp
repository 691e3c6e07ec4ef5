#include "arrival.h"
#include "world_fixture.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace practice_world {
namespace {

struct ArrivalCase {
    const char* value;
    const char* expected;
};

// A case name from a property value: GoogleTest takes only letters, digits
// and "_", so the leading "&" that makes a value an arrival line reads "And".
std::string arrivalCaseName(const std::string& text) {
    std::string name;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name += c;
        } else if (c == '&') {
            name += name.empty() || name.back() == '_' ? "And" : "_And";
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name;
}

void PrintTo(const ArrivalCase& row, std::ostream* out) {
    *out << row.value;
}

class ArrivalLineTest : public ::testing::TestWithParam<ArrivalCase> {};

TEST_P(ArrivalLineTest, Expands) {
    const ArrivalContext context{164, "Town Square", 202, "Tester"};
    EXPECT_EQ(arrivalLine(GetParam().value, context), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ArrivalLineTest,
                         ::testing::Values(ArrivalCase{"&[vrox] {ref:here} {name:here}",
                                                       "[vrox] #164 Town Square"},
                                           ArrivalCase{"[vrox] {ref:here}", "[vrox] {ref:here}"},
                                           ArrivalCase{"&{ref:here}{ref:here}", "#164#164"},
                                           ArrivalCase{"&{NAME:ME} at {Ref:Here}", "Tester at #164"},
                                           ArrivalCase{"&{name:there} {ref:here", "{name:there} {ref:here"},
                                           ArrivalCase{"&&", "&"}, ArrivalCase{"&", ""}),
                         [](const auto& info) { return arrivalCaseName(info.param.value); });

class ArrivalInWorldTest : public WorldFixture {
protected:
    void SetUp() override {
        logIn(kTester, "Tester", "password");
        input(kTester, "OUTPUTPREFIX <<");
        input(kTester, "OUTPUTSUFFIX >>");
    }
};

TEST_F(ArrivalInWorldTest, ComesAfterTheRoomInsideTheMovesFrame) {
    EXPECT_EQ(send(kTester, "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}"),
              "<<\r\nProperty set.\r\n>>\r\n");
    input(kTester, "north");
    EXPECT_TRUE(send(kTester, "south").ends_with("notice board\r\n[vrox] #164 Town Square\r\n>>\r\n"));
}

TEST_F(ArrivalInWorldTest, GoingHomeCountsAsArriving) {
    input(kTester, "@set me=_arrive/vrox:&{ref:here}");
    input(kTester, "east");
    const std::string home = send(kTester, "gohome");
    EXPECT_TRUE(home.starts_with("<<\r\nThere's no place like home...\r\n"));
    EXPECT_TRUE(home.ends_with("\r\n#164\r\n>>\r\n"));
}

TEST_F(ArrivalInWorldTest, SeveralPropertiesGoOutInNameOrderAndCanBeRemoved) {
    input(kTester, "@set me=_arrive/b:&second {name:here}");
    input(kTester, "@set me=_arrive/a:first, verbatim {name:here}");
    input(kTester, "@set me=_other:not an arrival");
    EXPECT_TRUE(
        send(kTester, "n").ends_with("\r\nfirst, verbatim {name:here}\r\nsecond North Road\r\n>>\r\n"));

    EXPECT_EQ(send(kTester, "@set me=_arrive/a:"), "<<\r\nProperty removed.\r\n>>\r\n");
    EXPECT_TRUE(send(kTester, "s").ends_with("notice board\r\nsecond Town Square\r\n>>\r\n"));
}

TEST_F(ArrivalInWorldTest, OnlyYourOwnPropertiesCanBeSet) {
    EXPECT_EQ(send(kTester, "@set bob=_arrive/x:y"), "<<\r\nPermission denied.\r\n>>\r\n");
    EXPECT_EQ(send(kTester, "@set me=_arrive/x"), "<<\r\nI don't recognize that flag.\r\n>>\r\n");
}

} // namespace
} // namespace practice_world
