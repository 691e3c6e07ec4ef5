#pragma once

#include <cmath>
#include <cstdint>
#include <random>

namespace corvane {

// The run's one random generator, seeded once when the program starts (seeding
// it again from the clock before each draw would repeat draws made within one
// second). Tests seed it themselves for a fixed sequence.
class RandomSource {
public:
    RandomSource()
        : m_engine(std::random_device{}()) {}

    void seed(std::uint32_t value) { m_engine.seed(value); }

    // Uniform in [0, 1).
    double next() {
        const double r = std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
        // Some standard libraries round up to 1 now and then.
        return r < 1.0 ? r : std::nextafter(1.0, 0.0);
    }

private:
    std::mt19937 m_engine;
};

} // namespace corvane
