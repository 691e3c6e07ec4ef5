#pragma once

#include "town.h"
#include "world.h"

#include <gtest/gtest.h>
#include <string>

namespace practice_world {

// What the world answers to a command it does not know.
inline const std::string kHuh = "Huh?  (Type \"help\" for help.)\r\n";

// A town with a hand-driven clock, and helpers that read what one connection
// was sent.
class WorldFixture : public ::testing::Test {
protected:
    static constexpr ConnectionId kTester = 1;
    static constexpr ConnectionId kBob = 2;
    static constexpr ConnectionId kAlice = 3;

    explicit WorldFixture(Manner manner = Manner::Framed)
        : m_now(WallTime{} + std::chrono::hours(24 * 365 * 50))
        , m_world(buildTown(m_now, manner), std::chrono::seconds(180), manner, m_now) {}

    void advance(std::chrono::seconds by) { m_now += by; }

    Outcome input(ConnectionId id, const std::string& line) { return m_world.input(id, line, m_now); }

    // Everything `line` made the world send to `to`, all kinds together.
    std::string send(ConnectionId from, const std::string& line, ConnectionId to) {
        return textFor(input(from, line), to);
    }
    std::string send(ConnectionId id, const std::string& line) { return send(id, line, id); }

    void open(ConnectionId id) { m_world.open(id, m_now); }

    void logIn(ConnectionId id, const std::string& name, const std::string& password) {
        open(id);
        const Outcome outcome = input(id, "connect " + name + " " + password);
        ASSERT_FALSE(outcome.deliveries.empty());
        ASSERT_EQ(outcome.deliveries.front().text.rfind("Either", 0), std::string::npos) << name;
    }

    static std::string textFor(const Outcome& outcome, ConnectionId to) {
        std::string text;
        for (const Delivery& delivery : outcome.deliveries) {
            if (delivery.to == to)
                text += delivery.text;
        }
        return text;
    }

    WallTime m_now;
    World m_world;
};

} // namespace practice_world
