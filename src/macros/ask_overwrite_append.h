#pragma once

#include "core/text_file_writer.h"

#include <string>

namespace corvane {

class Prompts;

// Opens an output file the user chose (session log, walk log): when it exists
// already, asks whether to overwrite it, append to it or give up. Returns 0
// when the file is open in writer, file_error::Cancelled (64) when the user
// cancelled, otherwise the number of the failed open (its text in
// writer.lastError()).
int AskOverwriteAppend(const std::string& path, TextFileWriter& writer, Prompts& prompts);

} // namespace corvane
