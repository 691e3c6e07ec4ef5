#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The real program on a free port, as the client's end-to-end tests run it.
class ServerProcess {
public:
    explicit ServerProcess(std::vector<std::string> arguments) {
        int out[2];
        if (::pipe(out) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            arguments.insert(arguments.begin(), {PRACTICE_WORLD_PROGRAM, "--port", "0"});
            std::vector<char*> argv;
            argv.reserve(arguments.size() + 1);
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_stdout = out[0];
        m_port = std::stoi(readFirstLine());
    }

    ~ServerProcess() {
        if (m_pid > 0 && !m_reaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_stdout >= 0)
            ::close(m_stdout);
    }

    int port() const { return m_port; }

    // The exit status after SIGTERM, or -1 if it did not stop within the time.
    int terminate(milliseconds within) {
        ::kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + within;
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_reaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(10000);
        }
        return -1;
    }

private:
    std::string readFirstLine() {
        std::string line;
        char c = 0;
        pollfd fd{m_stdout, POLLIN, 0};
        while (::poll(&fd, 1, 5000) > 0 && ::read(m_stdout, &c, 1) == 1 && c != '\n')
            line += c;
        return line.empty() ? "0" : line;
    }

    pid_t m_pid = -1;
    int m_stdout = -1;
    int m_port = 0;
    bool m_reaped = false;
};

// A bare socket client that reads up to an expected text.
class Client {
public:
    explicit Client(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(m_fd); }

    bool connected() const { return m_connected; }
    void send(const std::string& bytes) {
        ASSERT_EQ(::send(m_fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    }

    // Everything up to and including `needle`; empty if it did not come in time.
    std::string readUntil(const std::string& needle, milliseconds within = milliseconds(3000)) {
        const auto deadline = Clock::now() + within;
        for (;;) {
            if (const auto at = m_buffer.find(needle); at != std::string::npos) {
                std::string text = m_buffer.substr(0, at + needle.size());
                m_buffer.erase(0, at + needle.size());
                return text;
            }
            if (!fill(deadline))
                return {};
        }
    }

    // True when the server closes the connection in time; what came before is kept.
    bool closedWithin(milliseconds within) {
        const auto deadline = Clock::now() + within;
        while (fill(deadline)) {
        }
        return m_eof;
    }

    const std::string& buffer() const { return m_buffer; }

private:
    bool fill(Clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        pollfd fd{m_fd, POLLIN, 0};
        if (left <= 0 || ::poll(&fd, 1, static_cast<int>(left)) <= 0)
            return false;
        char chunk[4096];
        const ssize_t count = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (count <= 0) {
            m_eof = true;
            return false;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(count));
        return true;
    }

    int m_fd = -1;
    bool m_connected = false;
    bool m_eof = false;
    std::string m_buffer;
};

const std::string kConnectHint = "To connect to your character use 'connect <playername> <password>'\r\n";

TEST(LoopbackTest, FramedSessionEndsWithQuitAndTheServerStopsOnSigterm) {
    ServerProcess server({});
    ASSERT_GT(server.port(), 0);
    Client client(server.port());
    ASSERT_TRUE(client.connected());
    // No telnet negotiation: the MCP opening and the greeting are the first things sent.
    EXPECT_TRUE(client.readUntil(kConnectHint).starts_with("#$#mcp version: \"2.1\" to: \"2.1\"\r\n\r\n               ~"));

    // Split mid-line and CR LF ended, as a real client may send it.
    client.send("OUTPUTPREFIX <<\r\nOUTPUTSUFFIX >>\r\nconnect Tes");
    client.send("ter password\r\n");
    EXPECT_FALSE(client.readUntil("Contents:\r\n").empty());
    client.send("@set me=_arrive/m:&at {ref:here}\nnorth\n");
    EXPECT_FALSE(client.readUntil("<<\r\nProperty set.\r\n>>\r\n").empty());
    EXPECT_TRUE(client.readUntil(">>\r\n").ends_with("\r\nat #165\r\n>>\r\n"));

    client.send("QUIT\r\n");
    EXPECT_TRUE(client.closedWithin(milliseconds(3000)));
    EXPECT_EQ(client.buffer(), "\r\nCome back later!\r\n\r\n");
    EXPECT_EQ(server.terminate(milliseconds(2000)), 0);
}

TEST(LoopbackTest, LagDelaysOneClientWithoutHoldingUpAnother) {
    ServerProcess server({"--lag", "600"});
    Client slow(server.port());
    Client quick(server.port());
    slow.readUntil(kConnectHint);
    quick.readUntil(kConnectHint);

    const auto start = Clock::now();
    slow.send("OUTPUTPREFIX <<\nOUTPUTSUFFIX >>\nWHO\n");
    // A login is not a lagged reply, so it only waits if the whole server does.
    quick.send("connect Bob bob\n");
    EXPECT_FALSE(quick.readUntil("Contents:\r\n", milliseconds(450)).empty());
    EXPECT_LT(Clock::now() - start, milliseconds(450));
    EXPECT_TRUE(slow.readUntil(">>\r\n").starts_with("<<\r\nPlayer Name"));
    EXPECT_GE(Clock::now() - start, milliseconds(600));
}

TEST(LoopbackTest, TelnetProbeIsSentAndAnswersNeverReachCommands) {
    ServerProcess server({"--telnet-probe"});
    Client client(server.port());
    EXPECT_FALSE(client.readUntil(kConnectHint + "\xff\xfd\x18\xff\xfb\x01").empty());
    // WILL TERMINAL-TYPE in the middle of a word; the server then asks for the type.
    client.send("WH\xff\xfb\x18O\r\n");
    EXPECT_FALSE(client.readUntil("\xff\xfa\x18\x01\xff\xf0").empty());
    EXPECT_FALSE(client.readUntil("players are connected.").empty());
}

TEST(LoopbackTest, ModernServerAsksForTheWindowSizeFirstAndPingsAQuietConnection) {
    ServerProcess server({"--modern", "--nop-seconds", "1"});
    Client client(server.port());
    EXPECT_TRUE(client.readUntil(kConnectHint).starts_with("\xff\xfd\x1f\r\n#$#mcp version: \"2.1\" to: \"2.1\"\r\n"));
    // A refusal is taken quietly; the connection is then quiet for a second.
    client.send("\xff\xfc\x1f");
    const auto quietFrom = Clock::now();
    EXPECT_EQ(client.readUntil("\xff\xf1", milliseconds(3000)), "\xff\xf1");
    EXPECT_GE(Clock::now() - quietFrom, milliseconds(900));
    client.send("WHO\r\n");
    EXPECT_FALSE(client.readUntil("1 online (max connected is 1).\r\n").empty());
}

} // namespace
