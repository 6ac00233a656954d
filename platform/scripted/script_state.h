// The scripted services' state and helpers, shared by their two files; private to this backend.
#pragma once

#include <deque>
#include <string>

#include "platform/scripted/scripted_platform.h"

namespace script {

struct Entry {
    MSG msg;
    int idlePolls;
};

struct Script {
    std::deque<Entry> queue;
    bool quitPosted = false;
    int quitCode = 0;
    std::deque<POINT> cursors;
    POINT cursor = {320, 240};
    std::vector<std::string> failing;
    bool realGl = false;
    std::function<void()> onSwap;
    std::function<void(const MSG&)> onDispatch;
    bool record = true;
    std::vector<Call> calls;
    int showCount = 0;
    DEVMODEA mode = {};
    PIXELFORMATDESCRIPTOR request = {};
    WNDCLASSA windowClass = {};
    std::string className;
    bool classRegistered = false;
    std::string failed;  // the first service that failed as the test asked
};

Script& S();
std::string Name(const void* handle);  // "window", "dc", "rc", "instance", "null" or the address
std::string Num(long long value);
std::string Hex(unsigned long long value);
void Log(const char* name, std::string args = "");
bool Fails(const char* name);  // the test asked this service to fail; the first one is kept as the reason

}  // namespace script
