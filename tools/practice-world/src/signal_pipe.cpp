#include "signal_pipe.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace practice_world {

namespace {

volatile std::sig_atomic_t g_writeFd = -1;

extern "C" void onStopSignal(int) {
    const int savedErrno = errno;
    const char byte = 's';
    // A full pipe already holds a stop request; losing this byte is harmless.
    [[maybe_unused]] const auto written = ::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalPipe::SignalPipe() {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    m_readFd = fds[0];
    m_writeFd = fds[1];
    g_writeFd = m_writeFd;

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SignalPipe::~SignalPipe() {
    if (m_readFd < 0)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    g_writeFd = -1;
    ::close(m_readFd);
    ::close(m_writeFd);
}

} // namespace practice_world
