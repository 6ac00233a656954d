// The Windows entry: a desktop program's WinMain. A failed start writes its reason to the debugger.
#include <cstdio>

#include "app/main_loop.h"
#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand) {
    int result = AppMain(instance, previousInstance, commandLine, showCommand);
    if (result != 0) {
        char line[300];
        std::snprintf(line, sizeof line, "tolvaren: %s\n", PlatformFailureReason());
        OutputDebugStringA(line);
    }
    return result;
}
