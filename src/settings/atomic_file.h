#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

// The file a write to path replaces: the file a symbolic link points at, else
// path itself.
std::string WriteTarget(const std::string& path);

// Writes bytes to a new file beside the target and renames it over the
// target, so a reader (or a crash) sees either the old file or the new one,
// never a half-written one. A new file is readable by its owner only (it may
// hold passwords); a file that exists keeps its permission bits. On failure
// the file at path is left as it was and reason says why.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& reason);

// Takes a file's bytes a piece at a time; false once a write has failed (the
// producer may stop then).
using BytesSink = std::function<bool(std::string_view)>;
using BytesProducer = std::function<void(const BytesSink&)>;
// The same, with the bytes made while they are written, so a large file is
// never held whole a second time.
bool WriteFileAtomicallyFrom(const std::string& path, const BytesProducer& produce, std::string& reason);

// Removes the temporary files WriteFileAtomically makes for path, as a killed
// write leaves them; nothing else. The caller makes sure no write is running.
void RemoveTemporaryFilesOf(const std::string& path);

} // namespace corvane
