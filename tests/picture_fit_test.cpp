// Where the program's picture stands on an output of another shape, and positions between them.
#include <gtest/gtest.h>

#include "platform/services/services.h"

namespace {

using services::Rect;
using services::Size;

TEST(Picture, FitsTheOutputCentredWithItsShape) {
    struct {
        int outputWidth, outputHeight;
        Rect fit;
    } cases[] = {{1280, 720, {160, 0, 960, 720}},    {1920, 1080, {240, 0, 1440, 1080}},
                 {1280, 1024, {0, 32, 1280, 960}},   {1080, 1920, {0, 555, 1080, 810}},
                 {1024, 768, {0, 0, 1024, 768}},     {1366, 768, {171, 0, 1024, 768}},
                 {1001, 751, {0, 0, 1001, 751}}};  // rounded to the nearest pixel: 750.75 rows
    for (const auto& c : cases) {
        Rect fit = services::FitPicture({640, 480}, {c.outputWidth, c.outputHeight});
        EXPECT_TRUE(fit.x == c.fit.x && fit.y == c.fit.y && fit.w == c.fit.w && fit.h == c.fit.h)
            << c.outputWidth << " x " << c.outputHeight << ": " << fit.w << " x " << fit.h << " at " << fit.x << ", "
            << fit.y;
    }
}

// The program re-centres the cursor every frame and reads it back: a position of the picture taken
// to the output and back must be the same one, or the view drifts.
TEST(Picture, APositionGoesToTheOutputAndBackUnchanged) {
    Size output = {1024, 768};
    for (Size shape : {Size{640, 480}, Size{640, 240}, Size{320, 480}})
        for (int x = 0; x < shape.width; x += 7)
            for (int y = 0; y < shape.height; y += 5) {
                POINT there = services::OutputFromPicture(shape, output, {x, y});
                POINT back = services::PictureFromOutput(shape, output, there);
                ASSERT_TRUE(back.x == x && back.y == y) << shape.width << " x " << shape.height << ": " << x << ", "
                                                        << y << " came back as " << back.x << ", " << back.y;
            }
    POINT middle = services::OutputFromPicture({640, 480}, output, {320, 240});
    EXPECT_TRUE(middle.x == 512 && middle.y == 384) << "the picture's middle is the monitor's";
}

}  // namespace
