#include "rules/line_colour.h"

#include <algorithm>
#include <vector>

namespace corvane {

void OverlayStyle(TextLine& line, std::size_t start, std::size_t length, const TextStyle& over) {
    const std::size_t size = line.text.size();
    start = std::min(start, size);
    const std::size_t end = std::min(size, start + length);
    if (start == end) {
        return;
    }
    std::vector<std::size_t> edges{0, size, start, end};
    for (const StyleSpan& span : line.spans) {
        edges.push_back(std::min<std::size_t>(span.start, size));
        edges.push_back(std::min<std::size_t>(span.start + span.length, size));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<StyleSpan> result;
    std::size_t next = 0;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        const std::size_t from = edges[i];
        const std::size_t to = edges[i + 1];
        while (next < line.spans.size() && line.spans[next].start + line.spans[next].length <= from) {
            ++next;
        }
        TextStyle style;
        if (next < line.spans.size() && line.spans[next].start <= from) {
            style = line.spans[next].style;
        }
        if (from >= start && to <= end) {
            if (over.foreground) {
                style.foreground = over.foreground;
                style.reverse = false;
            }
            if (over.background) {
                style.background = over.background;
                style.reverse = false;
            }
            style.bold = style.bold || over.bold;
        }
        if (style.isPlain()) {
            continue;
        }
        if (!result.empty() && result.back().start + result.back().length == from && result.back().style == style) {
            result.back().length += static_cast<std::uint32_t>(to - from);
        } else {
            result.push_back(StyleSpan{static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to - from), style});
        }
    }
    line.spans = std::move(result);
}

} // namespace corvane
