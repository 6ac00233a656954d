#include "platform/scripted/scripted_platform.h"

#include <cstdio>

#include "platform/scripted/offscreen_gl.h"
#include "platform/scripted/script_state.h"

namespace script {

const HWND kWindow = reinterpret_cast<HWND>(0x1000);
const HDC kDeviceContext = reinterpret_cast<HDC>(0x2000);
const HGLRC kRenderContext = reinterpret_cast<HGLRC>(0x3000);
const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(0x4000);

Script& S() {
    static Script script;
    return script;
}

std::string Name(const void* handle) {
    if (!handle) return "null";
    if (handle == kWindow) return "window";
    if (handle == kDeviceContext) return "dc";
    if (handle == kRenderContext) return "rc";
    if (handle == kInstance) return "instance";
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}

std::string Num(long long value) { return std::to_string(value); }

std::string Hex(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

void Log(const char* name, std::string args) {
    if (S().record) S().calls.push_back({name, std::move(args)});
}

bool Fails(const char* name) {
    for (const std::string& failing : S().failing) {
        if (failing != name) continue;
        if (S().failed.empty()) S().failed = name;
        return true;
    }
    return false;
}
void Reset() {
    offscreen::Destroy();
    S() = Script{};
}

void Message(UINT message, WPARAM wParam, LPARAM lParam) {
    Entry entry = {};
    entry.msg.hwnd = kWindow;
    entry.msg.message = message;
    entry.msg.wParam = wParam;
    entry.msg.lParam = lParam;
    S().queue.push_back(entry);
}

void Idle(int polls) {
    Entry entry = {};
    entry.idlePolls = polls;
    if (polls > 0) S().queue.push_back(entry);
}

void KeyDown(int virtualKey) { Message(WM_KEYDOWN, static_cast<WPARAM>(virtualKey)); }
void KeyUp(int virtualKey) { Message(WM_KEYUP, static_cast<WPARAM>(virtualKey)); }
void Cursor(int x, int y) { S().cursors.push_back({x, y}); }
void StartCursor(int x, int y) { S().cursor = {x, y}; }
void Fail(const std::string& service) { S().failing.push_back(service); }
void UseRealGl(bool on) { S().realGl = on; }
void OnSwap(std::function<void()> hook) { S().onSwap = std::move(hook); }
void OnDispatch(std::function<void(const MSG&)> hook) { S().onDispatch = std::move(hook); }
void Record(bool on) { S().record = on; }
const std::vector<Call>& Calls() { return S().calls; }

std::vector<std::string> CallNames() {
    std::vector<std::string> names;
    for (const Call& call : S().calls) names.push_back(call.name);
    return names;
}

int Count(const std::string& name) {
    int count = 0;
    for (const Call& call : S().calls) count += call.name == name;
    return count;
}

std::string ArgsOf(const std::string& name, int nth) {
    for (const Call& call : S().calls)
        if (call.name == name && nth-- == 0) return call.args;
    return "absent";
}

int CursorShowCount() { return S().showCount; }
const DEVMODEA& LastDisplayMode() { return S().mode; }
const PIXELFORMATDESCRIPTOR& LastPixelFormatRequest() { return S().request; }
const WNDCLASSA& LastWindowClass() { return S().windowClass; }
std::string LastWindowClassName() { return S().className; }

}  // namespace script

using namespace script;

const char* PlatformFailureReason() {
    static std::string reason;
    reason = S().failed.empty() ? "no scripted failure" : S().failed + " failed as scripted";
    return reason.c_str();
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    Log("PeekMessageA", Name(window) + "," + Num(filterMin) + "," + Num(filterMax) + "," + Num(removeMsg));
    Script& s = S();
    if (s.quitPosted || s.queue.empty()) {
        s.quitPosted = false;
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(s.quitCode);
        return TRUE;
    }
    Entry& front = s.queue.front();
    if (front.idlePolls > 0) {
        if (--front.idlePolls == 0) s.queue.pop_front();
        return FALSE;
    }
    *msg = front.msg;
    s.queue.pop_front();
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    Log("TranslateMessage", Hex(msg->message));
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    Log("DispatchMessageA", Hex(msg->message) + "," + Num(static_cast<long long>(msg->wParam)) + "," +
                                Num(static_cast<long long>(msg->lParam)));
    if (S().onDispatch) S().onDispatch(*msg);
    if (!S().classRegistered || msg->hwnd != kWindow) return 0;
    return S().windowClass.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log("DefWindowProcA", Name(window) + "," + Hex(message) + "," + Hex(wParam) + "," +
                              Num(static_cast<long long>(lParam)));
    return 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    Log("PostQuitMessage", Num(exitCode));
    S().quitPosted = true;
    S().quitCode = exitCode;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    Script& s = S();
    if (!s.cursors.empty()) {
        s.cursor = s.cursors.front();
        s.cursors.pop_front();
    }
    *point = s.cursor;
    Log("GetCursorPos", Num(point->x) + "," + Num(point->y));
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    Log("SetCursorPos", Num(x) + "," + Num(y));
    S().cursor = {x, y};
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    Log("ShowCursor", Num(show));
    return S().showCount += show ? 1 : -1;
}
