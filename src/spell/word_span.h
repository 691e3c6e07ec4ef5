#pragma once

#include <cstddef>

namespace corvane {

// A word of a line: where it starts and how long it is, in bytes of UTF-8.
struct WordSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t end() const { return start + length; }
    bool operator==(const WordSpan&) const = default;
};

} // namespace corvane
