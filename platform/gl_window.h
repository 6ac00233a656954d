#pragma once

// Switches the display to width x height x bits, opens a borderless window over the screen with
// a double-buffered OpenGL context made current, and fits the projection to it. On failure
// releases what it acquired and returns false.
bool OpenFullscreenWindow(const char* title, int width, int height, int bits);

// Restores the desktop's display mode and the cursor, then releases the context, the device
// context, the window and the window class. Safe with any subset of them acquired.
void CloseFullscreenWindow();
