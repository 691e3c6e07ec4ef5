#pragma once

#include "core/ansi_parser.h"
#include "core/telnet_filter.h"
#include "core/text_line.h"
#include "core/utf8_stream_decoder.h"

#include <array>
#include <functional>
#include <string>

namespace corvane {

struct Session;
struct ClientSettings;
class Socket;
class Sound;
class TriggerSet;
class LineClassifier;
class OwnCommandAnswers;
class OutputBuffer;
class MainWindowView;

// Receives each shown line while a log file is open.
class LogWriter {
public:
    virtual ~LogWriter() = default;
    virtual void writeLine(const std::string& line) = 0;
};

// Turns received bytes into lines: answers telnet negotiation in stream order,
// reads colour codes, decodes the text (UTF-8 where it is, else Windows-1252;
// only Windows-1252 for a world that chose it),
// cuts lines at carriage returns and line feeds, lets the classifier take
// marker lines and listings, and shows the rest with trigger effects.
class LineProcessor {
public:
    // A line longer than this is shown in pieces: the window could not keep
    // more, and an endless line must not grow memory without bound. It counts
    // characters of the whole line, tails shown before its end included.
    static constexpr std::size_t kMaxLineCharacters = 16000;
    static constexpr std::size_t kPopUpCharacters = 80;

    struct Hooks {
        // A trigger pops its line up: title and text for the notice window.
        std::function<void(const std::string& title, const std::string& text)> popUp;
        // A batch of received text has been processed; without this hook the
        // output is brought up to date at once.
        std::function<void()> outputChanged;
        // A line has been shown (after the triggers had it).
        std::function<void(const std::string& line)> lineShown;
    };

    LineProcessor(Session& session, const ClientSettings& settings, Socket& socket, Sound& sound,
                  TriggerSet& triggers, LineClassifier& classifier, OutputBuffer& output,
                  MainWindowView& window);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    void setLogWriter(LogWriter* log) { m_log = log; }
    // The answers to Corvane's own commands, kept from the screen and the log.
    void setOwnAnswers(OwnCommandAnswers* answers) { m_ownAnswers = answers; }
    // Told once per connection, after the read that brought its first valid
    // UTF-8 multi-byte character.
    void setUtf8Seen(std::function<void()> seen) { m_utf8Seen = std::move(seen); }
    // Forget any half-received line or sequence (a new connection).
    void reset();
    // The triggers changed: their looks are worked out again on next use.
    void triggersChanged();

    void ProcessIncoming();

    // The last line received, as the classifier left it (empty for marker lines).
    const std::string& txtReceived() const { return m_txtReceived; }
    // This connection has sent valid UTF-8 multi-byte text.
    bool receivedUtf8() const { return m_decoder.sawMultibyte(); }

private:
    void completeLine(bool endedWithCr);
    void showLine();
    void closeSpan();
    void processBatch(const unsigned char* bytes, std::size_t n);
    bool showsUnfinishedTail() const;
    void telnetByte(unsigned char byte);
    // Text with bytes from 128 up: each goes through the decoder.
    void decodeText(const unsigned char* begin, const unsigned char* end);
    template <typename Put> void feedDecoder(unsigned char byte, Put&& put);
    void putCharacter(char32_t character);
    void cutLine();
    void flushDecoder();

    Session& m_session;
    const ClientSettings& m_settings;
    Socket& m_socket;
    Sound& m_sound;
    TriggerSet& m_triggers;
    LineClassifier& m_classifier;
    OutputBuffer& m_output;
    MainWindowView& m_window;
    OwnCommandAnswers* m_ownAnswers = nullptr;
    Hooks m_hooks;
    std::function<void()> m_utf8Seen;
    LogWriter* m_log = nullptr;

    TelnetFilter m_telnet;
    AnsiParser m_ansi;
    Utf8StreamDecoder m_decoder;
    bool m_reportedUtf8 = false;
    TextLine m_line;
    std::size_t m_lineCharacters = 0;
    std::size_t m_spanStart = 0;
    TextStyle m_spanStyle;
    std::string m_reply;
    std::string m_work;
    std::string m_txtReceived;
    // The byte that ended the last line ('\r', '\n', 0 when it was cut at
    // the cap); shown tails and the ends of reads leave it alone.
    unsigned char m_previous = '\r';
    // The line-end byte that, coming next, pairs with the last one (CR LF, LF CR).
    unsigned char m_pairedEnd = 0;
    bool m_running = false;
    std::array<int, 5> m_looks{-1, -1, -1, -1, -1};
};

} // namespace corvane
