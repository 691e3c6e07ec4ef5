#pragma once

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

    // Sends the UTF-8 text as Windows-1252 bytes; the caller adds the line end.
    void SendCommand(const std::string& text);
    // Counts a command whose reply the server will frame, for the lag meter,
    // once the world has shown that it frames replies at all.
    void NoteCommandSent();

    void onSendComplete();
    // The connection is gone: whatever still waits can never leave.
    void connectionEnded();
    bool busy() const { return m_waiting || !m_queue.empty(); }
    // Called each time the last waiting command has gone out, so a file being
    // played can send its next line without polling.
    void setDrainedHook(std::function<void()> hook) { m_drained = std::move(hook); }

    // The bytes that go on the wire for a text: Windows-1252, with a data byte
    // 255 doubled so the server's telnet layer does not take it for IAC.
    static std::string wireBytes(const std::string& text);

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
    std::string m_statusBeforeWait;
    std::function<void()> m_drained;
};

} // namespace corvane
