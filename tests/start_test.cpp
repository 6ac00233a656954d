// The start's choice of window system, whichever driver the build has.
#include <gtest/gtest.h>

#include <string>

#include "platform/posix/start.h"

namespace {

TEST(WindowSystemChoice, TheEnvironmentChoosesTheDriverAndNamesTheDisplay) {
    using services::WindowSystem;
    struct {
        const char *asked, *x11, *wayland;
        WindowSystem kind;
        const char *name, *driver;
        bool refused;
    } cases[] = {
        {nullptr, ":1", "wayland-1", WindowSystem::X11, ":1", "x11", false},  // Xwayland under a Wayland session
        {nullptr, nullptr, "wayland-1", WindowSystem::Wayland, "wayland-1", "wayland", false},
        {nullptr, nullptr, nullptr, WindowSystem::Other, "", nullptr, true},
        {"wayland", ":1", "wayland-1", WindowSystem::Wayland, "wayland-1", nullptr, false},
        {"wayland", nullptr, nullptr, WindowSystem::Wayland, "wayland-0", nullptr, false},
        {"x11", nullptr, "wayland-1", WindowSystem::X11, "", nullptr, true},
        {"offscreen", ":1", nullptr, WindowSystem::Other, "", nullptr, false},
    };
    for (const auto& c : cases) {
        posix::WindowSystemChoice choice = posix::ChooseWindowSystem(c.asked, c.x11, c.wayland);
        std::string what = std::string(c.asked ? c.asked : "-") + " " + (c.x11 ? c.x11 : "-") + " " +
                           (c.wayland ? c.wayland : "-");
        EXPECT_EQ(choice.kind, c.kind) << what;
        EXPECT_STREQ(choice.name, c.name) << what;
        EXPECT_STREQ(choice.driver, c.driver) << what;
        EXPECT_EQ(choice.refusal != nullptr, c.refused) << what;
    }
}

}  // namespace
