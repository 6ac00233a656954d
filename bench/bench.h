// What the frame benchmark's files share: the run being measured, the simulated vertical sync
// and the latency probe, which the present hook (frame_hooks.cpp) writes into.
#pragma once

#include <atomic>
#include <chrono>
#include <vector>

namespace bench {

constexpr int kWarmup = 60;  // frames before measuring
constexpr int kMeasured = 600;
constexpr int kInputs = 100;  // of each kind, for the latency
constexpr double kRefreshMs = 1000.0 / 60;

using Clock = std::chrono::steady_clock;
inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// What one run gathers; the allocation hooks and the present hook write into it.
struct Run {
    bool counting = false;
    bool endsByItself = true;  // Escape is pushed after the measured frames
    long allocations = 0;
    int presents = 0;
    Clock::time_point started, firstPresent, escapePushed, ended, lastPresent;
    double cpuAtStart = 0, cpuAtEnd = 0;
    long allocationsAtStart = 0, allocationsAtEnd = 0;
    std::vector<double> intervalsMs;
    std::vector<long> refreshes;  // under the simulated vertical sync: which refresh each present took
};
extern Run run;

// The simulated driver: its present returns at the next refresh of a display of this period.
struct Vsync {
    double periodMs = 0;  // 0: off
    Clock::time_point epoch;
};
extern Vsync vsync;

// Latency: an injector thread sends inputs on a connection of its own; the present hook reads two
// pixels of the frame about to be presented to see when they show.
enum class Input { Key, Mouse };
enum Phase { kSettled, kSent, kShown, kUndone };

struct Latency {
    bool on = false;
    Input input = Input::Key;
    std::atomic<int> phase{kSettled};
    std::atomic<bool> started{false};
    Clock::time_point sentAt;  // written before phase becomes kSent
    std::vector<double> ms;
};
extern Latency latency;

extern char renderer[128];  // as the reference loop's OpenGL names it

// The reference: SDL2 and OpenGL straight (reference_loop.cpp).
void ReferenceLoop(bool paced);

// Input through XTest (x11_input_injection.cpp): 100 inputs of a kind at random moments, each
// undone once it shows, then Escape. Prepare before any other X call.
void PrepareInputInjection();
void Inject(Input input);

}  // namespace bench
