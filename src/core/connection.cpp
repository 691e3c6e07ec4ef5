#include "core/connection.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/number_text.h"
#include "core/output_sink.h"
#include "core/session.h"
#include "core/status_line.h"
#include "platform/prompts.h"
#include "platform/sound.h"

#include <cmath>

namespace corvane {

namespace {
const std::string kNewLine(NewLine);
const std::string kAppTitle = "Corvane";

// Socket descriptions are phrases ("Connection refused"); those of a secure
// session are already sentences and keep their own stop.
std::string sentence(const std::string& description) {
    const char last = description.empty() ? ' ' : description.back();
    return last == '.' || last == '?' || last == '!' ? description : description + ".";
}
} // namespace

Connection::Connection(Session& session, Socket& socket, CommandSender& sender, StatusLine& status,
                       OutputSink& output, Prompts& prompts, Sound& sound, Hooks hooks)
    : m_session(session)
    , m_socket(socket)
    , m_sender(sender)
    , m_status(status)
    , m_output(output)
    , m_prompts(prompts)
    , m_sound(sound)
    , m_hooks(std::move(hooks)) {
    m_socket.setEvents(this);
}

bool Connection::ConnectToWorld(const std::string& worldName, const std::string& host,
                                const std::string& portText, int worldIndex, bool secure,
                                TextEncoding encoding, ServerKind server) {
    m_session.WorldName = worldName;
    m_output.ShowOutput(kNewLine + "Connecting to " + host + "..." + kNewLine);
    if (m_socket.state() != Socket::State::Closed) {
        m_socket.close();
        socketEnded();
    }
    const double port = NumericValue(portText);
    const int portNumber = (port >= 0 && port <= 65535) ? static_cast<int>(std::lround(port)) : 0;
    m_established = false;
    m_session.Encoding = encoding;
    m_session.Server = server;
    if (const auto error = m_socket.connect(host, portNumber, secure)) {
        m_session.Connected = false;
        m_prompts.message(error->description, "Connection Failed " + std::to_string(error->number),
                          PromptIcon::Exclamation);
        m_status.SetStatus(status::OffLine);
        return false;
    }
    if (m_hooks.connectionStarted) {
        m_hooks.connectionStarted();
    }
    m_session.Connected = true;
    m_session.SendDone = true;
    m_session.WorldIndex = worldIndex;
    m_status.SetStatus(status::OnLine);
    return true;
}

void Connection::onSocketConnected() {
    // Said once the line is really there: a refused port never gets this far.
    if (!m_established) {
        m_output.ShowOutput("Connected, waiting for a response from " + m_session.WorldName + "..." + kNewLine);
    }
    m_established = true;
    m_status.SetSecure(m_socket.secureProtocol());
}

void Connection::onSocketCertificate(const PeerCertificate& certificate) {
    const bool trusted = m_hooks.trustCertificate && m_hooks.trustCertificate(certificate);
    // The question may have run while the connection was closed some other way.
    if (m_socket.state() != Socket::State::Connecting || !m_session.Connected) {
        return;
    }
    if (trusted) {
        m_socket.acceptCertificate();
        return;
    }
    // The user has just said no; a second box would only repeat it.
    connectFailed({socket_errors::CertificateNotTrusted,
                   "The certificate of " + certificate.host + " was not trusted; nothing was sent"},
                  false);
}

void Connection::socketEnded() {
    m_sender.connectionEnded();
    m_status.SetSecure({});
}

void Connection::onSocketData(std::string_view bytes) {
    m_established = true;
    if (m_hooks.received) {
        m_hooks.received(bytes);
    }
}

void Connection::onSocketSendComplete() {
    m_sender.onSendComplete();
}

void Connection::onSocketCutOff() {
    m_output.ShowOutput(kNewLine + "*** The secure connection was cut off; the last lines may be missing." + kNewLine);
}

void Connection::onSocketClosed() {
    m_socket.close();
    socketEnded();
    m_session.Connected = false;
    m_status.SetStatus(status::OffLine);
    // The box comes before the reset: a run started with an address ends in
    // the reset, and the box must still be readable.
    if (!m_session.DisconnectRequested) {
        m_sound.beep();
        if (m_hooks.closedInOutput && m_hooks.closedInOutput()) {
            m_output.ShowOutput(kNewLine + "*** Connection closed by the world." + kNewLine);
        } else {
            m_prompts.messageUnasked("Connection Closed", kAppTitle, PromptIcon::None);
        }
    }
    if (m_hooks.resetSession) {
        m_hooks.resetSession();
    }
    connectionOver();
}

void Connection::connectFailed(const SocketError& error, bool tellUser) {
    // The connect was accepted but never got through (refused, no such host,
    // timed out, no secure session): report it as the failed connect it is,
    // not as a lost line.
    m_socket.close();
    socketEnded();
    m_output.ShowOutput(kNewLine + "*** " + sentence(error.description) + kNewLine);
    m_session.Connected = false;
    m_status.SetStatus(status::OffLine);
    if (!m_session.DisconnectRequested && tellUser) {
        m_prompts.message(error.description, "Connection Failed " + std::to_string(error.number),
                          PromptIcon::Exclamation);
    }
    if (m_hooks.resetSession) {
        m_hooks.resetSession();
    }
    connectionOver();
}

void Connection::onSocketError(const SocketError& error) {
    if (error.number == 0) {
        m_prompts.message("Socket closed.", kAppTitle, PromptIcon::None);
        return;
    }
    if (error.number == socket_errors::WouldBlock) {
        m_session.SendDone = false;
        return;
    }
    if (m_session.Connected && !m_established) {
        connectFailed(error);
        return;
    }
    if (error.number == socket_errors::ConnectionReset) {
        m_output.ShowOutput(kNewLine + "*** Disconnected from " + m_session.WorldName + kNewLine);
    } else {
        m_output.ShowOutput(kNewLine + "*** " + sentence(error.description) + kNewLine);
    }
    // The line above says it already when the player chose lines over boxes.
    if (!m_session.DisconnectRequested && !(m_hooks.closedInOutput && m_hooks.closedInOutput())) {
        m_sound.beep();
        m_prompts.message("Connection Lost", kAppTitle, PromptIcon::None);
    }
    if (m_session.Connected) {
        DisconnectFromWorld();
    } else {
        connectionOver();
    }
}

void Connection::DisconnectFromWorld() {
    m_session.DisconnectRequested = true;
    m_socket.close();
    m_socket.clearRemoteHost();
    socketEnded();
    if (m_session.Connected) {
        if (m_hooks.resetSession) {
            m_hooks.resetSession();
        }
        m_session.Connected = false;
        m_status.SetStatus(status::OffLine);
    } else {
        m_prompts.message("Not connected.", "ERROR", PromptIcon::Exclamation);
    }
    m_session.DisconnectRequested = false;
    connectionOver();
}

void Connection::Quit() {
    m_status.SetStatus(status::Disconnecting);
    if (m_session.Connected) {
        m_session.DisconnectRequested = true;
        m_quitWaiting = true;
        // Only a MUCK has the arrival hook to take away; a MUD's quit is in lower case.
        if (m_session.Server == ServerKind::Muck) {
            m_sender.removeArrivalHook();
        }
        m_sender.SendCommand((m_session.Server == ServerKind::Mud ? "quit" : "QUIT") + kNewLine);
        if (m_quitWaiting && m_socket.state() != Socket::State::Connected &&
            m_socket.state() != Socket::State::Connecting) {
            finishQuit();
        }
        return;
    }
    if (m_hooks.resetSession) {
        m_hooks.resetSession();
    }
    m_session.Connected = false;
    m_status.SetStatus(status::OffLine);
    askConnectAgain();
}

void Connection::connectionOver() {
    if (m_quitWaiting) {
        finishQuit();
    }
}

void Connection::finishQuit() {
    m_quitWaiting = false;
    m_session.DisconnectRequested = false;
    askConnectAgain();
}

void Connection::askConnectAgain() {
    if (m_hooks.runEndsWithConnection && m_hooks.runEndsWithConnection()) {
        // The run was for that one connection; the reset has ended the program.
        return;
    }
    const PromptAnswer answer = m_prompts.ask(
        "Connection closed." + kNewLine + "\nWould you like to connect to another MUD/MUCK?",
        "CORVane " + std::string(VersionText), PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::Yes);
    if (answer == PromptAnswer::Yes) {
        if (m_hooks.openConnectDialog) {
            m_hooks.openConnectDialog();
        }
    } else {
        m_status.SetStatus(status::OffLine);
    }
}

} // namespace corvane
