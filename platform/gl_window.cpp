#include "platform/gl_window.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "platform/window_proc.h"
#include "render/projection.h"

namespace {
const char kClassName[] = "OpenGL";

// Filled on the first open; later opens use it as it was first filled.
PIXELFORMATDESCRIPTOR pixelFormatRequest;
bool pixelFormatRequestFilled = false;

void FillPixelFormatRequest(int bits) {
    pixelFormatRequest = PIXELFORMATDESCRIPTOR{};
    pixelFormatRequest.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pixelFormatRequest.nVersion = 1;
    pixelFormatRequest.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pixelFormatRequest.iPixelType = PFD_TYPE_RGBA;
    pixelFormatRequest.cColorBits = static_cast<BYTE>(bits);
    pixelFormatRequest.cDepthBits = 16;
    pixelFormatRequest.iLayerType = PFD_MAIN_PLANE;
    pixelFormatRequestFilled = true;
}

bool RegisterWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = HandleWindowMessage;
    windowClass.hInstance = appState.handles.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

bool ChangeToFullscreenMode(int width, int height, int bits) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(DEVMODEA);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

// Device context, pixel format and a current rendering context for the window.
bool AttachRenderContext() {
    PlatformHandles& handles = appState.handles;
    handles.deviceContext = GetDC(handles.window);
    if (!handles.deviceContext) return false;
    int format = ChoosePixelFormat(handles.deviceContext, &pixelFormatRequest);
    if (format == 0) return false;
    if (!SetPixelFormat(handles.deviceContext, format, &pixelFormatRequest)) return false;
    handles.renderContext = wglCreateContext(handles.deviceContext);
    if (!handles.renderContext) return false;
    return wglMakeCurrent(handles.deviceContext, handles.renderContext) != FALSE;
}
}  // namespace

bool OpenFullscreenWindow(const char* title, int width, int height, int bits) {
    PlatformHandles& handles = appState.handles;
    RECT windowRect = {0, 0, width, height};
    handles.instance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass()) return false;
    if (!ChangeToFullscreenMode(width, height, bits)) return false;

    DWORD exStyle = WS_EX_APPWINDOW;
    DWORD style = WS_POPUP;
    ShowCursor(FALSE);
    AdjustWindowRectEx(&windowRect, style, FALSE, exStyle);
    handles.window = CreateWindowExA(exStyle, kClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                     0, 0, windowRect.right - windowRect.left,
                                     windowRect.bottom - windowRect.top, nullptr, nullptr,
                                     handles.instance, nullptr);
    if (!handles.window) {
        CloseFullscreenWindow();
        return false;
    }
    if (!pixelFormatRequestFilled) FillPixelFormatRequest(bits);
    if (!AttachRenderContext()) {
        CloseFullscreenWindow();
        return false;
    }

    ShowWindow(handles.window, SW_SHOW);
    SetForegroundWindow(handles.window);
    SetFocus(handles.window);
    ResizeViewport(width, height);
    InitRenderState();
    return true;
}

void CloseFullscreenWindow() {
    PlatformHandles& handles = appState.handles;
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
    if (handles.renderContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(handles.renderContext);
        handles.renderContext = nullptr;
    }
    // The device context and window are cleared too, so a second close releases nothing twice.
    if (handles.deviceContext) {
        ReleaseDC(handles.window, handles.deviceContext);
        handles.deviceContext = nullptr;
    }
    if (handles.window) {
        DestroyWindow(handles.window);
        handles.window = nullptr;
    }
    UnregisterClassA(kClassName, handles.instance);
}
