#pragma once

#include "core/server_kind.h"
#include "core/text_encoding.h"
#include "platform/socket.h"

#include <functional>
#include <string>

namespace corvane {

struct Session;
class CommandSender;
class StatusLine;
class OutputSink;
class Prompts;
class Sound;

// The one world connection: connecting, the socket's events, disconnecting and
// the QUIT sequence. Waits for the socket become continuations: the QUIT
// question is asked once the server has closed, whichever way it closes.
class Connection : public SocketEvents {
public:
    struct Hooks {
        std::function<void(std::string_view bytes)> received; // bytes from the world, TLS undone
        std::function<void()> resetSession;          // the connection has ended
        std::function<void()> openConnectDialog;     // "connect to another MUD?" answered Yes
        std::function<void()> connectionStarted;     // a connect was accepted
        std::function<bool()> runEndsWithConnection; // started with an address: no "connect again?"
        // A secure connection's certificate: true to go on with it.
        std::function<bool(const PeerCertificate&)> trustCertificate;
        // True when a closed connection is to be said in the output, not in a box.
        std::function<bool()> closedInOutput;
    };

    Connection(Session& session, Socket& socket, CommandSender& sender, StatusLine& status,
               OutputSink& output, Prompts& prompts, Sound& sound, Hooks hooks);

    // The connect step once the dialog has its world: true when the connect
    // was accepted (the session is then on line). A secure connect speaks TLS
    // and never falls back to plain text; the encoding holds for the whole
    // connection.
    bool ConnectToWorld(const std::string& worldName, const std::string& host, const std::string& portText,
                        int worldIndex, bool secure = false, TextEncoding encoding = TextEncoding::Automatic,
                        ServerKind server = ServerKind::Muck);
    void DisconnectFromWorld();
    void Quit();

    void onSocketConnected() override;
    void onSocketData(std::string_view bytes) override;
    void onSocketSendComplete() override;
    void onSocketClosed() override;
    void onSocketCutOff() override;
    void onSocketError(const SocketError& error) override;
    void onSocketCertificate(const PeerCertificate& certificate) override;

    bool quitPending() const { return m_quitWaiting; }

private:
    void connectFailed(const SocketError& error, bool tellUser = true);
    void socketEnded();
    void connectionOver();
    void finishQuit();
    void askConnectAgain();

    Session& m_session;
    Socket& m_socket;
    CommandSender& m_sender;
    StatusLine& m_status;
    OutputSink& m_output;
    Prompts& m_prompts;
    Sound& m_sound;
    Hooks m_hooks;
    bool m_established = false;
    bool m_quitWaiting = false;
};

} // namespace corvane
