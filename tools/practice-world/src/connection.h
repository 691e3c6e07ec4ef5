#pragma once

#include "line_splitter.h"
#include "telnet_decoder.h"
#include "tls_stream.h"
#include "types.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace practice_world {

// One client socket: turns what arrives into typed lines and telnet commands,
// and holds what is owed to it until the socket takes it. Owns the descriptor;
// on the TLS port also the session on it, so the rest sees plaintext only.
class Connection {
public:
    // `closeNotify`: a TLS session ends with close_notify (false: it is cut off).
    Connection(ConnectionId id, int fd, std::size_t maxLineLength, ssl_ctx_st* tls = nullptr,
               bool closeNotify = true);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    ConnectionId id() const { return m_id; }
    int fd() const { return m_fd; }
    bool secure() const { return m_tls != nullptr; }

    // Plaintext off the socket, or onto it.
    Transfer readSome(char* buffer, std::size_t size);
    Transfer writeSome(std::string_view bytes);
    // poll() must wait for writable: the TLS handshake needs it to read on.
    bool readWaitsForWrite() const { return m_tls && m_tls->readWaitsForWrite(); }
    // Writing must wait for the client's side of the TLS handshake.
    bool writeWaitsForRead() const { return m_tls && m_tls->writeWaitsForRead(); }
    bool hasBufferedInput() const { return m_tls && m_tls->hasBuffered(); }
    std::string tlsFailure() const { return m_tls ? m_tls->failure() : std::string(); }

    void receive(std::string_view bytes, std::vector<std::string>& lines, std::vector<TelnetEvent>& events);

    // Everything queued from now on goes out compressed (MCCP2), each queued
    // piece flushed so the client can show it at once.
    void startCompression();
    bool compressing() const { return m_deflate != nullptr; }
    void queue(std::string_view bytes);
    std::string_view unsent() const { return std::string_view(m_output).substr(m_sent); }
    void markSent(std::size_t count);

    // No more input is taken (QUIT, or the client closed its side); the socket
    // closes once everything owed is written.
    void stopReading() { m_reading = false; }
    bool reading() const { return m_reading; }
    void closeWhenFlushed() { m_closing = true; }
    bool closing() const { return m_closing; }

    // The last time a byte went either way; the modern manner pings a quiet connection.
    std::chrono::steady_clock::time_point lastTraffic() const { return m_lastTraffic; }
    void noteTraffic(std::chrono::steady_clock::time_point now) { m_lastTraffic = now; }

    void startTerminalTypeProbe() { m_awaitingTerminalType = true; }
    // True for the first WILL TERMINAL-TYPE after the probe, which earns a SEND request.
    bool takeTerminalTypeAnswer() { return std::exchange(m_awaitingTerminalType, false); }

private:
    ConnectionId m_id;
    int m_fd;
    std::unique_ptr<TlsStream> m_tls;
    bool m_closeNotify = true;
    struct Deflater;
    std::unique_ptr<Deflater> m_deflate;
    TelnetDecoder m_telnet;
    LineSplitter m_lines;
    std::string m_output;
    std::size_t m_sent = 0;
    bool m_reading = true;
    bool m_closing = false;
    bool m_awaitingTerminalType = false;
    std::chrono::steady_clock::time_point m_lastTraffic = std::chrono::steady_clock::now();
};

} // namespace practice_world
