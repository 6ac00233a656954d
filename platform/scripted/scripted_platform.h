// A scripted stand-in for the window-system services, for tests. The test queues what the
// message queue returns and where the cursor stands, picks services to fail, and reads back
// every call the program made, in order, with its arguments.
#pragma once

#ifndef TOLVAREN_SCRIPTED_BACKEND
#error "platform/scripted is the tests' backend: the program includes platform/platform.h"
#endif

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace script {

// Fake handles the services hand out; calls name them "window", "dc", "rc", "instance", "null".
extern const HWND kWindow;
extern const HDC kDeviceContext;
extern const HGLRC kRenderContext;
extern const HINSTANCE kInstance;

// Forgets everything: queue, cursor, failures, call log, window class, hooks.
void Reset();

// The queue. PeekMessageA serves these in order; `Idle(n)` makes n polls find the queue empty.
// When the script runs out, the poll returns WM_QUIT so that a loop under test always ends.
void Message(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void Idle(int polls);
void KeyDown(int virtualKey);
void KeyUp(int virtualKey);

// GetCursorPos reports these in turn, then the last point set by SetCursorPos (or `start`).
void Cursor(int x, int y);
void StartCursor(int x, int y);

// The named service fails from now on (ChangeDisplaySettingsA answers DISP_CHANGE_BADMODE).
void Fail(const std::string& service);

// With real GL, the context calls make a 640 x 480 off-screen OpenGL context current.
void UseRealGl(bool on);

// Called on every SwapBuffers, before it is logged as done (the frame's pixels are readable).
void OnSwap(std::function<void()> hook);

// Called with every message DispatchMessageA delivers, before the window procedure sees it.
void OnDispatch(std::function<void(const MSG&)> hook);

// Whether calls are logged (on after Reset); long runs turn it off.
void Record(bool on);

struct Call {
    std::string name;
    std::string args;
};
const std::vector<Call>& Calls();
std::vector<std::string> CallNames();  // names only, in order
int Count(const std::string& name);
std::string ArgsOf(const std::string& name, int nth = 0);  // of the nth call by that name; "absent" if none
int CursorShowCount();                 // the display counter kept by ShowCursor

// The records last passed to the services.
const DEVMODEA& LastDisplayMode();
const PIXELFORMATDESCRIPTOR& LastPixelFormatRequest();
const WNDCLASSA& LastWindowClass();
std::string LastWindowClassName();

}  // namespace script
