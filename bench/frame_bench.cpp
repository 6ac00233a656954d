// Frame benchmark: the program's whole frame against a reference loop that draws the same two
// primitives through SDL2 directly (poll every event, update, draw, present, then wait out the
// refresh), on the same display server and renderer. Three parts:
//   frames   CPU, allocations and present intervals, paced and unpaced;
//   latency  from an input sent through XTest at a random moment to the first present whose
//            picture shows it, read back from the frame being presented;
//   pacing   under a simulated driver whose present blocks to the next refresh of a display at
//            60, 59 and 75 Hz, where the display says 60.
//   picture  the program's picture scaled into an output-sized window, paced and unpaced, and under
//            the simulated vertical sync at 60 Hz, on a display of another size.
// Run on an X display that offers 640 x 480 (tools/bench.sh starts a private Xvfb).
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <malloc.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/main_loop.h"
#include "platform/sdl/sdl_layer.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);

namespace {

constexpr int kWarmup = 60;  // frames before measuring
constexpr int kMeasured = 600;
constexpr int kInputs = 100;  // of each kind, for the latency
constexpr double kRefreshMs = 1000.0 / 60;

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
}

// ---------------------------------------------------------------------------------------------
// What one run gathers; the allocation hooks and the present hook write into it.
// ---------------------------------------------------------------------------------------------
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
Run run;
char renderer[128] = "unknown";

// The simulated driver: its present returns at the next refresh of a display of this period.
struct Vsync {
    double periodMs = 0;  // 0: off
    Clock::time_point epoch;
} vsync;

double CpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void PushEscape() {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = SDLK_ESCAPE;
    event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&event);
}

Clock::time_point BlockToNextRefresh() {
    auto period = std::chrono::duration<double, std::milli>(vsync.periodMs);
    double elapsed = Ms(Clock::now() - vsync.epoch) / vsync.periodMs;
    long refresh = long(elapsed) + 1;
    Clock::time_point at = vsync.epoch + std::chrono::duration_cast<Clock::duration>(period * double(refresh));
    std::this_thread::sleep_until(at);
    run.refreshes.push_back(refresh);
    return at;
}

void Presented(Clock::time_point now) {
    int frame = ++run.presents;
    if (frame == 1) run.firstPresent = now;
    if (frame > kWarmup && frame <= kWarmup + kMeasured) run.intervalsMs.push_back(Ms(now - run.lastPresent));
    run.lastPresent = now;
    if (frame == kWarmup) {
        run.cpuAtStart = CpuSeconds();
        run.allocationsAtStart = run.allocations;
        run.refreshes.clear();
    }
    if (frame == kWarmup + kMeasured) {
        run.cpuAtEnd = CpuSeconds();
        run.allocationsAtEnd = run.allocations;
        if (run.endsByItself) {
            run.escapePushed = Clock::now();
            PushEscape();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Latency: an injector thread sends inputs through XTest on a connection of its own; the present
// hook reads two pixels of the frame about to be presented to see when they show.
// ---------------------------------------------------------------------------------------------
enum class Input { Key, Mouse };
enum Phase { kSettled, kSent, kShown, kUndone };

struct Latency {
    bool on = false;
    Input input = Input::Key;
    std::atomic<int> phase{kSettled};
    std::atomic<bool> started{false};
    Clock::time_point sentAt;  // written before phase becomes kSent
    std::vector<double> ms;
} latency;

// End crouches: the floor's far edge rises past row 280 at the left of the screen. A move of 40
// pixels to the left turns the view 2 degrees: the triangle's left edge on row 330 moves right
// past column 280.
bool InputShows(Input input) {
    unsigned char pixel[4] = {};
    if (input == Input::Key)
        glReadPixels(2, 479 - 280, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    else
        glReadPixels(280, 479 - 330, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return pixel[2] > 128 && pixel[1] < 128;  // blue
}

// `shows`: whether the frame just presented at `now` shows the input in hand.
void Observe(bool shows, Clock::time_point now) {
    latency.started = true;
    int phase = latency.phase;
    if (phase == kSent && shows) {
        latency.ms.push_back(Ms(now - latency.sentAt));
        latency.phase = kShown;
    } else if (phase == kUndone && !shows) {
        latency.phase = kSettled;
    }
}

void WaitForPhase(int phase) {
    while (latency.phase != phase) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void Send(Display* display, Input input, bool undo) {
    if (input == Input::Key)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_End), undo ? False : True, CurrentTime);
    else
        XTestFakeRelativeMotionEvent(display, undo ? 40 : -40, 0, CurrentTime);
    XFlush(display);
}

// Touches nothing until the program's first frame, so that the watcher process the program forks
// at its start finds no lock held by this thread.
void Inject(Input input) {
    while (!latency.started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Display* display = XOpenDisplay(nullptr);
    std::mt19937 random(input == Input::Key ? 1 : 2);
    std::uniform_real_distribution<double> phase(0.0, kRefreshMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int i = 0; i < kInputs; ++i) {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(2 * kRefreshMs + phase(random)));
        latency.sentAt = Clock::now();
        latency.phase = kSent;
        Send(display, input, false);
        WaitForPhase(kShown);
        latency.phase = kUndone;
        Send(display, input, true);
        WaitForPhase(kSettled);
    }
    KeyCode escape = XKeysymToKeycode(display, XK_Escape);
    XTestFakeKeyEvent(display, escape, True, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XTestFakeKeyEvent(display, escape, False, CurrentTime);
    XCloseDisplay(display);
}

// ---------------------------------------------------------------------------------------------
// The two loops
// ---------------------------------------------------------------------------------------------
// The reference: SDL2 and OpenGL straight, the same window, format, projection and primitives,
// End and the mouse handled as the program handles them.
void ReferenceLoop(bool paced) {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("reference", 0, 0, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_SetSwapInterval(1);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    if (const GLubyte* name = glGetString(GL_RENDERER))
        std::snprintf(renderer, sizeof renderer, "%s", reinterpret_cast<const char*>(name));
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    Clock::time_point next = Clock::now();
    bool crouched = false;
    float yaw = 0;
    for (bool done = false; !done;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            bool down = event.type == SDL_KEYDOWN;
            if ((down || event.type == SDL_KEYUP) && event.key.keysym.sym == SDLK_END) crouched = down;
            if (down && event.key.keysym.sym == SDLK_ESCAPE) done = true;
            if (event.type == SDL_MOUSEMOTION) yaw -= float(event.motion.xrel) * 0.05f;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(360.0f - yaw, 0, 1, 0);
        glTranslatef(0.0f, crouched ? 0.0f : -0.9f, -6.0f);
        glColor3f(0, 1, 0);
        glBegin(GL_TRIANGLES);
        glVertex3f(0, 1, 0), glVertex3f(-1, -1, 0), glVertex3f(1, -1, 0);
        glEnd();
        glTranslatef(0.0f, -1.0f, 0.0f);
        glColor3f(0, 0, 1);
        glBegin(GL_QUADS);
        glVertex3f(-15, 0, -15), glVertex3f(15, 0, -15), glVertex3f(15, 0, 15), glVertex3f(-15, 0, 15);
        glEnd();
        SDL_GL_SwapWindow(window);
        if (paced) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

void ProgramLoop(bool paced) {
    ResetAppState();
    sdl_layer::SetPresentPacing(paced);
    if (sdl_layer::Start()) AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    sdl_layer::Stop();
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

// The program's picture scaled into a window as large as this display, as where a compositor
// would stretch the switched mode: one row against the direct path's figures.
void PrintPicture(const char* output) {
    sdl_layer::SetPictureAlways(true);
    Run paced = Measure(ProgramLoop, true);
    Run unpaced = Measure(ProgramLoop, false);
    vsync.periodMs = 1000.0 / 60;
    Run blocking = Measure(ProgramLoop, true);
    vsync.periodMs = 0;
    long slots = blocking.refreshes.empty() ? 0 : blocking.refreshes.back() - blocking.refreshes.front() + 1;
    std::printf("| picture on %s | %.3f | %.3f | %.2f | %.2f | %ld of %ld |\n", output, CpuMsPerFrame(paced),
                CpuMsPerFrame(unpaced), Percentile(paced.intervalsMs, 0.5), Percentile(paced.intervalsMs, 0.99),
                slots - long(blocking.refreshes.size()), slots);
}

}  // namespace

// Every present of both loops passes here.
extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    bool shows = latency.on && InputShows(latency.input);  // read back before it is presented
    real(window);
    Clock::time_point now = vsync.periodMs > 0 ? BlockToNextRefresh() : Clock::now();
    if (latency.on) Observe(shows, now);
    Presented(now);
}

extern "C" void* malloc(size_t size) {
    if (run.counting) ++run.allocations;
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
    if (run.counting) ++run.allocations;
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, size_t size) {
    if (run.counting) ++run.allocations;
    return __libc_realloc(block, size);
}
extern "C" void* memalign(size_t alignment, size_t size) {
    if (run.counting) ++run.allocations;
    return __libc_memalign(alignment, size);
}

// With "picture OUTPUT": only the picture's row, on the display of that size.
int main(int argc, char** argv) {
    XInitThreads();  // the latency injector has a connection of its own on its own thread
    if (argc == 3 && std::string(argv[1]) == "picture") {
        PrintPicture(argv[2]);
        return 0;
    }
    PrintFrames();
    PrintLatency();
    PrintPacing();
    return 0;
}
