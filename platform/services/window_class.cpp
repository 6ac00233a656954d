// The module, the window class and the window's record: what CreateWindowExA is asked for. The
// real window comes with the pixel format, from the driver.
#include <cstdio>
#include <cstring>

#include "platform/services/services.h"

namespace services {
namespace {
int instanceToken, iconToken, cursorToken;
}  // namespace

bool IsOurWindow(HWND window) { return window == WindowHandle() && B().window.created; }

}  // namespace services

using namespace services;

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(&instanceToken);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return reinterpret_cast<HICON>(&iconToken); }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&cursorToken); }

WORD WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    WindowClass& registered = B().windowClass;
    if (!B().system.started || registered.registered || !windowClass->lpfnWndProc || !windowClass->lpszClassName) {
        SetFailure("cannot register the window class");
        return 0;
    }
    std::snprintf(registered.name, sizeof registered.name, "%s", windowClass->lpszClassName);
    registered.proc = windowClass->lpfnWndProc;
    registered.registered = true;
    return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    WindowClass& registered = B().windowClass;
    if (!registered.registered || std::strcmp(className, registered.name) != 0 || B().window.created) return FALSE;
    registered = WindowClass{};
    return TRUE;
}

// The services draw no window decorations, so a client rectangle is also the outer one.
BOOL WINAPI AdjustWindowRectEx(LPRECT, DWORD, BOOL, DWORD) { return TRUE; }

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD, int, int, int width, int height,
                            HWND, HMENU, HINSTANCE, LPVOID) {
    FullscreenWindow& window = B().window;
    if (!B().windowClass.registered || std::strcmp(className, B().windowClass.name) != 0 || window.created ||
        width <= 0 || height <= 0) {
        SetFailure("cannot create the window");
        return nullptr;
    }
    std::snprintf(window.title, sizeof window.title, "%s", windowName ? windowName : "");
    window.asked = window.client = {width, height};
    window.created = true;
    window.minimised = false;
    return WindowHandle();
}

HDC WINAPI GetDC(HWND window) { return IsOurWindow(window) ? DeviceContextHandle() : nullptr; }
int WINAPI ReleaseDC(HWND window, HDC dc) { return IsOurWindow(window) && dc == DeviceContextHandle(); }

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc != DeviceContextHandle() || (request->dwFlags & needed) != needed ||
        request->iPixelType != PFD_TYPE_RGBA) {
        SetFailure("no pixel format matches the request");
        return 0;
    }
    return 1;
}
