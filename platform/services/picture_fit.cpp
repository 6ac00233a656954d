// Where the picture stands on an output of another size, positions between the two, and the
// display mode it is best shown in.
#include "platform/services/services.h"

#include <cstring>

namespace services {

Rect FitPicture(Size shape, Size output) {
    if (shape.width <= 0 || shape.height <= 0 || output.width <= 0 || output.height <= 0) return {0, 0, 0, 0};
    long long wide = 1LL * output.width * shape.height, tall = 1LL * output.height * shape.width;
    Rect fit = {0, 0, output.width, output.height};
    if (wide > tall)  // bars at the sides
        fit.w = int((1LL * output.height * shape.width + shape.height / 2) / shape.height);
    else if (tall > wide)  // bars above and below
        fit.h = int((1LL * output.width * shape.height + shape.width / 2) / shape.width);
    fit.x = (output.width - fit.w) / 2;
    fit.y = (output.height - fit.h) / 2;
    return fit;
}

POINT PictureFromOutput(Size shape, Size output, POINT at) {
    Rect fit = FitPicture(shape, output);
    if (fit.w <= 0 || fit.h <= 0) return at;
    return {int((2LL * (at.x - fit.x) + 1) * shape.width / (2LL * fit.w)),
            int((2LL * (at.y - fit.y) + 1) * shape.height / (2LL * fit.h))};
}

POINT OutputFromPicture(Size shape, Size output, POINT at) {
    Rect fit = FitPicture(shape, output);
    if (fit.w <= 0 || fit.h <= 0) return at;
    return {fit.x + int((2LL * at.x + 1) * fit.w / (2LL * shape.width)),
            fit.y + int((2LL * at.y + 1) * fit.h / (2LL * shape.height))};
}

// A mode the compositor scales to the output stretches the picture by how far its shape is from
// the output's: by no more than 1 % here, which no eye sees.
driver::Mode ModeOfTheOutputsShape(const driver::Mode* modes, int count, Size output, Size picture, int bits) {
    driver::Mode best = {0, 0, 0};
    long long outputArea = 1LL * output.width * output.height;
    for (int i = 0; i < count; ++i) {
        const driver::Mode& mode = modes[i];
        long long area = 1LL * mode.width * mode.height;
        long long wide = 1LL * mode.width * output.height, tall = 1LL * mode.height * output.width;
        bool shaped = 100 * (wide > tall ? wide - tall : tall - wide) <= tall;
        bool holds = mode.width >= picture.width && mode.height >= picture.height && mode.bits >= bits;
        bool smaller = area < outputArea && (best.width == 0 || area < 1LL * best.width * best.height);
        if (shaped && holds && smaller) best = mode;
    }
    return best;
}

bool ScalePicture(const unsigned* picture, Size size, unsigned* image, int stride, Rect fit) {
    int columns[kMostColumns];
    if (fit.w > kMostColumns || fit.w <= 0 || fit.h <= 0 || size.width <= 0 || size.height <= 0) return false;
    for (int x = 0; x < fit.w; ++x) columns[x] = int((2LL * x + 1) * size.width / (2LL * fit.w));
    int last = -1;
    for (int y = 0; y < fit.h; ++y) {
        unsigned* row = image + 1LL * (fit.y + y) * stride + fit.x;
        int from = size.height - 1 - int((2LL * y + 1) * size.height / (2LL * fit.h));
        if (from == last) {
            std::memcpy(row, row - stride, sizeof(unsigned) * size_t(fit.w));
            continue;
        }
        const unsigned* source = picture + 1LL * from * size.width;
        for (int x = 0; x < fit.w; ++x) row[x] = source[columns[x]];
        last = from;
    }
    return true;
}

}  // namespace services
