#include "platform/window_proc.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "render/projection.h"

namespace {
void SetKey(WPARAM code, bool held) {
    if (code < 256) appState.keyDown[code] = held;
}
}  // namespace

LRESULT CALLBACK HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        appState.active = HIWORD(wParam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        // Keep the screen saver and monitor power-down away while the walk-through runs.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        SetKey(wParam, true);
        return 0;
    case WM_KEYUP:
        SetKey(wParam, false);
        return 0;
    case WM_SIZE:
        ResizeViewport(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
