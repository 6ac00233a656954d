#include "app/main_loop.h"

#include "app/app_state.h"
#include "app/walk.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "render/scene.h"

namespace {
constexpr double kStandingSceneY = -0.9;

void RunFrame() {
    DrawScene();
    SwapBuffers(appState.handles.deviceContext);
    UpdateWalk();
}
}  // namespace

int AppMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bool done = false;
    appState.sceneY = kStandingSceneY;
    appState.restSceneY = appState.sceneY;
    if (!OpenFullscreenWindow("TOLVAREN", 640, 480, 16)) return 1;  // a failed start is not a success

    while (!done) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                done = true;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        } else if (appState.active) {
            if (appState.keyDown[VK_ESCAPE])
                done = true;
            else
                RunFrame();
        }
    }

    CloseFullscreenWindow();
    return 0;
}
