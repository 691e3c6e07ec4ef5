#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace corvane {

// What went wrong opening or writing a file, in the numbers the windows show:
// 75 is a path or file access error (a folder, a name that cannot be a file),
// which callers treat like a cancelled choice; every other number comes with
// a readable description.
struct FileError {
    int number = 0;
    std::string description;

    explicit operator bool() const { return number != 0; }
};

namespace file_error {
inline constexpr int Cancelled = 64;
inline constexpr int PathFileAccess = 75;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathNotFound = 76;
inline constexpr int DeviceIo = 57;
} // namespace file_error

// Maps an errno value to the numbers above (the system's text describes it).
FileError FileErrorFromErrno(int error);

// One text file written a line at a time (session log, walk log, macro
// recording). Every line is flushed to the system as it is written, so a crash
// loses at most the line being written.
class TextFileWriter {
public:
    enum class Mode { Truncate, Append };

    TextFileWriter() = default;
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    FileError open(const std::string& path, Mode mode);
    bool isOpen() const { return m_file != nullptr; }
    const std::string& path() const { return m_path; }
    // Writes the bytes followed by CR LF. After a failure the file is closed
    // and the error kept in lastError().
    bool writeLine(std::string_view bytes);
    // Writes the bytes as they are (no line end added).
    bool write(std::string_view bytes);
    void close();
    const FileError& lastError() const { return m_lastError; }

private:
    std::FILE* m_file = nullptr;
    std::string m_path;
    FileError m_lastError;
};

} // namespace corvane
