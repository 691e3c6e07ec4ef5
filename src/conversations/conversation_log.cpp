#include "conversations/conversation_log.h"

#include "core/text_codec.h"
#include "settings/play_options.h"

#include <array>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace corvane {

namespace {

std::string timeText(TimePoint when, const char* format) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), format, &parts);
    return text.data();
}

} // namespace

std::string FileNamePart(const std::string& name) {
    std::string part;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        part += (u < 128 && (std::isalnum(u) || c == '-' || c == '_')) ? c : '_';
    }
    return part.empty() ? "_" : part;
}

ConversationLog::ConversationLog(std::string folder, const PlayOptions& options, const Clock& clock,
                                 std::function<void(const std::string&)> report)
    : m_folder(std::move(folder))
    , m_options(options)
    , m_clock(clock)
    , m_report(std::move(report)) {}

std::string ConversationLog::pathFor(const std::string& conversation) const {
    return (std::filesystem::path(m_folder) /
            (FileNamePart(conversation) + "-" + timeText(m_clock.now(), "%Y-%m-%d") + ".log"))
        .string();
}

void ConversationLog::writeLine(const std::string& conversation, const std::string& line) {
    const std::string path = pathFor(conversation);
    auto found = m_files.find(path);
    if (found == m_files.end()) {
        auto writer = std::make_unique<TextFileWriter>();
        std::error_code ignored;
        std::filesystem::create_directories(m_folder, ignored);
        if (const FileError error = writer->open(path, TextFileWriter::Mode::Append)) {
            m_report("*** Could not open the conversation log " + path + ": " + error.description);
            writer.reset();
        }
        found = m_files.emplace(path, std::move(writer)).first;
    }
    if (!found->second) {
        return;
    }
    std::string text =
        m_options[PlayOption::LogTimes] ? timeText(m_clock.now(), "[%H:%M:%S] ") : std::string();
    text += m_options[PlayOption::Utf8Logs] ? line : Utf8ToCp1252KeepingOthers(line);
    if (!found->second->writeLine(text)) {
        m_report("*** Could not write to the conversation log " + path + ": " +
                 found->second->lastError().description + "; it is not written any more");
        found->second.reset();
    }
}

} // namespace corvane
