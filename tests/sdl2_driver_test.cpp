// The SDL backend's own logic, through the services it provides, on SDL's off-screen video driver
// (the dummy driver has no OpenGL, and the backend makes its real window with the pixel format).
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "tests/driver_test_cases.h"

namespace {

class SdlLayer : public DriverLayer {
protected:
    static SDL_Event Key(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
        SDL_Event event = {};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        return event;
    }
};

TEST_F(SdlLayer, KeysBecomeVirtualKeysByTheirMeaning) {
    struct {
        SDL_Keycode key;
        SDL_Scancode scancode;
        WPARAM virtualKey;
    } keys[] = {{SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDLK_UP, SDL_SCANCODE_UP, VK_UP},
                {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},       {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
                {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},    {SDLK_END, SDL_SCANCODE_END, VK_END},
                {SDLK_a, SDL_SCANCODE_Q, 'A'},   // on an AZERTY layout A sits where QWERTY has Q
                {0x444, SDL_SCANCODE_A, 'A'}};  // on a Russian one ф sits where A would be
    for (const auto& k : keys) {
        MSG down = Translated(Key(SDL_KEYDOWN, k.key, k.scancode));
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << k.virtualKey;
        EXPECT_EQ(down.wParam, k.virtualKey);
        EXPECT_EQ(down.hwnd, window);
        MSG up = Translated(Key(SDL_KEYUP, k.key, k.scancode));
        EXPECT_EQ(up.message, UINT(WM_KEYUP)) << k.virtualKey;
        EXPECT_EQ(up.wParam, k.virtualKey);
        EXPECT_NE(up.lParam & (LPARAM(1) << 31), 0);  // the transition flag of a release
    }
    EXPECT_EQ(Translated(Key(SDL_KEYDOWN, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK)).message, 0xFFFFu)
        << "a key the program has no code for makes no message";
}

// Shown with the cursor hidden, the window takes relative motion, and the cursor read takes in
// what has arrived since the last poll. Under sdl2-compat only a device's motion counts: SDL 3
// numbers its mice from 1, and its system pointer's moves in the window are no device's.
TEST_F(SdlLayer, TheCursorFollowsRelativeMotionOverTheShownWindow) {
    ShowWindowWithHiddenCursor();
    SetCursorPos(320, 240);
    SDL_version linked;
    SDL_GetVersion(&linked);
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 319;
    SDL_PushEvent(&motion);  // the system pointer's
    Drain();
    POINT at;
    ASSERT_TRUE(GetCursorPos(&at));
    EXPECT_EQ(at.x, linked.patch >= 50 ? 320 : 639) << "SDL " << int(linked.minor) << "." << int(linked.patch);
    SetCursorPos(320, 240);
    motion.motion.which = 1;
    motion.motion.xrel = -40;
    motion.motion.yrel = 25;
    SDL_PushEvent(&motion);
    Drain();
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 280);
    EXPECT_EQ(at.y, 265);
    motion.motion.xrel = 7;
    motion.motion.yrel = 0;
    SDL_PushEvent(&motion);  // arrived after the last poll
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 287);
    ShowCursor(TRUE);
}

}  // namespace
