#include "core/text_file_writer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

FileError FileErrorFromErrno(int error) {
    const std::string text = std::strerror(error);
    switch (error) {
    case 0:
        return {};
    case EISDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return {file_error::PathFileAccess, text};
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return {file_error::PermissionDenied, text};
    case ENOENT:
    case ENOTDIR:
        return {file_error::PathNotFound, text};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return {file_error::DiskFull, text};
    default:
        return {file_error::DeviceIo, text};
    }
}

TextFileWriter::~TextFileWriter() {
    close();
}

FileError TextFileWriter::open(const std::string& path, Mode mode) {
    close();
    m_lastError = {};
    if (path.empty()) {
        m_lastError = FileErrorFromErrno(ENOENT);
        return m_lastError;
    }
    errno = 0;
    // Logs hold private pages: a file this creates is readable by its owner
    // alone, as the settings file is. One that exists keeps its permissions.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == Mode::Append ? O_APPEND : O_TRUNC);
    const int descriptor = ::open(path.c_str(), flags, S_IRUSR | S_IWUSR);
    if (descriptor >= 0) {
        m_file = ::fdopen(descriptor, mode == Mode::Append ? "ab" : "wb");
        if (m_file == nullptr) {
            const int error = errno;
            ::close(descriptor);
            errno = error;
        }
    }
    if (m_file == nullptr) {
        m_lastError = FileErrorFromErrno(errno == 0 ? EIO : errno);
        return m_lastError;
    }
    m_path = path;
    return {};
}

bool TextFileWriter::write(std::string_view bytes) {
    if (m_file == nullptr) {
        return false;
    }
    errno = 0;
    const bool ok = (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size()) &&
                    std::fflush(m_file) == 0;
    if (!ok) {
        m_lastError = FileErrorFromErrno(errno == 0 ? EIO : errno);
        std::fclose(m_file);
        m_file = nullptr;
    }
    return ok;
}

bool TextFileWriter::writeLine(std::string_view bytes) {
    std::string line;
    line.reserve(bytes.size() + 2);
    line.append(bytes);
    line.append("\r\n");
    return write(line);
}

void TextFileWriter::close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

} // namespace corvane
