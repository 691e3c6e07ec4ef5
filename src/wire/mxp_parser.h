#pragma once

#include "wire/mxp_links.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// How MXP markup wants the text it covers to look. Colours are 0xRRGGBB.
struct MxpLook {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<std::uint32_t> foreground;
    std::optional<std::uint32_t> background;
    // A number in MxpLinks, or 0 outside links.
    std::uint32_t link = 0;
    friend bool operator==(const MxpLook&, const MxpLook&) = default;
};

// The safe part of MXP in a world's decoded text, one character at a time:
// <B> <I> <U> <COLOR> change the look, <SEND> and <A> make links, <BR> breaks
// the line; the standard entities (&lt; &gt; &amp; &quot; &apos; &nbsp; and
// numbered ones) become their characters. Nothing else is ever acted on: a
// tag the mode in force allows but this subset leaves out is dropped, any
// other is shown as the text it is. The line modes (ESC [ n z) decide what is
// allowed: open lets only the looks through, secure everything here, locked
// nothing. Every tag is closed where its line ends; nesting, tag length and
// links per line are bounded, so hostile markup costs no more than its text.
class MxpParser {
public:
    static constexpr std::size_t kMaxDepth = 32;
    static constexpr std::size_t kMaxTagLength = 1024;
    static constexpr std::size_t kMaxEntityLength = 10;
    static constexpr std::size_t kMaxLinksPerLine = 100;
    static constexpr std::size_t kMaxLinkText = 256;
    static constexpr std::size_t kMaxMenu = 20;

    // Where the text and its look go.
    class Sink {
    public:
        virtual ~Sink() = default;
        // A character to show.
        virtual void mxpText(char32_t character) = 0;
        // look() is different from here on.
        virtual void mxpLookChanged() = 0;
        // <BR>: the line ends here, and the looks go on on the next one.
        virtual void mxpLineBreak() = 0;
    };

    explicit MxpParser(MxpLinks& links) : m_links(links) {}

    // One decoded character of the world's text (never a line end).
    void feed(char32_t character, Sink& sink);
    // ESC [ mode z.
    void setLineMode(int mode, Sink& sink);
    // The world's line ended: what was half read is text after all, every
    // tag closes and a mode for one line is over.
    void lineEnded(Sink& sink);
    // A new connection, or MXP switched off.
    void reset();
    const MxpLook& look() const { return m_look; }

private:
    enum class Mode : std::uint8_t { Open, Secure, Locked };
    enum class State : std::uint8_t { Text, Tag, Entity };
    enum class Element : std::uint8_t { Bold, Italic, Underline, Colour, Send, Web, LineBreak, Dropped, Unknown };
    struct Opened {
        Element element = Element::Bold;
        std::optional<std::uint32_t> foreground;
        std::optional<std::uint32_t> background;
        std::uint32_t link = 0;
        // Send: the commands as given, each "&text;" still to be filled in.
        std::string href;
        std::string hint;
    };
    struct Tag;

    void tagCharacter(char32_t character, Sink& sink);
    void entityCharacter(char32_t character, Sink& sink);
    void tagEnded(Sink& sink);
    void openTag(Element element, const Tag& tag, bool secure, Sink& sink);
    void closeTag(Element element, bool secure, Sink& sink);
    void showCharacter(char32_t character, Sink& sink);
    // The half-read markup after `first`, as the text it was.
    void showBuffer(char32_t first, std::u32string_view after, Sink& sink);
    void closeFrom(std::size_t index, Sink& sink);
    void finishLink(const Opened& opened);
    bool linkOpen() const;
    void updateLook(Sink& sink);

    MxpLinks& m_links;
    State m_state = State::Text;
    Mode m_mode = Mode::Open;
    Mode m_defaultMode = Mode::Open;
    // ESC [ 4 z: the next tag is secure.
    bool m_tempSecure = false;
    // The tag being read began where secure tags are allowed.
    bool m_tagSecure = false;
    char32_t m_quote = 0;
    std::u32string m_buffer;
    std::vector<Opened> m_opened;
    MxpLook m_look;
    std::size_t m_linksThisLine = 0;
    std::string m_linkText;
};

} // namespace corvane
