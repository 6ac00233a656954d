// A real OpenGL context without a display: Mesa's surfaceless EGL platform with a pbuffer.
#pragma once

namespace offscreen {
bool Create(int width, int height);
bool MakeCurrent(bool current);  // false releases the context from the thread
void Destroy();
}  // namespace offscreen
