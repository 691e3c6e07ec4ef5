#pragma once

#include "core/text_file_writer.h"
#include "platform/clock.h"
#include "room/walk_view.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct Session;
class MainMenu;
class StatusLine;
class CommandSender;
class Prompts;
class Choosers;
class RandomSource;
class ViewFactory;

// The random walk: every few seconds a randomly drawn move, optionally told
// in a walk log (where it began, each room reached, when it ended). It lives
// in the "Random Walk" window; ending the walk closes the window.
class RandomWalk : public WalkEvents {
public:
    struct Services {
        Session& session;
        MainMenu& menu;
        StatusLine& status;
        CommandSender& sender;
        Prompts& prompts;
        Choosers& choosers;
        Timers& timers;
        Clock& clock;
        RandomSource& random;
        ViewFactory& views;
    };

    // The moves, by the draw: the first six are six times as likely as the rest.
    static constexpr std::array<const char*, 12> kDirections = {
        "north", "south", "east", "west", "out", "down", "ne", "nw", "se", "sw", "up", "in"};

    RandomWalk(Services services, std::function<void()> focusInput);
    ~RandomWalk() override;
    RandomWalk(const RandomWalk&) = delete;
    RandomWalk& operator=(const RandomWalk&) = delete;

    // Game > "&Walk".
    void GameWalk();
    // Ends the walk the way "&Cancel" does (the session ended, or the program).
    void close();
    bool isOpen() const { return m_open; }
    bool walking() const { return m_interval != 0; }

    void onWalkButton() override;
    void onCancel() override;
    void onClosed() override;
    void onMinimisedChanged(bool minimised) override;

    // The room's real exits, when the world names them: the walk then takes
    // only those. Empty: the direction table.
    void setKnownExits(std::vector<std::string> exits) {
        m_knownExits = std::move(exits);
        m_exitsLine.clear();
    }
    const std::vector<std::string>& knownExits() const { return m_knownExits; }
    // The same from an exits line ReadExitsLine accepted, read when a step
    // needs it: a room's exits line comes far more often than the walk steps.
    void setKnownExitsLine(std::string_view line) { m_exitsLine.assign(line); }
    // One draw of the direction table's index (0 to 11).
    static int DrawDirection(RandomSource& random);
    // "03-07-2024" and "21:05:09" in local time.
    static std::string LogDate(TimePoint when);
    static std::string LogTime(TimePoint when);

private:
    void open();
    void openLog();
    void startWalking();
    void tick();
    void move();
    void writeLog(const std::string& line);
    void ended(bool hideWindow);

    Services m_services;
    std::function<void()> m_focusInput;
    std::unique_ptr<WalkView> m_view;
    std::vector<std::string> m_knownExits;
    std::string m_exitsLine;
    std::string m_lastMove;
    TextFileWriter m_log;
    std::optional<Timers::TimerId> m_timer;
    bool m_open = false;
    bool m_inTick = false;
    // 0: not started; -1: random waits; else the fixed wait in seconds.
    double m_interval = 0;
    double m_wait = 0;
    int m_elapsed = 0;
    int m_direction = 0;
    std::string m_lastRoom;
};

} // namespace corvane
