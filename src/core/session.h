#pragma once

#include "core/server_kind.h"
#include "core/text_encoding.h"

#include <cstdint>
#include <string>

namespace corvane {

// The shared state of one run: which world, character and room, the capture and
// lag counters, the open files. Presenters receive it by reference; it has no
// behaviour of its own so every rule about it stays with the code that owns it.
struct Session {
    bool Connected = false;
    bool SendDone = true;
    bool OutputPaused = false;
    bool TagMode = false;
    int ListMode = 0;
    int PendingReplies = 0;
    int LagSeconds = 0;
    bool LagMeterOn = false;
    // A reply framed with "[on]" has arrived on this connection. A world without
    // output framing never sends one, so until then nothing counts as lag.
    bool OutputFramed = false;
    // A prompt ended by telnet's go-ahead or end-of-record has arrived, on a
    // world without frames: each prompt then ends a reply for the lag meter.
    bool PromptsEndReplies = false;
    // On such a world the oldest waiting command's answer has begun (its
    // first line came) and the prompt that closes it ends no other wait.
    bool ReplyBegun = false;
    std::string WorldName;
    // The world's choice of text form, fixed when the connection starts.
    TextEncoding Encoding = TextEncoding::Automatic;
    // The world's "Server=", fixed when the connection starts.
    ServerKind Server = ServerKind::Muck;
    int WorldIndex = -1;
    std::string CharacterName;
    std::int32_t RoomRef = 0;
    std::string RoomName;
    bool LogOpen = false;
    int RecordingMacro = -1;
    bool SendingFile = false;
    // True while the client itself closes the connection: no beep, no box.
    bool DisconnectRequested = false;
};

} // namespace corvane
