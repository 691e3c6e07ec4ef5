// The whole incoming path of the client on fakes: telnet, colour codes,
// decoding, line ends, marker lines, player listings, the log and five
// triggers, and on a MUD GMCP and MSDP. The same bytes read at once and read
// in pieces cut where the fuzzer chooses must come out the same, and every
// outcome must keep the promises the windows rely on: valid UTF-8, no
// control characters, no line past the cap, a bounded output window.

#include "core/text_codec.h"
#include "fakes/client_harness.h"
#include "fakes/fake_player_list.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace corvane;
using namespace corvane::testing;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct RecordingLog : LogWriter {
    void writeLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

struct Setup {
    bool tagMode = false;
    int listMode = 0;
    bool lagMeterOn = false;
    int pendingReplies = 0;
    // The world's MXP box is ticked: a world's WILL MXP turns its markup on.
    bool mxp = false;
    // A MUD, which agrees to GMCP and MSDP.
    bool mud = false;
};

struct TriggerWord {
    const char* text;
    bool popUp;
    const char* sound;
};

// Words the dictionary (incoming_fuzz.dict) also holds, so inputs reach them.
constexpr std::array<TriggerWord, 5> kTriggers = {{
    {"dragon", true, ""},
    {"caf\xC3\xA9", false, "/sounds/cafe.wav"},
    {"!", false, ""},
    {"who", true, "/sounds/who.wav"},
    {"\xE2\x82\xAC", true, "/sounds/euro.wav"},
}};

// One client, told the same things before the bytes arrive.
struct Run {
    ClientHarness h;
    FakePlayerList list;
    RecordingLog log;
    std::vector<std::pair<std::string, std::string>> popUps;

    explicit Run(const Setup& setup) {
        h.connect("Fuzz");
        Session& session = h.client.session();
        session.TagMode = setup.tagMode;
        session.ListMode = setup.listMode;
        session.LagMeterOn = setup.lagMeterOn;
        session.PendingReplies = setup.pendingReplies;
        session.CharacterName = "Tester";
        session.LogOpen = true;
        if (setup.mud) {
            session.Server = ServerKind::Mud;
            for (const unsigned char option : {telnet_option::Gmcp, telnet_option::Msdp}) {
                h.client.lineProcessor().telnet().setAccepted(option, TelnetFilter::Side::Remote, true);
            }
        }
        h.client.lineClassifier().setPlayerList(&list);
        LineProcessor& processor = h.client.lineProcessor();
        processor.setLogWriter(&log);
        processor.setMxpAccepted(setup.mxp);
        processor.setHooks(
            {[this](const std::string& title, const std::string& text) { popUps.emplace_back(title, text); },
             {},
             {},
             {}});
        for (std::size_t i = 0; i < kTriggers.size(); ++i) {
            TriggerDef& trigger = h.client.triggers().ActiveTriggers[i];
            trigger.text = kTriggers[i].text;
            trigger.popUp = kTriggers[i].popUp;
            trigger.soundFile = kTriggers[i].sound;
            trigger.fontName = "Serif";
            trigger.fontSize = 10;
            trigger.colour = static_cast<std::uint32_t>(0x0000FF << i);
        }
        h.client.triggers().prepare();
        processor.triggersChanged();
        h.clearOutput();
        h.socket.sent.clear();
        h.window.statusHistory.clear();
    }

    void receive(const std::string& bytes, const std::vector<std::size_t>& cuts) {
        std::size_t at = 0;
        // A closed socket (a corrupt compressed stream closes it) reads nothing more.
        for (std::size_t cut : cuts) {
            if (h.socket.state() == Socket::State::Closed) {
                return;
            }
            h.socket.receive(std::string_view(bytes).substr(at, cut - at));
            at = cut;
        }
        if (h.socket.state() != Socket::State::Closed) {
            h.socket.receive(std::string_view(bytes).substr(at));
        }
    }

    std::string joinedLog() const {
        std::string all;
        for (const std::string& line : log.lines) {
            all += line;
        }
        return all;
    }

    // What holds whatever the reads: the text is clean and bounded.
    void checkPromises() {
        for (const std::string& line : log.lines) {
            require(IsValidUtf8(line));
            require(Utf8Length(line) <= LineProcessor::kMaxLineCharacters);
            require(std::none_of(line.begin(), line.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 32; }));
        }
        for (const auto& popUp : popUps) {
            require(IsValidUtf8(popUp.second));
            require(Utf8Length(popUp.second) <= LineProcessor::kPopUpCharacters + 3);
        }
        require(IsValidUtf8(h.window.output));
        require(h.client.outputBuffer().length() <= OutputBuffer::kMaxLength);
        std::string kept = h.client.outputBuffer().text();
        std::string shown;
        for (std::size_t i = 0; i < kept.size(); ++i) {
            if (kept[i] == '\r' && i + 1 < kept.size() && kept[i + 1] == '\n') {
                continue;
            }
            shown.push_back(kept[i]);
        }
        // The window shows exactly what the buffer keeps.
        require(shown == h.window.output);
    }
};

// Outcomes that never depend on where the reads were cut.
void requireSameStream(Run& a, Run& b) {
    require(a.joinedLog() == b.joinedLog());
    require(a.h.socket.allSent() == b.h.socket.allSent());
    require(a.h.sound.beeps == b.h.sound.beeps);
    require(a.list.lists == b.list.lists);
    require(a.list.summary == b.list.summary);
    require(a.h.window.statusHistory == b.h.window.statusHistory);
    const Session& sa = a.h.client.session();
    const Session& sb = b.h.client.session();
    require(sa.ListMode == sb.ListMode);
    require(sa.PendingReplies == sb.PendingReplies);
    require(sa.RoomRef == sb.RoomRef && sa.RoomName == sb.RoomName);
    require(a.h.client.lineProcessor().receivedUtf8() == b.h.client.lineProcessor().receivedUtf8());
}

// Once logged in an unfinished line waits for its end, so every line is seen
// whole: triggers, pop-ups, the log and the window agree too.
void requireSameLines(Run& a, Run& b) {
    require(a.log.lines == b.log.lines);
    require(a.popUps == b.popUps);
    require(a.h.sound.played == b.h.sound.played);
    require(a.h.window.output == b.h.window.output);
    require(a.h.client.outputBuffer().text() == b.h.client.outputBuffer().text());
    require(a.h.client.lineProcessor().txtReceived() == b.h.client.lineProcessor().txtReceived());
    require(a.h.window.captionText == b.h.window.captionText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    Setup setup;
    const auto flags = provider.ConsumeIntegral<std::uint8_t>();
    setup.tagMode = (flags & 1U) != 0;
    setup.listMode = (flags >> 1U) % 3;
    setup.lagMeterOn = (flags & 8U) != 0;
    setup.pendingReplies = (flags >> 4U) & 3U;
    setup.mxp = (flags & 0x40U) != 0;
    setup.mud = (flags & 0x80U) != 0;
    std::vector<std::size_t> cuts(provider.ConsumeIntegralInRange<std::size_t>(0, 24));
    for (std::size_t& cut : cuts) {
        cut = provider.ConsumeIntegral<std::uint16_t>();
    }
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    for (std::size_t& cut : cuts) {
        cut %= bytes.size() + 1;
    }
    std::sort(cuts.begin(), cuts.end());

    Run whole(setup);
    whole.receive(bytes, {});
    Run pieces(setup);
    pieces.receive(bytes, cuts);

    whole.checkPromises();
    pieces.checkPromises();
    // On a MUD the start of a read ends a prompt shown alone, so where the
    // reads fall may change the lines; elsewhere it never may.
    if (setup.mud) {
        return 0;
    }
    requireSameStream(whole, pieces);
    if (setup.tagMode) {
        requireSameLines(whole, pieces);
    }
    return 0;
}
