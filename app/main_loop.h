#pragma once

#include "platform/win32_vocabulary.h"

// The program: opens the full-screen window, runs the loop until Escape or a close request,
// and tears the window down. Returns 0 on a normal exit, 1 when the window could not be opened.
int AppMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
