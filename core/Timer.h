#pragma once
#include <chrono>

namespace vx {

// Elapsed seconds on the monotonic clock, with a lap mark for timing successive steps.
class Timer {
public:
    Timer() { restart(); }
    void restart() { m_start = m_lap = Clock::now(); }
    double time() const { return seconds(Clock::now() - m_start); }
    double lapTime() {
        const auto now = Clock::now();
        const double elapsed = seconds(now - m_lap);
        m_lap = now;
        return elapsed;
    }

private:
    using Clock = std::chrono::steady_clock;
    static double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }
    Clock::time_point m_start;
    Clock::time_point m_lap;
};

}  // namespace vx
