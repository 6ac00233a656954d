// Frame benchmark: the program's whole frame against a reference loop that draws the same two
// primitives through SDL2 directly, on the same display server and renderer, paced and unpaced.
// Run on an X display that offers 640 x 480 (tools/bench.sh starts a private Xvfb).
#include <dlfcn.h>
#include <malloc.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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

constexpr int kWarmup = 60;   // frames before measuring
constexpr int kMeasured = 600;

using Clock = std::chrono::steady_clock;

// What one run gathers; the allocation hooks and the present hook write into it.
struct Run {
    bool counting = false;
    long allocations = 0;
    int presents = 0;
    Clock::time_point started, firstPresent, escapePushed, ended;
    double cpuAtStart = 0, cpuAtEnd = 0;
    long allocationsAtStart = 0, allocationsAtEnd = 0;
    std::vector<double> intervalsMs;
    Clock::time_point lastPresent;
};
Run run;
char renderer[128] = "unknown";

double CpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void PushEscape() {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = SDLK_ESCAPE;
    event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&event);
}

// Every present of both loops passes here.
void Presented() {
    Clock::time_point now = Clock::now();
    int frame = ++run.presents;
    if (frame == 1) run.firstPresent = now;
    if (frame > kWarmup && frame <= kWarmup + kMeasured) run.intervalsMs.push_back(Ms(now - run.lastPresent));
    run.lastPresent = now;
    if (frame == kWarmup) {
        run.cpuAtStart = CpuSeconds();
        run.allocationsAtStart = run.allocations;
    }
    if (frame == kWarmup + kMeasured) {
        run.cpuAtEnd = CpuSeconds();
        run.allocationsAtEnd = run.allocations;
        run.escapePushed = Clock::now();
        PushEscape();
    }
}

// The reference: SDL2 and OpenGL straight, the same window, format, projection and primitives.
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
    if (const GLubyte* name = glGetString(GL_RENDERER))
        std::snprintf(renderer, sizeof renderer, "%s", reinterpret_cast<const char*>(name));
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 640.0 / 480.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    Clock::time_point next = Clock::now();
    for (bool done = false; !done;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) done = true;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0.0f, -0.9f, -6.0f);
        glColor3f(0, 1, 0);
        glBegin(GL_TRIANGLES);
        glVertex3f(0, 1, 0), glVertex3f(-1, -1, 0), glVertex3f(1, -1, 0);
        glEnd();
        glTranslatef(0.0f, -1.0f, 0.0f);
        glColor3f(0, 0, 1);
        glBegin(GL_QUADS);
        glVertex3f(-15, 0, -15), glVertex3f(15, 0, -15), glVertex3f(15, 0, 15), glVertex3f(-15, 0, 15);
        glEnd();
        if (paced) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
        }
        SDL_GL_SwapWindow(window);
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

void ProgramLoop(bool paced) {
    ResetAppState();
    sdl_layer::SetPresentPacing(paced);
    AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
}

struct Row {
    const char* name;
    Run result;
};

Row Measure(const char* name, void (*loop)(bool), bool paced) {
    run = Run{};
    run.counting = true;
    run.started = Clock::now();
    loop(paced);
    run.ended = Clock::now();
    run.counting = false;
    return {name, run};
}

double CpuMsPerFrame(const Run& r) { return (r.cpuAtEnd - r.cpuAtStart) * 1000.0 / kMeasured; }
double AllocationsPerFrame(const Run& r) { return double(r.allocationsAtEnd - r.allocationsAtStart) / kMeasured; }

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1))];
}

void Print(const Row& row) {
    const Run& r = row.result;
    std::printf("| %-18s | %8.3f | %8.2f | %8.2f | %8.2f | %8.1f | %8.1f |\n", row.name, CpuMsPerFrame(r),
                AllocationsPerFrame(r), Percentile(r.intervalsMs, 0.5), Percentile(r.intervalsMs, 0.99),
                Ms(r.firstPresent - r.started), Ms(r.ended - r.escapePushed));
}

}  // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    real(window);
    Presented();
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

int main() {
    Row rows[] = {Measure("program, paced", ProgramLoop, true), Measure("reference, paced", ReferenceLoop, true),
                  Measure("program, unpaced", ProgramLoop, false),
                  Measure("reference, unpaced", ReferenceLoop, false)};
    std::printf("%d frames measured after %d of warm-up, 640 x 480, renderer %s, CPU time of all threads\n\n",
                kMeasured, kWarmup, renderer);
    std::printf("| loop               | CPU ms/frame | allocations/frame | median interval ms | p99 interval ms "
                "| start to first frame ms | Escape to exit ms |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Row& row : rows) Print(row);
    std::printf("\nCPU per frame, program / reference: paced %.2f, unpaced %.2f\n",
                CpuMsPerFrame(rows[0].result) / CpuMsPerFrame(rows[1].result),
                CpuMsPerFrame(rows[2].result) / CpuMsPerFrame(rows[3].result));
    return 0;
}
