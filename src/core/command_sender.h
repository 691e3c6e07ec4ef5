#pragma once

#include "core/own_command_answers.h"
#include "core/prompted_login.h"
#include "platform/socket.h"

#include <deque>
#include <functional>
#include <string>

namespace corvane {

struct Session;
class StatusLine;
class Prompts;
class MainMenu;

// Everything the client writes to the server leaves through SendCommand, in
// call order. Instead of spinning the event loop until the socket reports a send
// complete, later commands wait in a queue that the send-complete event drains.
class CommandSender {
public:
    CommandSender(Session& session, Socket& socket, StatusLine& status, Prompts& prompts, MainMenu& menu);

    // Sends the UTF-8 text in the connection's form (see sendsUtf8); the
    // caller adds the line end.
    void SendCommand(const std::string& text);
    // A protocol's own line, which the in-band filter leaves alone.
    void SendOutOfBand(const std::string& text);
    // Every in-band text passes through this first (a protocol quotes what
    // would read as its own lines).
    void setInBandFilter(std::function<std::string(const std::string&)> filter) {
        m_inBandFilter = std::move(filter);
    }
    // Sends a command of Corvane's own whose answer the player is not shown.
    void SendOwnCommand(const std::string& text, OwnAnswer answer);
    OwnCommandAnswers& ownAnswers() { return m_ownAnswers; }
    // The arrival hook that marks each room the character enters: set at
    // log-in, removed on every orderly way out (a dropped link cannot).
    void setArrivalHook();
    void removeArrivalHook();
    bool arrivalHookSet() const { return m_arrivalHookSet; }
    // Counts a command whose reply the server will frame, for the lag meter,
    // once the world has shown that it frames replies at all.
    void NoteCommandSent();

    void onSendComplete();
    // The connection is gone: whatever still waits can never leave.
    void connectionEnded();
    // The world has sent valid UTF-8 multi-byte text on this connection.
    void worldSentUtf8() { m_worldSentUtf8 = true; }
    // The world sent bytes that are not UTF-8 on this connection.
    void worldSentNonUtf8() { m_worldSentNonUtf8 = true; }
    // Windows-1252 until the world asks for UTF-8 by its "Encoding=" or, when
    // it leaves the choice open, by speaking UTF-8 itself: a world that never
    // does may not read it.
    bool sendsUtf8() const;
    bool busy() const { return m_waiting || !m_queue.empty(); }
    // Called each time the last waiting command has gone out, so a file being
    // played can send its next line without polling.
    void setDrainedHook(std::function<void()> hook) { m_drained = std::move(hook); }
    // Told after each in-band command (typed, from a button, a macro or Corvane's own).
    void setSentHook(std::function<void()> hook) { m_sent = std::move(hook); }
    // The log-in at a Diku-family world's prompts; told of its prompts and echo by the caller.
    PromptedLogin& promptedLogin() { return m_promptedLogin; }

    // The bytes that go on the wire for a text: UTF-8 or Windows-1252 ("?"
    // for a character the code page lacks), with a data byte 255 doubled so
    // the server's telnet layer does not take it for IAC.
    // Each character the code page lacks is added once to `unsent`, when given.
    static std::string wireBytes(const std::string& text, bool utf8 = false, std::string* unsent = nullptr);
    // Told which characters of a line just sent went as "?" (never silently).
    void setUnsentHook(std::function<void(const std::string& characters)> hook) {
        m_unsentHook = std::move(hook);
    }

private:
    void pump();
    void finishWaiting();

    Session& m_session;
    Socket& m_socket;
    StatusLine& m_status;
    Prompts& m_prompts;
    MainMenu& m_menu;
    std::deque<std::string> m_queue;
    bool m_waiting = false;
    bool m_pumping = false;
    bool m_worldSentUtf8 = false;
    bool m_worldSentNonUtf8 = false;
    std::string m_statusBeforeWait;
    std::function<void()> m_drained;
    std::function<void()> m_sent;
    PromptedLogin m_promptedLogin{[this](const std::string& line) { SendCommand(line); }};
    std::function<std::string(const std::string&)> m_inBandFilter;
    std::function<void(const std::string&)> m_unsentHook;
    OwnCommandAnswers m_ownAnswers;
    bool m_arrivalHookSet = false;
};

} // namespace corvane
