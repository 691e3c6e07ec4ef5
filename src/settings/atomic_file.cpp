#include "settings/atomic_file.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace corvane {

namespace {

namespace fs = std::filesystem;

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
constexpr mode_t kPermissionBits = 07777;

std::string errorText(int error) {
    return std::generic_category().message(error != 0 ? error : EIO);
}

constexpr std::string_view kTempMark = ".tmp";
constexpr std::string_view kDigits = "0123456789abcdef";
constexpr std::size_t kSuffixDigits = 12;

std::string uniqueSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    std::uint64_t number = generator();
    std::string suffix(kTempMark);
    for (std::size_t i = 0; i < kSuffixDigits; ++i) {
        suffix += kDigits[number & 0xF];
        number >>= 4;
    }
    return suffix;
}

// 0 when all of bytes reached the disk, else the error.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The producer's pieces, gathered into writes of a useful size; the first
// error stops the rest.
int writeProduced(int fd, const BytesProducer& produce) {
    constexpr std::size_t kBuffer = 64 * 1024;
    std::string buffer;
    buffer.reserve(kBuffer);
    int error = 0;
    produce([&](std::string_view piece) {
        if (error != 0) {
            return false;
        }
        if (buffer.size() + piece.size() > kBuffer) {
            error = writeAll(fd, buffer);
            buffer.clear();
            if (error == 0 && piece.size() >= kBuffer) {
                error = writeAll(fd, piece);
                return error == 0;
            }
        }
        buffer.append(piece);
        return error == 0;
    });
    if (error == 0) {
        error = writeAll(fd, buffer);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    return error;
}

bool isTemporaryOf(const std::string& name, const std::string& target) {
    const std::size_t head = target.size() + kTempMark.size();
    if (name.size() != head + kSuffixDigits || name.compare(0, target.size(), target) != 0 ||
        name.compare(target.size(), kTempMark.size(), kTempMark) != 0) {
        return false;
    }
    return name.find_first_not_of(kDigits, head) == std::string::npos;
}

} // namespace

void RemoveTemporaryFilesOf(const std::string& path) {
    const fs::path target(WriteTarget(path));
    const std::string targetName = target.filename().string();
    std::error_code error;
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (isTemporaryOf(name, targetName) && it->symlink_status(ignored).type() == fs::file_type::regular) {
            fs::remove(it->path(), ignored);
        }
    }
}

std::string WriteTarget(const std::string& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path resolved = fs::canonical(path, error);
        if (!error) {
            return resolved.string();
        }
    }
    return path;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
    return WriteFileAtomicallyFrom(
        path, [bytes](const BytesSink& put) { put(bytes); }, reason);
}

bool WriteFileAtomicallyFrom(const std::string& path, const BytesProducer& produce, std::string& reason) {
    const fs::path target(WriteTarget(path));

    struct stat existing {};
    const bool targetExists = ::stat(target.c_str(), &existing) == 0;
    if (targetExists) {
        // A file made read-only keeps its content, although renaming over it
        // would succeed.
        const int probe = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (probe < 0) {
            reason = errorText(errno);
            return false;
        }
        ::close(probe);
    }

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target.parent_path() / (target.filename().string() + uniqueSuffix());
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kOwnerOnly);
        if (fd < 0 && errno != EEXIST) {
            reason = errorText(errno);
            return false;
        }
    }
    if (fd < 0) {
        reason = errorText(EEXIST);
        return false;
    }

    int error = writeProduced(fd, produce);
    if (error == 0 && targetExists && ::fchmod(fd, existing.st_mode & kPermissionBits) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0) {
        std::error_code renameError;
        fs::rename(temp, target, renameError);
        if (!renameError) {
            return true;
        }
        reason = renameError.message();
    } else {
        reason = errorText(error);
    }
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
}

} // namespace corvane
