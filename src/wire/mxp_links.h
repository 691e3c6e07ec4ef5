#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace corvane {

// What an MXP link in the output does when clicked: sends a command (a menu
// of them when there are several), or opens a web address.
struct MxpLink {
    enum class Kind : std::uint8_t { Send, Web };
    Kind kind = Kind::Send;
    // Send: one command a line, as if typed. Never empty once the link is whole.
    std::vector<std::string> commands;
    // The menu's words for each command; the same length as `commands`.
    std::vector<std::string> captions;
    // The tooltip the world gave the link, or empty.
    std::string hint;
    // Send: the command goes into the input line to be edited, not out.
    bool prompt = false;
    // Web: the address, always http or https.
    std::string address;

    // What the pointer over the link shows: the world's hint, else where the
    // link goes (nothing for a menu, which shows its words when clicked).
    std::string toolTip() const;
};

// The links of the output's recent lines, each under a number the output's
// text formats carry. Only the newest are kept: the output itself keeps a
// bounded number of lines, and a link that scrolled that far is gone.
class MxpLinks {
public:
    static constexpr std::size_t kKept = 2000;

    // A number never 0, and never one in use.
    std::uint32_t add(MxpLink link);
    // The link under `id`, or null when it is no longer kept.
    const MxpLink* find(std::uint32_t id) const;
    MxpLink* find(std::uint32_t id);
    std::size_t size() const { return m_links.size(); }
    void clear();

private:
    bool kept(std::uint32_t id) const { return id >= m_firstId && id - m_firstId < m_links.size(); }

    std::deque<MxpLink> m_links;
    // The number of m_links.front().
    std::uint32_t m_firstId = 1;
};

} // namespace corvane
