// The SDL3 driver's own logic, through the services it provides, on SDL's off-screen video driver.
#include "platform/drivers/sdl3/sdl3_driver.h"
#include "tests/driver_test_cases.h"

namespace {

class Sdl3Layer : public DriverLayer {
protected:
    static SDL_Event Key(bool down, SDL_Scancode scancode, SDL_Keymod mod = SDL_KMOD_NONE) {
        SDL_Event event = {};
        event.type = down ? SDL_EVENT_KEY_DOWN : SDL_EVENT_KEY_UP;
        event.key.down = down;
        event.key.scancode = scancode;
        event.key.key = SDL_GetKeyFromScancode(scancode, mod, true);
        event.key.mod = mod;
        return event;
    }

    static void Move(SDL_MouseID which, float dx, float dy) {
        SDL_Event motion = {};
        motion.type = SDL_EVENT_MOUSE_MOTION;
        motion.motion.which = which;
        motion.motion.xrel = dx;
        motion.motion.yrel = dy;
        SDL_PushEvent(&motion);
    }
};

// SDL 3 names a key with its modifiers applied: a shifted letter is still the letter's key.
TEST_F(Sdl3Layer, KeysBecomeVirtualKeysByTheirMeaning) {
    struct {
        SDL_Scancode scancode;
        SDL_Keymod mod;
        WPARAM virtualKey;
    } keys[] = {{SDL_SCANCODE_ESCAPE, SDL_KMOD_NONE, VK_ESCAPE}, {SDL_SCANCODE_UP, SDL_KMOD_NONE, VK_UP},
                {SDL_SCANCODE_END, SDL_KMOD_NONE, VK_END},       {SDL_SCANCODE_A, SDL_KMOD_NONE, 'A'},
                {SDL_SCANCODE_A, SDL_KMOD_SHIFT, 'A'}};
    for (const auto& k : keys) {
        MSG down = Translated(Key(true, k.scancode, k.mod));
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << k.virtualKey;
        EXPECT_EQ(down.wParam, k.virtualKey);
        MSG up = Translated(Key(false, k.scancode, k.mod));
        EXPECT_EQ(up.message, UINT(WM_KEYUP)) << k.virtualKey;
        EXPECT_NE(up.lParam & (LPARAM(1) << 31), 0);
    }
    EXPECT_EQ(Translated(Key(true, SDL_SCANCODE_CAPSLOCK)).message, 0xFFFFu);
}

// Only a device's motion counts (SDL's own pointer is mouse 0), and SDL's fractions of a pixel
// add up to whole ones instead of being dropped.
TEST_F(Sdl3Layer, TheCursorFollowsADevicesMotionInWholePixels) {
    ShowWindowWithHiddenCursor();
    SetCursorPos(320, 240);
    Move(0, 319, 0);
    Drain();
    POINT at;
    ASSERT_TRUE(GetCursorPos(&at));
    EXPECT_EQ(at.x, 320) << "the system pointer's motion moved the cursor";
    for (int i = 0; i < 4; ++i) Move(1, 0.5f, -0.25f);
    Drain();
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 322);
    EXPECT_EQ(at.y, 239);
    Move(1, -40, 25);  // arrived after the last poll
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 282);
    EXPECT_EQ(at.y, 264);
    ShowCursor(TRUE);
}

}  // namespace
