#pragma once

#include "core/rgb.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// How a run of server text looks, as the server's colour codes left it.
struct TextStyle {
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool reverse = false;
    // An MXP link's number in the world's link store, or 0.
    std::uint32_t link = 0;

    bool isPlain() const {
        return !foreground && !background && !bold && !italic && !underline && !reverse && link == 0;
    }
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// A styled stretch of a line: byte offsets into the line's UTF-8 text.
struct StyleSpan {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    TextStyle style;
    friend bool operator==(const StyleSpan&, const StyleSpan&) = default;
};

// One line of received text: only its visible characters (UTF-8), and the
// spans that carry a style other than plain. Gaps between spans are plain.
struct TextLine {
    std::string text;
    std::vector<StyleSpan> spans;
    // False for an unfinished tail shown before its carriage return arrived.
    bool complete = true;

    void clear() {
        text.clear();
        spans.clear();
        complete = true;
    }
};

} // namespace corvane
