// Frame benchmark: the program's whole frame against a reference loop that draws the same two
// primitives through SDL2 directly (poll every event, update, draw, present, then wait out the
// refresh), on the same display server and renderer. Parts:
//   frames   CPU, allocations and present intervals, paced and unpaced;
//   latency  from an input sent through XTest at a random moment to the first present whose
//            picture shows it, read back from the frame being presented;
//   pacing   under a simulated driver whose present blocks to the next refresh of a display at
//            60, 59 and 75 Hz, where the display says 60.
//   picture  the program's picture scaled into an output-sized window, paced and unpaced, and under
//            the simulated vertical sync at 60 Hz, on a display of another size; and the direct
//            path, drawn in the display's own 640 x 480, alike.
// Run on an X display that offers 640 x 480 (tools/bench.sh starts a private Xvfb).
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/main_loop.h"
#include "bench/bench.h"
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/posix/start.h"

namespace bench {
namespace {

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
}

void ProgramLoop(bool paced) {
    ResetAppState();
    services::SetPresentPacing(paced);
    if (posix::Start()) AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    posix::Stop();
}

Run Measure(void (*loop)(bool), bool paced) {
    run = Run{};
    run.counting = true;
    run.started = Clock::now();
    vsync.epoch = run.started;
    loop(paced);
    run.ended = Clock::now();
    run.counting = false;
    return run;
}

std::vector<double> MeasureLatency(void (*loop)(bool), Input input) {
    latency.on = true;
    latency.input = input;
    latency.phase = kSettled;
    latency.started = false;
    latency.ms.clear();
    run = Run{};
    run.endsByItself = false;
    std::thread injector(Inject, input);
    loop(true);
    injector.join();
    latency.on = false;
    return latency.ms;
}

// ---------------------------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------------------------
double CpuMsPerFrame(const Run& r) { return (r.cpuAtEnd - r.cpuAtStart) * 1000.0 / kMeasured; }
double AllocationsPerFrame(const Run& r) { return double(r.allocationsAtEnd - r.allocationsAtStart) / kMeasured; }

void PrintFrames() {
    struct {
        const char* name;
        void (*loop)(bool);
        bool paced;
        Run result;
    } rows[] = {{"program, paced", ProgramLoop, true, {}},
                {"reference, paced", ReferenceLoop, true, {}},
                {"program, unpaced", ProgramLoop, false, {}},
                {"reference, unpaced", ReferenceLoop, false, {}}};
    for (auto& row : rows) row.result = Measure(row.loop, row.paced);
    std::printf("%d frames measured after %d of warm-up, 640 x 480, renderer %s, CPU time of all threads\n\n",
                kMeasured, kWarmup, renderer);
    std::printf("| loop | CPU ms/frame | allocations/frame | median interval ms | p99 interval ms "
                "| start to first frame ms | Escape to exit ms |\n|---|---|---|---|---|---|---|\n");
    for (const auto& row : rows) {
        const Run& r = row.result;
        std::printf("| %s | %.3f | %.2f | %.2f | %.2f | %.1f | %.1f |\n", row.name, CpuMsPerFrame(r),
                    AllocationsPerFrame(r), Percentile(r.intervalsMs, 0.5), Percentile(r.intervalsMs, 0.99),
                    Ms(r.firstPresent - r.started), Ms(r.ended - r.escapePushed));
    }
    std::printf("\nCPU per frame, program / reference: paced %.2f, unpaced %.2f\n\n",
                CpuMsPerFrame(rows[0].result) / CpuMsPerFrame(rows[1].result),
                CpuMsPerFrame(rows[2].result) / CpuMsPerFrame(rows[3].result));
}

void PrintLatency() {
    std::printf("Input to present, %d inputs of each kind at random moments (T = %.2f ms)\n\n", kInputs,
                kRefreshMs);
    std::printf("| loop | key median | key p99 | mouse median | mouse p99 |\n|---|---|---|---|---|\n");
    for (auto loop : {ProgramLoop, ReferenceLoop}) {
        std::vector<double> key = MeasureLatency(loop, Input::Key);
        std::vector<double> mouse = MeasureLatency(loop, Input::Mouse);
        std::printf("| %s", loop == ProgramLoop ? "program" : "plain SDL2 loop");
        for (const std::vector<double>* ms : {&key, &mouse})
            for (double p : {0.5, 0.99})
                std::printf(" | %.1f ms (%.2f T)", Percentile(*ms, p), Percentile(*ms, p) / kRefreshMs);
        std::printf(" |\n");
    }
    std::printf("\n");
}

void PrintPacing() {
    std::printf("Pacing under a present that blocks to the next refresh; the display says 60 Hz\n\n");
    std::printf("| display | fps | p99 interval ms | missed refreshes |\n|---|---|---|---|\n");
    for (double hz : {60.0, 59.0, 75.0}) {
        vsync.periodMs = 1000.0 / hz;
        Run r = Measure(ProgramLoop, true);
        vsync.periodMs = 0;
        long slots = r.refreshes.empty() ? 0 : r.refreshes.back() - r.refreshes.front() + 1;
        long missed = slots - long(r.refreshes.size());
        double seconds = double(slots) * (1.0 / hz);
        std::printf("| %.0f Hz | %.1f | %.2f | %ld of %ld (%.1f %%) |\n", hz, double(r.refreshes.size()) / seconds,
                    Percentile(r.intervalsMs, 0.99), missed, slots, 100.0 * double(missed) / double(slots));
    }
}

double FramesPerSecond(const Run& r) {
    double total = 0;
    for (double ms : r.intervalsMs) total += ms;
    return total > 0 ? 1000.0 * double(r.intervalsMs.size()) / total : 0;
}

// The program's picture scaled into a window as large as this display, as where a compositor
// keeps the window at the output's size, or drawn directly in the display's own 640 x 480: one row.
void PrintPicture(const char* output, bool scaled) {
    services::SetPictureAlways(scaled);
    Run paced = Measure(ProgramLoop, true);
    Run unpaced = Measure(ProgramLoop, false);
    vsync.periodMs = 1000.0 / 60;
    Run blocking = Measure(ProgramLoop, true);
    vsync.periodMs = 0;
    long slots = blocking.refreshes.empty() ? 0 : blocking.refreshes.back() - blocking.refreshes.front() + 1;
    std::printf("| %s on %s | %.3f | %.3f | %.1f | %.1f | %.2f | %ld of %ld |\n", scaled ? "picture" : "direct",
                output, CpuMsPerFrame(paced), CpuMsPerFrame(unpaced), FramesPerSecond(paced),
                FramesPerSecond(unpaced), Percentile(paced.intervalsMs, 0.99), slots - long(blocking.refreshes.size()),
                slots);
}

}  // namespace
}  // namespace bench

using namespace bench;

// With "picture OUTPUT" or "direct OUTPUT": only that row, on the display of that size.
int main(int argc, char** argv) {
    PrepareInputInjection();
    if (argc == 3 && (std::string(argv[1]) == "picture" || std::string(argv[1]) == "direct")) {
        PrintPicture(argv[2], std::string(argv[1]) == "picture");
        return 0;
    }
    PrintFrames();
    PrintLatency();
    PrintPacing();
    return 0;
}
