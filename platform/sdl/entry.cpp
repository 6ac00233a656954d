// The entry on systems other than Windows: a failed start, or a window system that fails the
// running program, says why on stderr in one line and exits with 1; a request to end by signal
// ends the process by that signal once the desktop is back.
#include <cstdio>

#include "app/main_loop.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_layer.h"

int main(int, char**) {
    int result = 1;
    if (sdl_layer::Start()) {
        result = AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
        if (sdl_layer::B().system.failed) result = 1;
    }
    if (result != 0) std::fprintf(stderr, "tolvaren: %s\n", PlatformFailureReason());
    sdl_layer::Stop();
    sdl_layer::EndAsRequested();
    return result;
}
