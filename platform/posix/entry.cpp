// The entry on systems other than Windows: a failed start, or a window system that fails the
// running program, says why on stderr in one line and exits with 1; a request to end by signal
// ends the process by that signal once the desktop is back. --help and --version are answered
// before anything touches the display; every other argument is ignored.
#include <cstdio>
#include <cstring>

#include "app/main_loop.h"
#include "platform/platform.h"
#include "platform/posix/end_requests.h"
#include "platform/posix/start.h"

namespace {
const char kUsage[] =
    "Usage: tolvaren [--help | --version]\n"
    "A full-screen 3D walk-through: the display switches to 640 x 480 and a green triangle stands\n"
    "on a blue floor while you move. Escape quits and gives the desktop back.\n"
    "\n"
    "  mouse             turn the view; forward and back tilt it down and up\n"
    "  Up, Down          walk forwards, backwards\n"
    "  Left, Right       step sideways\n"
    "  End (held)        crouch\n"
    "  A                 jump\n"
    "  Escape            quit\n"
    "\n"
    "  -h, --help        show this and exit\n"
    "      --version     show the program's name and version and exit\n"
    "\n"
    "More in the manual: man 6 tolvaren\n";

// True when an argument asked for something that is answered instead of running; the first such wins.
bool AnswerArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("TOLVAREN " TOLVAREN_VERSION);
            return true;
        }
    }
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    if (AnswerArguments(argc, argv)) {
        if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
        std::fputs("tolvaren: cannot write to standard output\n", stderr);
        return 1;
    }
    int result = 1;
    if (posix::Start()) {
        result = AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
        if (services::B().system.failed) result = 1;
    }
    if (result != 0) std::fprintf(stderr, "tolvaren: %s\n", PlatformFailureReason());
    posix::Stop();
    posix::EndAsRequested();
    return result;
}
