#pragma once

#include "core/text_file_writer.h"
#include "platform/clock.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace corvane {

struct PlayOptions;

// "Log conversations": each conversation to a file of its own in the `logs`
// folder beside the settings file, named after it and the day it started
// (Alice-2026-12-08.log), appended to and flushed line by line in the session
// log's encoding. A file that cannot be written is reported once and left
// alone for the rest of the run.
class ConversationLog {
public:
    ConversationLog(std::string folder, const PlayOptions& options, const Clock& clock,
                    std::function<void(const std::string&)> report);

    void writeLine(const std::string& conversation, const std::string& line);
    // The file a conversation goes to today.
    std::string pathFor(const std::string& conversation) const;
    void closeAll() { m_files.clear(); }

private:
    std::string m_folder;
    const PlayOptions& m_options;
    const Clock& m_clock;
    std::function<void(const std::string&)> m_report;
    // By file path: null once writing it failed.
    std::map<std::string, std::unique_ptr<TextFileWriter>> m_files;
};

// A name as a piece of a file name: letters, digits, '-' and '_' kept, the rest '_'.
std::string FileNamePart(const std::string& name);

} // namespace corvane
