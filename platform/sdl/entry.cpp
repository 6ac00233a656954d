#include <cstdio>

#include "app/main_loop.h"
#include "platform/sdl/sdl_layer.h"

int main(int, char**) {
    int result = AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    if (result != 0) std::fprintf(stderr, "tolvaren: %s\n", sdl_layer::FailureReason());
    return result;
}
