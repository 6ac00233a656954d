// A test build of the program that crashes on purpose: the present of the frame numbered by
// TOLVAREN_CRASH_FRAME raises the fault named by TOLVAREN_CRASH (segv, abrt, bus, fpe). With
// TOLVAREN_FRAMES set, it keeps the number of frames presented so far in the file it names.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>

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

void CountFrame(int frames) {
    static int file = -2;
    if (file == -2) {
        const char* name = std::getenv("TOLVAREN_FRAMES");
        file = name ? open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
    }
    char text[16];
    int length = std::snprintf(text, sizeof text, "%10d\n", frames);
    if (file >= 0 && pwrite(file, text, size_t(length), 0) < 0) file = -1;
}

void Presented() {
    static int frames = 0;
    const char* kind = std::getenv("TOLVAREN_CRASH");
    const char* at = std::getenv("TOLVAREN_CRASH_FRAME");
    CountFrame(++frames);
    if (kind && frames >= (at ? std::atoi(at) : 30)) CrashNow(kind);
}

bool swapping;  // OpenGL's present may itself put an image
}  // namespace

// A frame is presented by OpenGL, or as an image in the X server's shared memory (declared here
// in plain types, as the libraries lay them out: SDL 2's present returns nothing, SDL 3's a bool,
// which an int carries back as it came).
extern "C" int SDL_GL_SwapWindow(void* window) {
    Presented();
    using Swap = int (*)(void*);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    swapping = true;
    int presented = real(window);
    swapping = false;
    return presented;
}

extern "C" int XShmPutImage(void* display, unsigned long drawable, void* gc, void* image, int fromX, int fromY,
                            int toX, int toY, unsigned width, unsigned height, int sendEvent) {
    if (!swapping) Presented();
    using Put = int (*)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);
    static Put real = reinterpret_cast<Put>(dlsym(RTLD_NEXT, "XShmPutImage"));
    return real(display, drawable, gc, image, fromX, fromY, toX, toY, width, height, sendEvent);
}
