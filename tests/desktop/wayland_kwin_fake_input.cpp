// Pointer motion and keys as an input device delivers them to KWin, for native and Xwayland
// clients alike, through its fake-input protocol. Reads commands from stdin, one a line, and
// answers each with "done" once KWin has it:
//   move DX DY       relative pointer motion
//   key CODE 1|0     a key pressed or released, by evdev code
#include <wayland-client.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fake-input-client-protocol.h"

namespace {
org_kde_kwin_fake_input* fakeInput;

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
    fakeInput = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, std::min(version, 4u)));
}
void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemoved};
}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!fakeInput) return 1;
    org_kde_kwin_fake_input_authenticate(fakeInput, "tolvaren tests", "drive the program under test");
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);
    char line[80];
    while (std::fgets(line, sizeof line, stdin)) {
        double dx, dy;
        unsigned code, state;
        if (std::sscanf(line, "move %lf %lf", &dx, &dy) == 2)
            org_kde_kwin_fake_input_pointer_motion(fakeInput, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
        else if (std::sscanf(line, "key %u %u", &code, &state) == 2)
            org_kde_kwin_fake_input_keyboard_key(fakeInput, code, state);
        wl_display_roundtrip(display);
        std::puts("done");
        std::fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
