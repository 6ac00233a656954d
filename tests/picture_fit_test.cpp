// Where the program's picture stands on an output of another shape, positions between them, the
// mode it is shown in and its pixels scaled there.
#include <gtest/gtest.h>

#include <vector>

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

// Xwayland's modes on a 1920 x 1080 output, as its RandR lists them, with two of 4:3 and one off.
TEST(Picture, IsShownInTheSmallestModeOfTheOutputsShapeThatHoldsIt) {
    driver::Mode listed[] = {{1920, 1080, 24}, {1600, 900, 24}, {1440, 1080, 24}, {1368, 768, 24},
                             {1280, 720, 24},  {1024, 768, 24}, {1024, 576, 24},  {864, 486, 24},
                             {800, 600, 24},   {720, 400, 24},  {640, 480, 24},   {640, 360, 24}};
    struct {
        Size output, picture;
        int bits, count;  // of the modes above, from the first
        Size mode;        // 0 x 0: none
    } cases[] = {{{1920, 1080}, {640, 480}, 16, 12, {864, 486}},  // 640 x 360 is too low
                 {{1920, 1080}, {640, 480}, 16, 7, {1024, 576}},
                 {{1920, 1080}, {640, 480}, 32, 12, {0, 0}},      // too few bits
                 {{1366, 768}, {640, 480}, 16, 4, {0, 0}},        // 1368 x 768 is within 1 % of its shape, but larger
                 {{1366, 768}, {640, 480}, 16, 5, {1280, 720}},
                 {{1280, 1024}, {640, 480}, 16, 12, {0, 0}},      // 5:4: none
                 {{1024, 768}, {640, 480}, 16, 12, {640, 480}},   // 1:1
                 {{1024, 768}, {640, 480}, 16, 6, {0, 0}},        // only the output's own
                 {{640, 480}, {640, 480}, 16, 12, {0, 0}}};
    for (const auto& c : cases) {
        driver::Mode mode = services::ModeOfTheOutputsShape(listed, c.count, c.output, c.picture, c.bits);
        EXPECT_TRUE(mode.width == c.mode.width && mode.height == c.mode.height)
            << c.output.width << " x " << c.output.height << " of " << c.count << " modes at " << c.bits
            << " bits: " << mode.width << " x " << mode.height;
    }
}

// OpenGL reads rows from the bottom; the image's run from the top, and what is outside the fit
// stays as it was.
TEST(Picture, IsScaledIntoTheImageByNearestPixelsUpsideDown) {
    const unsigned picture[] = {1, 2, 3, 4, 5, 6};  // 3 x 2: the bottom row first
    std::vector<unsigned> image(7 * 5, 9);
    ASSERT_TRUE(services::ScalePicture(picture, {3, 2}, image.data(), 7, {1, 1, 6, 3}));
    std::vector<unsigned> expected = {9, 9, 9, 9, 9, 9, 9,  //
                                      9, 4, 4, 5, 5, 6, 6,  //
                                      9, 1, 1, 2, 2, 3, 3,  //
                                      9, 1, 1, 2, 2, 3, 3,  //
                                      9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(expected, image);
    EXPECT_FALSE(services::ScalePicture(picture, {3, 2}, image.data(), 7, {0, 0, services::kMostColumns + 1, 1}));
}

}  // namespace
