#pragma once

#include "platform/win32_vocabulary.h"

// The window procedure of the program's window class.
LRESULT CALLBACK HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
