#pragma once

#include "platform/socket.h"

#include <string>
#include <string_view>

struct ssl_st;
struct bio_st;
struct x509_store_ctx_st;

namespace corvane {

class TlsClientContext;

// The client side of one TLS session, held in memory: ciphertext from the
// network goes in, ciphertext for the network comes out, and plaintext flows
// both ways once the server's certificate has been accepted. It owns no
// socket, so every case can be played without one.
class TlsChannel {
public:
    enum class State {
        Handshaking,
        // The handshake is done; certificate() says what the server showed.
        // Nothing is sent or read until open().
        AwaitingTrust,
        Open,
        // The server ended the session (close_notify).
        Closed,
        // The network stream ended while the session was open, with no
        // close_notify: what the server sent last may be missing.
        CutOff,
        Failed,
    };

    // Starts the handshake with host: the name sent for server name
    // indication and the name the certificate must carry.
    TlsChannel(const std::string& host, const TlsClientContext& context);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    State state() const { return m_state; }
    // Ciphertext from the network. While open, the plaintext it carries is
    // appended to plain; before that it waits inside the channel.
    void receive(std::string_view ciphertext, std::string& plain);
    const PeerCertificate& certificate() const { return m_certificate; }
    // The certificate is accepted. Plaintext that arrived with the end of the
    // handshake comes out of the next receive(), which may be given nothing.
    void open();
    // Plaintext for the server; ignored unless open.
    void send(std::string_view plain);
    // Appends the ciphertext waiting for the network to out.
    void takeOutgoing(std::string& out);
    // Tells the server the session ends (close_notify).
    void shutdown();
    // The network stream has ended: an open session that the server did not
    // close becomes CutOff.
    void streamEnded();
    // Why the channel failed, as a sentence for the user.
    const std::string& failure() const { return m_failure; }
    // "TLS 1.3" once the handshake is done.
    std::string protocol() const;

private:
    static int verifyCertificate(int preverified, x509_store_ctx_st* store);
    void handshake();
    void readRecords(std::string& plain);
    void describeCertificate();
    void fail(int sslError);

    ssl_st* m_ssl = nullptr;
    bio_st* m_in = nullptr;
    bio_st* m_out = nullptr;
    State m_state = State::Handshaking;
    PeerCertificate m_certificate;
    // The first problem the checks found that the user may overrule, and
    // one that ends the handshake whatever the user would say.
    int m_trustProblem = 0;
    int m_fatalProblem = 0;
    std::string m_failure;
};

} // namespace corvane
