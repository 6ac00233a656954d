#include <cstdio>

#include "app/main_loop.h"
#include "platform/win32/failure_reason.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand) {
    int result = AppMain(instance, previousInstance, commandLine, showCommand);
    if (result != 0) {
        char line[200];
        std::snprintf(line, sizeof line, "tolvaren: %s\n", FailureReason());
        OutputDebugStringA(line);
    }
    return result;
}
