#include "room/exits_line.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct ExitsRow {
    const char* name;
    std::string line;
    std::optional<std::vector<std::string>> exits;
};

void PrintTo(const ExitsRow& row, std::ostream* out) {
    *out << row.name;
}

struct ExitsLine : ::testing::TestWithParam<ExitsRow> {};

TEST_P(ExitsLine, ReadsTheCommandsThatTakeEachExit) {
    EXPECT_EQ(ParseExitsLine(GetParam().line), GetParam().exits);
}

using Exits = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Lines, ExitsLine,
    ::testing::Values(
        ExitsRow{"MuckCommaList", "Obvious exits: north, east, southwest", Exits{"north", "east", "southwest"}},
        ExitsRow{"ShortNamesInBrackets", "Obvious exits: Out <o>, Up the stairs [up] and Gate (g).",
                 Exits{"o", "up", "g"}},
        ExitsRow{"ShortNamesWithoutCommas", "Obvious exits: North Road <n> and Market Row [se].", Exits{"n", "se"}},
        ExitsRow{"MudBlankList", "Exits: n s e", Exits{"n", "s", "e"}},
        ExitsRow{"FramedMudList", "[ Exits: north south ]", Exits{"north", "south"}},
        ExitsRow{"AndWithoutCommas", "EXITS: north and south", Exits{"north", "south"}},
        ExitsRow{"NoneKnownButAnExitsLine", "Obvious exits: none.", Exits{}},
        ExitsRow{"SpeechIsNotAnExitsLine", "Alice says, \"Exits: north\"", std::nullopt},
        ExitsRow{"AParagraphIsNotAList", "Exits: " + std::string(60, 'x'), std::nullopt}),
    [](const ::testing::TestParamInfo<ExitsRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
