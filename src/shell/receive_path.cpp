#include "shell/receive_path.h"

#include "core/line_processor.h"
#include "core/session.h"
#include "core/telnet_filter.h"

#include <algorithm>

namespace corvane {

// The received-byte path, top to bottom:
//
//   socket          TLS is undone inside the socket (tls/TlsChannel), so the
//                   path starts at the bytes as the world sent them
//   m_held          held while the output is paused (core/held_text)
//   m_inflate       MCCP2, from IAC SB 86 IAC SE to the end of the stream
//                   (wire/inflate_stage)
//   m_text          the text stage (core/line_processor*), per byte, in order:
//                     telnet, its replies and subnegotiations (GMCP, MSDP,
//                     MSSP) and escape codes   line_processor.cpp
//                     text decoding and MXP    line_processor_text.cpp
//                     lines, then per line     line_processor_lines.cpp:
//                       out-of-band lines (MCP), answers to Corvane's own
//                       commands, the classifier, the rules (shown-line
//                       filter), then output, log and history
//
// A new byte stage is one more line in the list in the constructor below, at
// its place in the order: one that counts the bytes between TLS and telnet
// goes between m_inflate and m_text to count them inflated, or before m_held
// to count them as they came over the wire.
ReceivePath::ReceivePath(Session& session, Socket& socket, LineProcessor& text, Hooks hooks)
    : m_session(session)
    , m_text(text)
    , m_hooks(std::move(hooks))
    , m_held(session, socket, [this](std::string_view bytes) {
        if (m_hooks.textHeld) {
            m_hooks.textHeld(bytes);
        }
    })
    , m_stages{
          &m_held,
          &m_inflate,
          &m_text,
      } {
    link();
    m_text.setCompressionStart([this] { m_inflate.start(); });
    // Compression costs nothing to agree to and cuts a MUD's traffic by most of it.
    m_text.telnet().setAccepted(telnet_option::Mccp2, TelnetFilter::Side::Remote, true);
}

void ReceivePath::setLineStages(const LineStages& stages) {
    m_text.setLineStage(stages.outOfBand);
    m_text.setOwnAnswers(stages.ownAnswers);
    m_text.setLineFilter(stages.rules);
    m_text.setLogWriter(stages.log);
}

void ReceivePath::link() {
    for (std::size_t i = 0; i < m_stages.size(); ++i) {
        m_stages[i]->setNext(i + 1 < m_stages.size() ? m_stages[i + 1] : nullptr);
    }
}

void ReceivePath::insertBefore(ByteStage& stage, const ByteStage& before) {
    const auto at = std::find(m_stages.begin(), m_stages.end(), &before);
    m_stages.insert(at, &stage);
    link();
}

const ByteStage& ReceivePath::textStage() const {
    return m_text;
}

void ReceivePath::received(std::string_view bytes) {
    m_stages.front()->take(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (!m_session.OutputPaused) {
        flow();
    }
}

void ReceivePath::outputResumed() {
    if (m_held.empty()) {
        return;
    }
    flow();
    m_held.resumed();
}

void ReceivePath::flow() {
    // Handlers reached from here never spin the event loop, but if one ever
    // does, text that arrives meanwhile waits in the held queue for this loop.
    if (m_flowing) {
        return;
    }
    m_flowing = true;
    m_text.readingStarts();
    while (!m_session.OutputPaused && !m_inflate.corrupt() && !m_held.empty()) {
        m_text.readStarts();
        m_held.passRead();
        m_text.readEnded();
    }
    m_text.readingEnded();
    m_flowing = false;
    if (m_inflate.corrupt() && !m_reportedCorrupt) {
        m_reportedCorrupt = true;
        m_held.clear();
        if (m_hooks.streamCorrupt) {
            m_hooks.streamCorrupt();
        }
    }
}

void ReceivePath::reset() {
    m_held.clear();
    m_inflate.reset();
    m_reportedCorrupt = false;
    m_text.reset();
}

} // namespace corvane
