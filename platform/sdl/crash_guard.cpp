// A crash must not leave the screen at the program's display mode with the cursor grabbed.
#include <csignal>
#include <unistd.h>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
const int kFatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
struct sigaction previous[sizeof kFatalSignals / sizeof kFatalSignals[0]];
bool guarding = false;
volatile sig_atomic_t crashing = 0;

// Best effort on a broken process: shutting the video down gives the desktop its mode back and
// releases the pointer. Then the signal ends the process as it would have.
void RestoreDesktopAndDie(int signal) {
    if (!crashing) {
        crashing = 1;
        alarm(3);  // should the restore itself hang, the process still ends
        if (L().videoUp) {
            SDL_SetRelativeMouseMode(SDL_FALSE);
            SDL_ShowCursor(SDL_ENABLE);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
}  // namespace

void GuardDesktopAgainstCrashes(bool on) {
    if (on == guarding) return;
    guarding = on;
    for (size_t i = 0; i < sizeof kFatalSignals / sizeof kFatalSignals[0]; ++i) {
        if (!on) {
            sigaction(kFatalSignals[i], &previous[i], nullptr);
            continue;
        }
        struct sigaction action = {};
        action.sa_handler = RestoreDesktopAndDie;
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(kFatalSignals[i], &action, &previous[i]);
    }
}
}  // namespace sdl_layer
