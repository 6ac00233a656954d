// The entry on systems other than Windows: a failed start says why on stderr, in one line.
#include <cstdio>

#include "app/main_loop.h"
#include "platform/platform.h"

int main(int, char**) {
    int result = AppMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    if (result != 0) std::fprintf(stderr, "tolvaren: %s\n", PlatformFailureReason());
    return result;
}
