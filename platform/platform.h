// The window-system services the program calls, under their Win32 names, and what every
// backend behind them keeps. The program's own code (app/, render/ and the shell beside this
// header) includes only this header for them, and never knows which backend it runs on.
//
// Backends, one folder each:
//   win32/     the real services of Windows (<windows.h> declares them);
//   services/  the same services for Linux and whatever else SDL2 runs on, written once over a
//              driver (services/driver.h), with drivers/sdl2/ the one over SDL2;
//   scripted/  a stand-in for tests: queued messages, cursor samples, injected failures, and a log
//              of every call in order.
#pragma once

#include "platform/win32_vocabulary.h"

// ---------------------------------------------------------------------------------------------
// Rules every backend keeps, beyond what each service says below
// ---------------------------------------------------------------------------------------------
// - The poll never blocks: PeekMessageA answers at once, false when nothing is waiting.
// - Once PostQuitMessage has been called, the next poll returns WM_QUIT before any other message.
// - WM_KEYDOWN and WM_KEYUP carry the virtual-key code Windows gives under the layout active at
//   the press: letters by their label on a layout with Latin letters, by their US position on one
//   without (Cyrillic, Greek, ...). A release carries the code of its press, whatever the layout
//   is by then, so no key stays held.
// - The default handling (DefWindowProcA) turns Alt+F4 (WM_SYSKEYDOWN, VK_F4, Alt flag) into
//   WM_SYSCOMMAND SC_CLOSE, and SC_CLOSE into WM_CLOSE, both sent to the window procedure.
// - ShowCursor keeps a display counter: the cursor shows while it is 0 or more; each call
//   returns the new count.
// - SwapBuffers presents at once and then waits out the rest of the display's refresh, unless the
//   driver's present already waits for the display (present_pacing.h): never more than one
//   present per refresh, whatever the driver does.
// - A backend never reads or writes the program's state record (appState); all it knows of the
//   program is the window procedure it was given and the arguments of each call.
//
// How the backends differ:
// | backend  | differs in                                                                      |
// |----------|---------------------------------------------------------------------------------|
// | sdl2     | its entry starts the backend before the program and stops it after, and the    |
// |          | services fail outside that; the real window is made when the pixel format is   |
// |          | set (the visual is fixed then); while the cursor is hidden over the shown      |
// |          | window it is tracked from relative motion; it keeps the tap rule: a key        |
// |          | released before a poll has found the queue empty since its press is still held |
// |          | for that idle turn, since the program reads held keys (Escape) only on idle    |
// |          | turns, and the synthetic taps of remote desktops and input tools come and go   |
// |          | within one frame                                                                |
// | win32    | the display change (to keep its failure reason), making the context current (to |
// |          | ask for a swap interval of one) and the present (to pace it where the driver    |
// |          | does not) are routed through win32/service_shims.cpp; the queue is Windows'    |
// |          | own, which delivers a press and its release as the keyboard gives them          |
// | scripted | the poll returns WM_QUIT when the script runs out, so a loop under test ends;   |
// |          | its default handling does nothing but log the call; it serves the queue exactly |
// |          | as scripted, taps included                                                      |

#ifdef _WIN32

LONG WINAPI ChangeDisplaySettingsKeepingReason(DEVMODEA* mode, DWORD flags);
BOOL WINAPI MakeCurrentWithSwapInterval(HDC dc, HGLRC context);
BOOL WINAPI SwapBuffersPaced(HDC dc);
#ifndef TOLVAREN_REAL_SERVICES
#undef ChangeDisplaySettingsA
#define ChangeDisplaySettingsA ChangeDisplaySettingsKeepingReason
#define wglMakeCurrent MakeCurrentWithSwapInterval
#define SwapBuffers SwapBuffersPaced
#endif

#else

// ---------------------------------------------------------------------------------------------
// Message queue and window procedure
// ---------------------------------------------------------------------------------------------
// The program passes no window filter, 0, 0 and PM_REMOVE: true with the message removed, or
// false at once when the queue is empty.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg);
// Its result is not looked at.
BOOL WINAPI TranslateMessage(const MSG* msg);
// Window messages reach the window procedure of the window's class.
LRESULT WINAPI DispatchMessageA(const MSG* msg);
// The message as the window procedure received it: the default handling and its result.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Called with 0: a later poll returns WM_QUIT with that code.
void WINAPI PostQuitMessage(int exitCode);

// ---------------------------------------------------------------------------------------------
// Cursor
// ---------------------------------------------------------------------------------------------
// The cursor's position in screen pixels.
BOOL WINAPI GetCursorPos(LPPOINT point);
// Called with (320, 240) every frame: the cursor is moved there.
BOOL WINAPI SetCursorPos(int x, int y);
// FALSE hides the cursor, TRUE shows it again; calls are matched one for one.
int WINAPI ShowCursor(BOOL show);

// ---------------------------------------------------------------------------------------------
// Module, window class, display mode and window
// ---------------------------------------------------------------------------------------------
// Called with null: the program's instance handle.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
// Called with null and IDI_WINLOGO / IDC_ARROW: the stock icon and arrow cursor.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName);
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
// Non-zero when the class is registered, else 0.
WORD WINAPI RegisterClassA(const WNDCLASSA* windowClass);
// Called with "OpenGL" and the instance last of all: the class is removed.
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);
// With a mode record and CDS_FULLSCREEN: DISP_CHANGE_SUCCESSFUL when the display now runs that
// mode. With null and 0: the desktop's own mode returns.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);
// The outer rectangle for a client rectangle of the given style, extended style and no menu.
BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
// The window of the registered class with this title, style and size, or null.
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
// The window is destroyed.
BOOL WINAPI DestroyWindow(HWND window);
// With SW_SHOW: the window is shown. The result is not looked at.
BOOL WINAPI ShowWindow(HWND window, int showCommand);
// The window comes to the front, and takes the keyboard. Results are not looked at.
BOOL WINAPI SetForegroundWindow(HWND window);
HWND WINAPI SetFocus(HWND window);

// ---------------------------------------------------------------------------------------------
// Device context, pixel format and OpenGL context
// ---------------------------------------------------------------------------------------------
// The window's device context, or null / the device context is released.
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
// A format index for the request record, or 0 / true when the device context now has it.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request);
// The back buffer is presented. Its result is not looked at.
BOOL WINAPI SwapBuffers(HDC dc);
// A rendering context for the device context, or null.
HGLRC WINAPI wglCreateContext(HDC dc);
// True when the context is current on the calling thread; (null, null) releases it.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context);
// The context is deleted. Its result is not looked at.
BOOL WINAPI wglDeleteContext(HGLRC context);

#endif

// ---------------------------------------------------------------------------------------------
// Not a Win32 service: why the start failed, in one line, for the entry to report. Every backend
// serves it; it is read only after a failure.
// ---------------------------------------------------------------------------------------------
const char* PlatformFailureReason();
