// The compositor's globals, read once on a connection of our own that is closed at once.
#include "platform/wayland/compositor.h"

#include <wayland-client.h>

#include <cstring>

namespace wayland {
namespace {
void OnGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, "zwlr_screencopy_manager_v1") == 0) *static_cast<bool*>(data) = true;
}
void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemoved};
}  // namespace

bool IsWlroots(const char* display) {
    wl_display* connection = wl_display_connect(display);
    if (!connection) return false;
    bool wlroots = false;
    wl_registry* registry = wl_display_get_registry(connection);
    wl_registry_add_listener(registry, &kListener, &wlroots);
    wl_display_roundtrip(connection);
    wl_registry_destroy(registry);
    wl_display_disconnect(connection);
    return wlroots;
}

}  // namespace wayland
