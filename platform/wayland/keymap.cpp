// Natively on Wayland, SDL 2 looks up the keys of a keyboard whose keymap names no layout (a
// virtual keyboard: on-screen keyboards, remote-desktop tools, wtype) by the keyboard's current
// layout, which is "none" until the compositor's first modifiers event. libxkbcommon before 1.10
// then reads past the key's layouts, and the program dies on the first key. SDL calls the library
// directly, so this definition in the program stands in for the library's: "none" is taken as the
// first layout, the one a fresh keyboard has, and every other call goes to the library unchanged.
#include <dlfcn.h>

#include <cstdint>

namespace {
constexpr uint32_t kNoLayout = 0xffffffffu;  // XKB_LAYOUT_INVALID
using Lookup = int (*)(void*, uint32_t, uint32_t, uint32_t, const uint32_t**);

Lookup LibraryLookup() {
    static Lookup library =
        reinterpret_cast<Lookup>(dlvsym(RTLD_NEXT, "xkb_keymap_key_get_syms_by_level", "V_0.5.0"));
    return library;
}
}  // namespace

extern "C" int xkb_keymap_key_get_syms_by_level(void* keymap, uint32_t key, uint32_t layout, uint32_t level,
                                                const uint32_t** syms) {
    Lookup library = LibraryLookup();
    if (!library) {
        *syms = nullptr;
        return 0;
    }
    return library(keymap, key, layout == kNoLayout ? 0 : layout, level, syms);
}
