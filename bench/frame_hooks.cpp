// The benchmark's hooks: every present of both loops, and every allocation, pass here.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <dlfcn.h>

#include <GL/gl.h>

#include <ctime>
#include <thread>

#include "bench/bench.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);

namespace bench {

Run run;
Vsync vsync;
Latency latency;

namespace {

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

bool swapping;  // OpenGL's present may itself put an image
}  // namespace
}  // namespace bench

using namespace bench;

// Every present of both loops passes here: OpenGL's, or the picture's as an image in the X
// server's shared memory (declared in plain types, as Xlib lays them out).
extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    bool shows = latency.on && InputShows(latency.input);  // read back before it is presented
    swapping = true;
    real(window);
    swapping = false;
    Clock::time_point now = vsync.periodMs > 0 ? BlockToNextRefresh() : Clock::now();
    if (latency.on) Observe(shows, now);
    Presented(now);
}

extern "C" int XShmPutImage(void* display, unsigned long drawable, void* gc, void* image, int fromX, int fromY,
                            int toX, int toY, unsigned width, unsigned height, int sendEvent) {
    using Put = int (*)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);
    static Put real = reinterpret_cast<Put>(dlsym(RTLD_NEXT, "XShmPutImage"));
    int put = real(display, drawable, gc, image, fromX, fromY, toX, toY, width, height, sendEvent);
    if (!swapping) Presented(vsync.periodMs > 0 ? BlockToNextRefresh() : Clock::now());
    return put;
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

