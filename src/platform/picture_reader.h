#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace corvane {

// A decoded picture. What it holds is the platform's business; the rules only
// pass it from the reader to the window that shows it.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// Decodes room pictures (Windows bitmaps, PNG, JPEG). A file that is missing,
// unreadable, not a picture, truncated, or larger than kMaxPixels gives
// nullptr: a huge picture must never stall or exhaust the client.
class PictureReader {
public:
    // 4096 x 4096: far beyond any room picture, small enough to decode at once.
    static constexpr std::int64_t kMaxPixels = 4096LL * 4096LL;

    virtual ~PictureReader() = default;
    virtual std::unique_ptr<Picture> read(const std::string& path) = 0;
};

} // namespace corvane
