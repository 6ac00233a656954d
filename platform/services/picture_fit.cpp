// Where the picture stands on an output of another size, and positions between the two.
#include "platform/services/services.h"

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

}  // namespace services
