#pragma once

namespace practice_world {

// Turns SIGINT and SIGTERM into a readable descriptor, so a poll loop sees a
// stop request even if it arrives just before poll() is entered. There can be
// only one, since signal handlers are process-wide.
class SignalPipe {
public:
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    bool ok() const { return m_readFd >= 0; }
    int readFd() const { return m_readFd; }

private:
    int m_readFd = -1;
    int m_writeFd = -1;
};

} // namespace practice_world
