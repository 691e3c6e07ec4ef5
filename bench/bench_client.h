#pragma once

// The whole client on fakes for the benches, connected, its output thrown
// away, so a bench times what the client does and not what a window shows.
#include "fakes/client_harness.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::bench {

// An output window that takes every batch and shows nothing.
class NullOutput : public testing::FakeMainWindow {
public:
    void trimFront(int, int) override {}
    void clearText() override {}
    void appendText(std::string_view, const std::vector<OutputSpan>&, const std::vector<TriggerLook>&) override {}
    void appendLineBreak() override {}
    void endUpdate() override {}
    void setLabelText(int, const std::string&) override {}
};

struct BenchClient {
    NullOutput window;
    testing::FakeSocket socket;
    testing::FakePrompts prompts;
    testing::FakeSound sound;
    testing::FakeClock clock;
    testing::FakeLauncher launcher;
    testing::FakeClipboard clipboard;
    testing::FakeProgram program;
    testing::FakeViewFactory views;
    testing::FakeChoosers choosers;
    testing::FakePictureReader pictures;
    Platform platform{socket, prompts, sound, clock, clock, launcher, clipboard, program, views, choosers, pictures};
    Client client{platform, MainViews{window, window, window, window, window, window, window}, StartOptions{}};

    explicit BenchClient(bool tagMode = true) {
        client.onOutputGeometryChanged();
        client.session().TagMode = tagMode;
        client.session().Connected = true;
        client.session().WorldName = "Practice";
    }

    // The bytes as the world sends them, `chunk` bytes a read.
    void receive(const std::string& bytes, std::size_t chunk = std::string::npos) {
        const std::size_t step = std::min(chunk, bytes.size());
        for (std::size_t at = 0; at < bytes.size(); at += step) {
            client.receivePath().received(std::string_view(bytes).substr(at, step));
        }
    }
};

} // namespace corvane::bench
