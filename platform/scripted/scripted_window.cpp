// The scripted module, window class, display mode, window, device context and OpenGL services.
#include <cstdint>

#include "platform/scripted/offscreen_gl.h"
#include "platform/scripted/script_state.h"

using namespace script;

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    Log("GetModuleHandleA", moduleName ? moduleName : "null");
    return kInstance;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    Log("LoadIconA", Name(instance) + "," + Num(static_cast<long long>(reinterpret_cast<uintptr_t>(iconName))));
    return reinterpret_cast<HICON>(0x5000);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    Log("LoadCursorA",
        Name(instance) + "," + Num(static_cast<long long>(reinterpret_cast<uintptr_t>(cursorName))));
    return reinterpret_cast<HCURSOR>(0x6000);
}

WORD WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    Log("RegisterClassA", windowClass->lpszClassName);
    Script& s = S();
    if (Fails("RegisterClassA") || s.classRegistered) return 0;
    s.windowClass = *windowClass;
    s.className = windowClass->lpszClassName;
    s.windowClass.lpszClassName = nullptr;  // the caller's text need not outlive the call
    s.classRegistered = true;
    return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    Log("UnregisterClassA", std::string(className) + "," + Name(instance));
    bool registered = S().classRegistered && S().className == className;
    S().classRegistered = false;
    return registered;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (!mode) {
        Log("ChangeDisplaySettingsA", "null," + Num(flags));
        return DISP_CHANGE_SUCCESSFUL;
    }
    S().mode = *mode;
    Log("ChangeDisplaySettingsA", Num(mode->dmPelsWidth) + "x" + Num(mode->dmPelsHeight) + "x" +
                                      Num(mode->dmBitsPerPel) + "," + Num(flags));
    return Fails("ChangeDisplaySettingsA") ? DISP_CHANGE_BADMODE : DISP_CHANGE_SUCCESSFUL;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    Log("AdjustWindowRectEx", Num(rect->left) + "," + Num(rect->top) + "," + Num(rect->right) + "," +
                                  Num(rect->bottom) + "," + Hex(style) + "," + Num(menu) + "," + Hex(exStyle));
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    Log("CreateWindowExA", Hex(exStyle) + "," + className + "," + windowName + "," + Hex(style) + "," +
                               Num(x) + "," + Num(y) + "," + Num(width) + "," + Num(height) + "," +
                               Name(parent) + "," + Name(menu) + "," + Name(instance) + "," + Name(param));
    return Fails("CreateWindowExA") ? nullptr : kWindow;
}

BOOL WINAPI DestroyWindow(HWND window) {
    Log("DestroyWindow", Name(window));
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    Log("ShowWindow", Name(window) + "," + Num(showCommand));
    return FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    Log("SetForegroundWindow", Name(window));
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    Log("SetFocus", Name(window));
    return nullptr;
}

HDC WINAPI GetDC(HWND window) {
    Log("GetDC", Name(window));
    return Fails("GetDC") ? nullptr : kDeviceContext;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    Log("ReleaseDC", Name(window) + "," + Name(dc));
    return 1;
}

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    Log("ChoosePixelFormat", Name(dc));
    S().request = *request;
    return Fails("ChoosePixelFormat") ? 0 : 7;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    Log("SetPixelFormat", Name(dc) + "," + Num(format));
    S().request = *request;
    return !Fails("SetPixelFormat");
}

BOOL WINAPI SwapBuffers(HDC dc) {
    if (S().onSwap) S().onSwap();
    Log("SwapBuffers", Name(dc));
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    Log("wglCreateContext", Name(dc));
    if (Fails("wglCreateContext")) return nullptr;
    if (S().realGl && !offscreen::Create(640, 480)) return nullptr;
    return kRenderContext;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    Log("wglMakeCurrent", Name(dc) + "," + Name(context));
    if (Fails("wglMakeCurrent")) return FALSE;
    return S().realGl ? offscreen::MakeCurrent(context != nullptr) : TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    Log("wglDeleteContext", Name(context));
    offscreen::Destroy();
    return TRUE;
}
