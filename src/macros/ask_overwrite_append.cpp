#include "macros/ask_overwrite_append.h"

#include "core/text_codec.h"
#include "platform/prompts.h"
#include "settings/settings.h"

namespace corvane {

int AskOverwriteAppend(const std::string& path, TextFileWriter& writer, Prompts& prompts) {
    PromptAnswer answer = PromptAnswer::Yes;
    if (FileExists(path)) {
        answer = prompts.ask("FILE EXISTS:\r\rYes\tto overwrite it\rNo\tto append to it\rCancel\tto abort.",
                             path, PromptButtons::YesNoCancel, PromptIcon::Exclamation,
                             PromptAnswer::No);
        if (answer == PromptAnswer::Cancel) {
            return file_error::Cancelled;
        }
    }
    const FileError error =
        writer.open(path, answer == PromptAnswer::No ? TextFileWriter::Mode::Append : TextFileWriter::Mode::Truncate);
    return error.number;
}

} // namespace corvane
