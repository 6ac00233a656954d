// A test build of the program that crashes on purpose: the presentation of the frame numbered by
// TOLVAREN_CRASH_FRAME raises the fault named by TOLVAREN_CRASH (segv, abrt, bus, fpe).
#include <dlfcn.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <SDL.h>

namespace {
// A real division by zero even in the sanitizer build, where it would otherwise end as a report.
__attribute__((no_sanitize("undefined"))) void CrashNow(const char* kind) {
    if (std::strcmp(kind, "segv") == 0) *static_cast<volatile int*>(nullptr) = 1;
    if (std::strcmp(kind, "abrt") == 0) std::abort();
    if (std::strcmp(kind, "fpe") == 0) {
        volatile int zero = 0, seven = 7;
        volatile int quotient = seven / zero;
        (void)quotient;
    }
    std::raise(SIGBUS);
}
}  // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    static int frames = 0;
    const char* kind = std::getenv("TOLVAREN_CRASH");
    const char* at = std::getenv("TOLVAREN_CRASH_FRAME");
    if (kind && ++frames >= (at ? std::atoi(at) : 30)) CrashNow(kind);
    using Swap = void (*)(SDL_Window*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    real(window);
}
