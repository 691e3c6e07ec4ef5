#pragma once

#include "core/held_text.h"
#include "wire/byte_stage.h"
#include "wire/inflate_stage.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct Session;
class Socket;
class LineProcessor;
class LineStage;
class LogWriter;
class OwnCommandAnswers;
class ShownLineFilter;

// The path received bytes take from the socket to the screen, as one list of
// stages in receive_path.cpp. Each byte stage takes a read as a parameter and
// hands what it makes of it to the next; none reads another's fields.
class ReceivePath {
public:
    struct Hooks {
        // Bytes were held because the output is paused.
        std::function<void(std::string_view bytes)> textHeld;
        // The world's compressed stream could not be inflated: nothing more
        // can be read from this connection.
        std::function<void()> streamCorrupt;
    };
    // What whole lines meet inside the text stage, besides the classifier,
    // the output and its history, which it was made with.
    struct LineStages {
        LineStage* outOfBand = nullptr;
        OwnCommandAnswers* ownAnswers = nullptr;
        ShownLineFilter* rules = nullptr;
        LogWriter* log = nullptr;
    };

    ReceivePath(Session& session, Socket& socket, LineProcessor& text, Hooks hooks);
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    void setLineStages(const LineStages& stages);
    // The socket's bytes as the world sent them: a secure socket has undone
    // TLS already.
    void received(std::string_view bytes);
    // The output goes on after a pause: what waited is read, and the socket
    // reads again.
    void outputResumed();
    // A new connection: nothing of the last one is left half read.
    void reset();
    // Held while the output is paused.
    std::size_t heldLines() const { return m_held.lines(); }
    const std::string& heldText() const { return m_held.text(); }
    // Puts a stage in just before `before`, for tools and tests; the path's
    // own stages are in its list.
    void insertBefore(ByteStage& stage, const ByteStage& before);
    // The last stage, where telnet begins.
    const ByteStage& textStage() const;

private:
    void link();
    // Hands on what waits, a read at a time, while the output runs.
    void flow();

    Session& m_session;
    LineProcessor& m_text;
    Hooks m_hooks;
    HeldText m_held;
    InflateStage m_inflate;
    std::vector<ByteStage*> m_stages;
    bool m_flowing = false;
    bool m_reportedCorrupt = false;
};

} // namespace corvane
