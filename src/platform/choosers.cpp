#include "platform/choosers.h"

namespace corvane {

std::vector<FileFilter> parseFileFilters(const std::string& filterText) {
    std::vector<FileFilter> filters;
    std::size_t start = 0;
    while (start < filterText.size()) {
        const std::size_t bar = filterText.find('|', start);
        if (bar == std::string::npos) {
            // A description without its pattern: take it as a pattern of its own.
            filters.push_back({filterText.substr(start), filterText.substr(start)});
            break;
        }
        const std::size_t next = filterText.find('|', bar + 1);
        const std::size_t end = next == std::string::npos ? filterText.size() : next;
        filters.push_back({filterText.substr(start, bar - start), filterText.substr(bar + 1, end - bar - 1)});
        start = end + 1;
    }
    return filters;
}

} // namespace corvane
