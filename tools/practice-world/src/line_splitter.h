#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace practice_world {

// Cuts the text a client sends into lines at LF, dropping the CR of CR LF and
// the NUL of telnet's CR NUL. A line past the limit is cut there and the rest
// of it, up to its LF, thrown away, so one client cannot grow memory unbounded.
class LineSplitter {
public:
    explicit LineSplitter(std::size_t maxLength);

    void feed(std::string_view text, std::vector<std::string>& lines);

private:
    std::size_t m_maxLength;
    std::string m_partial;
};

} // namespace practice_world
