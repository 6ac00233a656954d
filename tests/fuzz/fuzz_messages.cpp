// Feeds arbitrary message sequences and cursor samples through the whole program on the scripted
// services, checking the state record after every frame.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/invariants.h"
#include "tests/test_support.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;

    bool Empty() const { return size == 0; }
    template <typename T>
    T Take() {
        T value = 0;
        size_t count = size < sizeof(T) ? size : sizeof(T);
        std::memcpy(&value, data, count);
        data += count;
        size -= count;
        return value;
    }
};

const UINT kMessages[] = {WM_KEYDOWN, WM_KEYUP, WM_ACTIVATE, WM_SIZE,      WM_CLOSE,
                          WM_SYSCOMMAND, WM_SYSKEYDOWN, WM_QUIT, WM_MOUSEMOVE};

void QueueOne(Input& in) {
    switch (in.Take<uint8_t>() % 5) {
    case 0: {  // any message, any arguments
        UINT message = in.Take<uint32_t>();
        WPARAM wParam = in.Take<uint64_t>();
        script::Message(message, wParam, LPARAM(in.Take<uint64_t>()));
        break;
    }
    case 1: {  // a message the handler knows, any arguments
        UINT message = kMessages[in.Take<uint8_t>() % (sizeof kMessages / sizeof kMessages[0])];
        WPARAM wParam = in.Take<uint64_t>();
        script::Message(message, wParam, LPARAM(in.Take<uint64_t>()));
        break;
    }
    case 2: {  // a key press or release of a code in the table
        UINT message = in.Take<uint8_t>() % 2 ? WM_KEYDOWN : WM_KEYUP;
        script::Message(message, in.Take<uint8_t>());
        break;
    }
    case 3:
        script::Idle(1 + in.Take<uint8_t>() % 64);
        break;
    default: {
        int x = in.Take<int32_t>();
        script::Cursor(x, in.Take<int32_t>());
        break;
    }
    }
}

void Check(WalkWatch& watch, const char* when) {
    if (const char* broken = watch.Broken()) {
        std::fprintf(stderr, "invariant broken %s: %s\n", when, broken);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    script::Reset();
    ResetAppState();
    script::Record(false);
    WalkWatch watch;
    script::OnDispatch([&](const MSG& msg) { watch.Dispatched(msg); });
    script::OnSwap([&] { Check(watch, "at a frame"); });

    Input in{data, size};
    while (!in.Empty()) QueueOne(in);
    int result = RunProgram();
    if (result != 0) std::abort();
    Check(watch, "at the end");
    script::Reset();
    return 0;
}
