// The keymap look-up the program puts in place of libxkbcommon's.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// A virtual keyboard's keymap (as wtype and remote-desktop tools send it) before any modifiers
// event: SDL reads its keys with the layout "none", which libxkbcommon before 1.10 crashes on.
TEST(WaylandKeymap, AKeyboardWithNoLayoutYetIsReadInItsFirstLayout) {
    const char* keymapText = R"(xkb_keymap {
        xkb_keycodes { minimum = 8; maximum = 9; <K1> = 9; };
        xkb_types { type "ONE_LEVEL" { modifiers = none; level_name[Level1] = "Any"; }; };
        xkb_compatibility { };
        xkb_symbols { key <K1> { [ Escape ] }; };
    };)";
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(context, keymapText, XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    ASSERT_NE(keymap, nullptr);
    const xkb_keysym_t* syms = nullptr;
    ASSERT_EQ(xkb_keymap_key_get_syms_by_level(keymap, 9, XKB_LAYOUT_INVALID, 0, &syms), 1);
    EXPECT_EQ(syms[0], xkb_keysym_t(XKB_KEY_Escape));
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
}

}  // namespace
