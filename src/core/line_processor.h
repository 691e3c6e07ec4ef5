#pragma once

#include "core/ansi_parser.h"
#include "core/line_stage.h"
#include "core/line_watch.h"
#include "core/shown_line_filter.h"
#include "core/telnet_filter.h"
#include "core/telnet_options.h"
#include "platform/clock.h"
#include "core/text_line.h"
#include "core/utf8_stream_decoder.h"
#include "wire/byte_stage.h"
#include "wire/mxp_parser.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace corvane {

struct Session;
struct OutputHabits;
class Socket;
class Sound;
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

// The text stage, the last of the received-byte path (shell/receive_path):
// turns received bytes into lines: answers telnet negotiation in stream order,
// reads colour codes, decodes the text (UTF-8 where it is, else Windows-1252;
// only Windows-1252 for a world that chose it),
// cuts lines at carriage returns and line feeds (a run of CRs before an LF is
// one line end) and at telnet's go-ahead and end-of-record, which end a prompt,
// lets the classifier take marker lines and listings, and shows the rest with
// trigger effects. An unfinished line is shown as an open prompt (at once
// before log-in, after a quiet spell after it) and completed in place.
class LineProcessor : public ByteStage, private MxpParser::Sink {
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
        // The one place every line comes out whole, once it has ended (a
        // prompt ends at go-ahead, end-of-record, or its line end), after the
        // classifier has taken what is its own.
        std::function<void(const std::string& text, bool prompt)> lineEnded;
        // A line has been shown (after the triggers had it).
        std::function<void(const std::string& line)> lineShown;
        // The world waits at a prompt: an unfinished line has been shown,
        // or a line ended by go-ahead or end-of-record. The text is the whole
        // line so far.
        std::function<void(const std::string& text)> promptShown = {};
    };
    // Quiet after an unfinished line before it is shown as an open prompt.
    static constexpr std::chrono::milliseconds kOpenPromptDelay{250};

    LineProcessor(Session& session, const OutputHabits& settings, Socket& socket, Sound& sound,
                  const LineWatch& triggers, LineClassifier& classifier, OutputBuffer& output,
                  MainWindowView& window);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    void setLogWriter(LogWriter* log) { m_log = log; }
    // Sees complete lines first (out-of-band protocols); may be null.
    void setLineStage(LineStage* stage) { m_stage = stage; }
    void setTimers(Timers* timers) { m_timers = timers; }
    // The world's compressed stream starts after the byte just read; take()
    // then stops short and the rest of the read is handed on inflated.
    void setCompressionStart(std::function<void()> start) { m_compressionStart = std::move(start); }
    // The telnet negotiation table and what is said once an option is on.
    TelnetFilter& telnet() { return m_telnet; }
    TelnetOptions& telnetOptions() { return m_telnetOptions; }
    // The world may speak MXP (its address book box): the option is agreed
    // to, and its markup read while it is on. Off, received text is read
    // exactly as if MXP did not exist.
    void setMxpAccepted(bool accepted);
    bool mxpOn() const { return m_mxpOn; }
    // The links MXP made, by the numbers the shown lines' styles carry.
    const MxpLinks& mxpLinks() const { return m_mxpLinks; }
    // The output box's size in characters, for worlds that asked for it.
    void windowResized(int columns, int rows);
    // Triggers: see ShownLineFilter. A line it hides is still logged.
    void setLineFilter(ShownLineFilter* filter) { m_filter = filter; }
    // The answers to Corvane's own commands, kept from the screen and the log.
    void setOwnAnswers(OwnCommandAnswers* answers) { m_ownAnswers = answers; }
    // Told once per connection, after the read that brought its first valid
    // UTF-8 multi-byte character.
    void setUtf8Seen(std::function<void()> seen) { m_utf8Seen = std::move(seen); }
    // Told once per connection, after the read that brought bytes that are not UTF-8.
    void setNonUtf8Seen(std::function<void()> seen) { m_nonUtf8Seen = std::move(seen); }
    // Forget any half-received line or sequence (a new connection).
    void reset();
    // The triggers changed: their looks are worked out again on next use.
    void triggersChanged();

    // Bytes of a read, or an inflated piece of one, a run at a time. Stops
    // short just after the world's start of compression: the rest is not text.
    std::size_t take(const unsigned char* bytes, std::size_t n) override;
    // The receive path hands on what waited: before the first read and after
    // the last, and around each read.
    void readingStarts();
    void readStarts();
    void readEnded();
    void readingEnded();
    // A command has gone to the world. On a MUD its answer starts a line of
    // its own: what the world left open before it (a prompt) ends here.
    void commandSent();

    // The last line received, as the classifier left it (empty for marker lines).
    const std::string& txtReceived() const { return m_txtReceived; }
    // This connection has sent valid UTF-8 multi-byte text.
    bool receivedUtf8() const { return m_decoder.sawMultibyte(); }

private:
    void mxpText(char32_t character) override;
    void mxpLookChanged() override;
    void mxpLineBreak() override;
    // The option went on or off.
    void mxpSwitched();
    // A decoded character of text: through MXP while it is on.
    void textCharacter(char32_t character);
    // Plain text bytes while MXP is on.
    void mxpBytes(const unsigned char* begin, const unsigned char* end);
    // An escape sequence ended while MXP is on: it may set a line mode.
    void mxpSequenceEnded();
    void completeLine(bool endedWithCr, bool prompt = false);
    void showLine(bool prompt);
    // The part of the line not yet shown as an open prompt.
    TextLine unshownPart() const;
    void showOpenPrompt();
    // A line an out-of-band protocol is still gathering: never shown as a prompt.
    bool stageHoldsTail() const;
    void unfinishedTailAtEndOfRead();
    void quietSpell();
    void promptEnded();
    void releaseHeldCarriageReturns();
    void closeSpan();
    bool showsUnfinishedTail() const;
    void telnetByte(unsigned char byte);
    // Text with bytes from 128 up: each goes through the decoder.
    void decodeText(const unsigned char* begin, const unsigned char* end);
    template <typename Put> void feedDecoder(unsigned char byte, Put&& put);
    // A byte of text that came as a telnet data byte (IAC IAC).
    void decodeByte(unsigned char byte);
    void putCharacter(char32_t character);
    void cutLine();
    void flushDecoder();
    // Ends the unfinished line as a prompt line; with `shownOnly`, only a
    // line shown whole as an open prompt.
    void endOpenLine(bool shownOnly);

    Session& m_session;
    const OutputHabits& m_settings;
    Socket& m_socket;
    Sound& m_sound;
    const LineWatch& m_triggers;
    LineClassifier& m_classifier;
    OutputBuffer& m_output;
    MainWindowView& m_window;
    OwnCommandAnswers* m_ownAnswers = nullptr;
    Hooks m_hooks;
    std::function<void()> m_utf8Seen;
    std::function<void()> m_nonUtf8Seen;
    bool m_reportedNonUtf8 = false;
    LogWriter* m_log = nullptr;
    LineStage* m_stage = nullptr;
    // Part of the current line has been shown or cut off already.
    bool m_midLine = false;
    ShownLineFilter* m_filter = nullptr;

    static constexpr int kLookUnknown = -2;

    TelnetFilter m_telnet;
    std::function<void()> m_compressionStart;
    // The world's start of compression was just read: take() stops there.
    bool m_streamChanges = false;
    TelnetOptions m_telnetOptions;
    bool m_mxpAccepted = false;
    bool m_mxpOn = false;
    MxpLinks m_mxpLinks;
    MxpParser m_mxp{m_mxpLinks};
    Timers* m_timers = nullptr;
    std::optional<Timers::TimerId> m_quietTimer;
    // Bytes of the current line already shown as an open prompt.
    std::size_t m_shownBytes = 0;
    // CRs after a CR line end, waiting to see whether an LF closes the run.
    int m_heldCarriageReturns = 0;
    AnsiParser m_ansi;
    Utf8StreamDecoder m_decoder;
    bool m_reportedUtf8 = false;
    TextLine m_line;
    std::size_t m_lineCharacters = 0;
    std::size_t m_spanStart = 0;
    TextStyle m_spanStyle;
    std::string m_reply;
    std::string m_txtReceived;
    // The byte that ended the last line ('\r', '\n', 0 when it was cut at
    // the cap); shown tails and the ends of reads leave it alone.
    unsigned char m_previous = '\r';
    // The line-end byte that, coming next, pairs with the last one (CR LF, LF CR).
    unsigned char m_pairedEnd = 0;
    bool m_running = false;
    // A command went out while a read was being worked through.
    bool m_commandSentMeanwhile = false;
    std::array<int, LineWatch::Slots> m_looks{};
};

} // namespace corvane
