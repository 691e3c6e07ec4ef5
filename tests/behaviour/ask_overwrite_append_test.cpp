#include "behaviour/scratch_folder.h"
#include "fakes/fake_platform.h"
#include "core/text_codec.h"
#include "macros/ask_overwrite_append.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using testing::FakePrompts;
using testing::ScratchFolder;

struct AskCase {
    const char* name;
    bool exists;
    std::optional<PromptAnswer> answer; // nothing: no question expected
    int result;
    const char* contentAfter;
};

void PrintTo(const AskCase& row, std::ostream* out) {
    *out << row.name;
}

class AskOverwriteAppendTable : public ::testing::TestWithParam<AskCase> {};

TEST_P(AskOverwriteAppendTable, OpensAsTheUserAnswers) {
    const AskCase& c = GetParam();
    ScratchFolder folder;
    if (c.exists) {
        folder.write("session.log", "old\r\n");
    }
    FakePrompts prompts;
    if (c.answer) {
        prompts.answers.push_back(*c.answer);
    }
    TextFileWriter writer;
    EXPECT_EQ(AskOverwriteAppend(folder.file("session.log"), writer, prompts), c.result);
    ASSERT_EQ(prompts.questions.size(), c.answer ? 1U : 0U);
    if (c.answer) {
        EXPECT_EQ(prompts.questions[0].text,
                  "FILE EXISTS:\r\rYes\tto overwrite it\rNo\tto append to it\rCancel\tto abort.");
        EXPECT_EQ(prompts.questions[0].title, folder.file("session.log"));
    }
    writer.writeLine("new");
    writer.close();
    EXPECT_EQ(folder.read("session.log"), c.contentAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AskOverwriteAppendTable,
    ::testing::Values(AskCase{"NewFileIsOpenedWithoutAQuestion", false, std::nullopt, 0, "new\r\n"},
                      AskCase{"YesEmptiesTheFile", true, PromptAnswer::Yes, 0, "new\r\n"},
                      AskCase{"NoAppends", true, PromptAnswer::No, 0, "old\r\nnew\r\n"},
                      AskCase{"CancelLeavesTheFileAlone", true, PromptAnswer::Cancel, 64, "old\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextFileWriter, FailuresCarryANumberAndTheSystemsText) {
    ScratchFolder folder;
    TextFileWriter writer;
    EXPECT_EQ(writer.open(folder.path(), TextFileWriter::Mode::Append).number, file_error::PathFileAccess);
    const FileError missing = writer.open(folder.file("no/such/folder.log"), TextFileWriter::Mode::Append);
    EXPECT_EQ(missing.number, file_error::PathNotFound);
    EXPECT_FALSE(missing.description.empty());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.writeLine("lost"));
}

TEST(TextFileWriter, EachLineIsOnDiskAsSoonAsItIsWritten) {
    ScratchFolder folder;
    TextFileWriter writer;
    ASSERT_FALSE(writer.open(folder.file("a.log"), TextFileWriter::Mode::Truncate));
    writer.writeLine("one");
    EXPECT_EQ(folder.read("a.log"), "one\r\n");
}

TEST(TextFileWriter, AFullDiskClosesTheFileAndSaysSo) {
    TextFileWriter writer;
    ASSERT_FALSE(writer.open("/dev/full", TextFileWriter::Mode::Append));
    EXPECT_FALSE(writer.writeLine("line"));
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(writer.lastError().number, file_error::DiskFull);
}

} // namespace
} // namespace corvane
