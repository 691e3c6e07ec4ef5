#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct ssl_st;
struct ssl_ctx_st;

namespace practice_world {

// What one read or write on a client's socket came to.
struct Transfer {
    enum class Result { Moved, Again, Closed, Broken };
    Result result = Result::Again;
    std::size_t count = 0;
};

// The TLS session of one client on the TLS port, straight on its
// non-blocking socket. Reads and writes carry plaintext; the handshake runs
// inside them.
class TlsStream {
public:
    TlsStream(ssl_ctx_st* context, int fd);
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    Transfer read(char* buffer, std::size_t size);
    Transfer write(std::string_view bytes);
    // A read needs the socket writable before it can go on (handshake).
    bool readWaitsForWrite() const { return m_readWaitsForWrite; }
    // A write needs the client's next handshake message first.
    bool writeWaitsForRead() const { return m_writeWaitsForRead; }
    // Plaintext already decrypted that poll() cannot see.
    bool hasBuffered() const;
    // Tells the client the session ends (close_notify), once, without waiting for its answer.
    void closeNotify();
    const std::string& failure() const { return m_failure; }

private:
    Transfer settle(int result);

    ssl_st* m_ssl = nullptr;
    bool m_readWaitsForWrite = false;
    bool m_writeWaitsForRead = false;
    std::string m_failure;
};

} // namespace practice_world
