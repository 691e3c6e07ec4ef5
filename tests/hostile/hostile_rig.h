#pragma once

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tls_identity.h"
#include "tls_stream.h"
#include <memory>

namespace corvane::testing {

using RigClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The real program with a settings file of its own and no display, started
// the way a telnet link starts it (an address; nothing is framed) or, to have
// it take the server's text as a logged-in session, with a stored world and
// character. Killed when the test is done.
class ClientProcess {
public:
    // `prepare` may put files into the program's folder (given with a
    // trailing slash) before it starts, and returns lines for its [Corvane]
    // section.
    template <typename Prepare>
    ClientProcess(std::uint16_t port, bool logIn, Prepare prepare, const std::string& worldLines = {}) {
        char folder[] = "/tmp/corvane-hostile-XXXXXX";
        if (::mkdtemp(folder) == nullptr) {
            return;
        }
        m_folder = folder;
        const std::string settings = m_folder + "/CORVANE.INI";
        const std::string main = prepare(m_folder + "/");
        // The address is stored, so the program connects at once instead of
        // asking whether to add it. Spell checking is off: a dictionary is a
        // fixed 8 MiB that no server can grow, and these cases measure what a
        // server can.
        std::ofstream(settings) << "[Corvane]\r\nSpellCheck=Off\r\n"
                                << main << "\r\n[Addresses]\r\nMUD 1=Hostile,127.0.0.1," << port
                                << "\r\n\r\n[Hostile]\r\nCharacter 1=Tester,B5;@<!=&\r\n"
                                << worldLines;
        const std::string address = "telnet://127.0.0.1:" + std::to_string(port);

        m_pid = ::fork();
        if (m_pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            if (logIn) {
                ::execl(CORVANE_PROGRAM, CORVANE_PROGRAM, "--settings", settings.c_str(), "--world",
                        "Hostile", static_cast<char*>(nullptr));
            } else {
                ::execl(CORVANE_PROGRAM, CORVANE_PROGRAM, "--settings", settings.c_str(), address.c_str(),
                        static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
    }
    ~ClientProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (!m_folder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_folder, ignored);
        }
    }
    ClientProcess(const ClientProcess&) = delete;
    ClientProcess& operator=(const ClientProcess&) = delete;

    bool alive() const { return m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0; }

    // The most resident memory the program has had so far (VmHWM), in KiB; 0 if unknown.
    long peakKib() const {
        std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.starts_with("VmHWM:")) {
                return std::strtol(line.c_str() + 6, nullptr, 10);
            }
        }
        return 0;
    }

private:
    std::string m_folder;
    pid_t m_pid = -1;
};

// The server side of one connection, owned by the test: it writes what the
// test asks for, as fast as the client takes it, and reads (or does not read)
// what the client answers.
class HostilePeer {
public:
    // Secure: the peer speaks TLS with a certificate made for the case, which
    // the program is told to trust (worldLines()).
    explicit HostilePeer(bool secure = false) {
        if (secure) {
            std::string error;
            m_identity = practice_world::TlsIdentity::generate(error);
        }
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(m_listener, 1) == 0 &&
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            m_port = ntohs(address.sin_port);
        }
    }
    ~HostilePeer() {
        m_tls.reset();
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        ::close(m_listener);
    }
    HostilePeer(const HostilePeer&) = delete;
    HostilePeer& operator=(const HostilePeer&) = delete;

    std::uint16_t port() const { return m_port; }

    // The world's settings that make the program connect securely and trust this peer.
    std::string worldLines() const {
        return m_identity == nullptr ? std::string()
                                     : "Secure=True\r\nCertSHA256=" + m_identity->fingerprint() + "\r\n";
    }

    bool accept(milliseconds within) {
        pollfd listening{m_listener, POLLIN, 0};
        if (::poll(&listening, 1, static_cast<int>(within.count())) != 1) {
            return false;
        }
        m_fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        const int on = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (m_fd >= 0 && m_identity != nullptr) {
            m_tls = std::make_unique<practice_world::TlsStream>(m_identity->context(), m_fd);
        }
        return m_fd >= 0;
    }

    // Writes `block` over and over until `total` bytes are out, the time is
    // up, the client has taken nothing for two seconds, or `enough` says
    // so. Returns the bytes written.
    template <typename Enough>
    std::size_t flood(std::string_view block, std::size_t total, bool readReplies,
                      std::chrono::microseconds pause, milliseconds within, Enough enough) {
        const auto deadline = RigClock::now() + within;
        auto lastProgress = RigClock::now();
        std::size_t sent = 0;
        std::size_t offset = 0;
        while (sent < total && RigClock::now() < deadline &&
               RigClock::now() - lastProgress < milliseconds(2000) && !enough()) {
            pollfd fd{m_fd, static_cast<short>(POLLOUT | (readReplies ? POLLIN : 0)), 0};
            if (::poll(&fd, 1, 100) <= 0) {
                continue;
            }
            if (fd.revents & POLLIN) {
                drain();
            }
            if (fd.revents & POLLOUT) {
                const std::size_t size = std::min(block.size() - offset, total - sent);
                const ssize_t count = sendSome(block.data() + offset, size);
                if (count > 0) {
                    sent += static_cast<std::size_t>(count);
                    offset = (offset + static_cast<std::size_t>(count)) % block.size();
                    lastProgress = RigClock::now();
                    if (pause.count() > 0) {
                        std::this_thread::sleep_for(pause);
                    }
                } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
                    break;
                }
            }
        }
        return sent;
    }

    // Sends IAC DO 200 and waits for the client's IAC WONT 200: it has then
    // read and processed everything written before. A NUL goes first, to end
    // a lone IAC the flood may have stopped after without touching the text.
    bool settle(milliseconds within) {
        const std::string probe = std::string(1, '\0') + std::string(kProbe);
        const std::size_t answers = m_answers;
        const auto deadline = RigClock::now() + within;
        std::size_t written = 0;
        while (RigClock::now() < deadline) {
            if (written < probe.size()) {
                const ssize_t count = sendSome(probe.data() + written, probe.size() - written);
                written += count > 0 ? static_cast<std::size_t>(count) : 0;
            }
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, 50) > 0 && !drain()) {
                return false;
            }
            if (m_answers > answers) {
                return true;
            }
        }
        return false;
    }

private:
    // Reads what the client sent, counting probe answers as they pass.
    bool drain() {
        char buffer[65536];
        for (;;) {
            const ssize_t count = receiveSome(buffer, sizeof buffer);
            if (count == 0) {
                return false;
            }
            if (count < 0) {
                return errno == EAGAIN || errno == EINTR;
            }
            // Two bytes are kept: an answer may be split between reads.
            m_tail.append(buffer, static_cast<std::size_t>(count));
            for (std::size_t at = m_tail.find(kAnswer); at != std::string::npos;
                 at = m_tail.find(kAnswer, at + 1)) {
                ++m_answers;
            }
            m_tail.erase(0, m_tail.size() - std::min<std::size_t>(m_tail.size(), 2));
        }
    }

    // send() and recv() with their results, through TLS when the peer is secure.
    ssize_t sendSome(const char* data, std::size_t size) {
        if (m_tls == nullptr) {
            return ::send(m_fd, data, size, MSG_NOSIGNAL);
        }
        return tlsResult(m_tls->write(std::string_view(data, size)));
    }
    ssize_t receiveSome(char* buffer, std::size_t size) {
        if (m_tls == nullptr) {
            return ::recv(m_fd, buffer, size, 0);
        }
        return tlsResult(m_tls->read(buffer, size));
    }
    static ssize_t tlsResult(practice_world::Transfer transfer) {
        using Result = practice_world::Transfer::Result;
        switch (transfer.result) {
        case Result::Moved:
            return static_cast<ssize_t>(transfer.count);
        case Result::Again:
            errno = EAGAIN;
            return -1;
        case Result::Closed:
            return 0;
        case Result::Broken:
            break;
        }
        errno = EPIPE;
        return -1;
    }

    static constexpr std::string_view kProbe = "\xff\xfd\xc8";
    static constexpr std::string_view kAnswer = "\xff\xfc\xc8";

    std::unique_ptr<practice_world::TlsIdentity> m_identity;
    std::unique_ptr<practice_world::TlsStream> m_tls;
    int m_listener = -1;
    int m_fd = -1;
    std::uint16_t m_port = 0;
    std::string m_tail;
    std::size_t m_answers = 0;
};

} // namespace corvane::testing
