#pragma once

#include "platform/choosers.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/program.h"
#include "platform/prompts.h"
#include "platform/socket.h"
#include "platform/sound.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace corvane::testing {

// Records every byte handed to it; the test plays the server's side by
// calling the events itself.
class FakeSocket : public Socket {
public:
    void setEvents(SocketEvents* handler) override { events = handler; }
    std::optional<SocketError> connect(const std::string& host, int port, bool secure) override {
        connectCalls.push_back((secure ? "tls:" : "") + host + ":" + std::to_string(port));
        secureConnect = secure;
        if (connectError) {
            return connectError;
        }
        socketState = State::Connecting;
        remote = host;
        return std::nullopt;
    }
    SendResult send(std::string_view bytes) override {
        if (sendError) {
            return {SendStatus::Failed, *sendError};
        }
        sent.emplace_back(bytes);
        return {slowSends ? SendStatus::Pending : SendStatus::Sent, {}};
    }
    void close() override {
        ++closeCalls;
        socketState = State::Closed;
    }
    void holdReading(bool hold) override { readingHeld = hold; }
    State state() const override { return socketState; }
    std::string remoteHost() const override { return remote; }
    void clearRemoteHost() override { remote.clear(); }
    void acceptCertificate() override {
        ++certificatesAccepted;
        accept();
    }
    std::string secureProtocol() const override {
        return secureConnect && socketState == State::Connected ? "TLS 1.3" : std::string();
    }

    // Server-side helpers.
    void accept() {
        socketState = State::Connected;
        events->onSocketConnected();
    }
    void receive(std::string_view bytes) { events->onSocketData(bytes); }
    // The secure handshake is done and the server showed this certificate.
    void presentCertificate(const PeerCertificate& certificate) { events->onSocketCertificate(certificate); }
    void serverCloses() {
        socketState = State::Closed;
        events->onSocketClosed();
    }
    // A secure stream ending with no close_notify.
    void streamCutOff() {
        socketState = State::Closed;
        events->onSocketCutOff();
        events->onSocketClosed();
    }
    void failWith(int number, const std::string& description) {
        socketState = State::Closed;
        events->onSocketError({number, description});
    }
    void completeSend() { events->onSocketSendComplete(); }
    std::string allSent() const {
        std::string all;
        for (const auto& s : sent) {
            all += s;
        }
        return all;
    }

    SocketEvents* events = nullptr;
    State socketState = State::Closed;
    std::string remote;
    std::vector<std::string> connectCalls;
    std::vector<std::string> sent;
    std::optional<SocketError> connectError;
    std::optional<SocketError> sendError;
    bool slowSends = false;
    bool readingHeld = false;
    bool secureConnect = false;
    int certificatesAccepted = 0;
    int closeCalls = 0;
};

struct ShownMessage {
    std::string text;
    std::string title;
    PromptIcon icon;
};

// Answers questions from a script and records every message and question.
class FakePrompts : public Prompts {
public:
    void message(const std::string& text, const std::string& title, PromptIcon icon) override {
        messages.push_back({text, title, icon});
        if (onMessage) {
            onMessage();
        }
    }
    PromptAnswer ask(const std::string& text, const std::string& title, PromptButtons /*buttons*/,
                     PromptIcon icon, PromptAnswer defaultAnswer) override {
        questions.push_back({text, title, icon});
        if (answers.empty()) {
            return defaultAnswer;
        }
        const PromptAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& /*preset*/) override {
        questions.push_back({prompt, title, PromptIcon::None});
        if (inputs.empty()) {
            return std::nullopt;
        }
        auto value = inputs.front();
        inputs.pop_front();
        return value;
    }

    std::vector<ShownMessage> messages;
    std::vector<ShownMessage> questions;
    std::deque<PromptAnswer> answers;
    std::deque<std::optional<std::string>> inputs;
    std::function<void()> onMessage;
};

class FakeSound : public Sound {
public:
    void beep() override { ++beeps; }
    void playWave(const std::string& path) override { played.push_back(path); }
    int beeps = 0;
    std::vector<std::string> played;
};

// A clock and timers that move only when the test says so.
class FakeClock : public Clock, public Timers {
public:
    TimePoint now() const override { return current; }
    TimerId startRepeating(std::chrono::milliseconds interval, std::function<void()> callback) override {
        const TimerId id = nextId++;
        timers[id] = Timer{current + interval, interval, true, std::move(callback)};
        return id;
    }
    TimerId startSingleShot(std::chrono::milliseconds delay, std::function<void()> callback) override {
        const TimerId id = nextId++;
        timers[id] = Timer{current + delay, delay, false, std::move(callback)};
        return id;
    }
    void stop(TimerId id) override { timers.erase(id); }

    // Moves time forward, firing due timers in order.
    void advance(std::chrono::milliseconds by) {
        const TimePoint end = current + by;
        while (true) {
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it) {
                if (it->second.due <= end && (next == timers.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == timers.end()) {
                break;
            }
            current = std::max(current, next->second.due);
            auto callback = next->second.callback;
            if (next->second.repeating) {
                next->second.due += next->second.interval;
            } else {
                timers.erase(next);
            }
            callback();
        }
        current = end;
    }
    void runPending() { advance(std::chrono::milliseconds(0)); }
    // One turn of the event loop: fires only the timer due first, if one is
    // due now; false when none is.
    bool runOne() {
        auto next = timers.end();
        for (auto it = timers.begin(); it != timers.end(); ++it) {
            if (it->second.due <= current && (next == timers.end() || it->second.due < next->second.due)) {
                next = it;
            }
        }
        if (next == timers.end()) {
            return false;
        }
        auto callback = next->second.callback;
        if (next->second.repeating) {
            next->second.due += next->second.interval;
        } else {
            timers.erase(next);
        }
        callback();
        return true;
    }

    struct Timer {
        TimePoint due;
        std::chrono::milliseconds interval;
        bool repeating;
        std::function<void()> callback;
    };
    TimePoint current = TimePoint(std::chrono::hours(24 * 365 * 50));
    std::map<TimerId, Timer> timers;
    TimerId nextId = 1;
};

class FakeLauncher : public Launcher {
public:
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
        return startSucceeds;
    }
    bool openWithDesktop(const std::string& address) override {
        opened.push_back(address);
        return true;
    }
    BrowserAnswer askRunningBrowser(const OpenUrlRequest& request) override {
        requests.push_back(request);
        return browserAnswer;
    }
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Start> started;
    std::vector<std::string> opened;
    std::vector<OpenUrlRequest> requests;
    bool startSucceeds = true;
    BrowserAnswer browserAnswer = BrowserAnswer::NotRunning;
};

class FakeClipboard : public Clipboard {
public:
    bool hasText() const override { return !contents.empty(); }
    std::string text() const override { return contents; }
    void setText(const std::string& text) override { contents = text; }
    void clear() override { contents.clear(); }
    std::string contents;
};

class FakeProgram : public Program {
public:
    void exit(int code) override { exitCodes.push_back(code); }
    std::vector<int> exitCodes;
};

// Answers the file, folder, font and colour choosers from scripts (nothing: cancelled)
// and records what each was asked.
class FakeChoosers : public Choosers {
public:
    std::optional<std::string> chooseFile(const FileChoice& choice) override {
        fileChoices.push_back(choice);
        return next(files);
    }
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& startFolder) override {
        folderChoices.push_back({title, startFolder});
        return next(folders);
    }
    std::optional<FontChoice> chooseFont(const FontChoice& preset) override {
        fontPresets.push_back(preset);
        return next(fonts);
    }
    std::optional<std::uint32_t> chooseColour(std::uint32_t preset) override {
        colourPresets.push_back(preset);
        return next(colours);
    }

    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<std::string>> folders;
    std::deque<std::optional<FontChoice>> fonts;
    std::deque<std::optional<std::uint32_t>> colours;
    std::vector<FileChoice> fileChoices;
    std::vector<std::pair<std::string, std::string>> folderChoices; // title, start folder
    std::vector<FontChoice> fontPresets;
    std::vector<std::uint32_t> colourPresets;

private:
    template <typename T> static std::optional<T> next(std::deque<std::optional<T>>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace corvane::testing
