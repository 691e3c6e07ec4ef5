#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

// What tells one version of a file on disk from another without reading it:
// a rename gives a new inode, a write in place a new size or new times.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

// nullopt when there is no file at path (or it cannot be looked at).
std::optional<FileStamp> StampOfFile(const std::string& path);

// Nanoseconds since the epoch on the clock file times are taken from.
std::int64_t FileClockNowNs();

} // namespace corvane
