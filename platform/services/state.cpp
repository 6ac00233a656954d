// The services' shared state, their handles and the failure reason.
#include <cstdarg>
#include <cstdio>

#include "platform/services/services.h"

namespace services {
namespace {
int windowToken, deviceContextToken;
char failure[1024];
}  // namespace

Services& B() {
    static Services services;
    return services;
}

HWND WindowHandle() { return reinterpret_cast<HWND>(&windowToken); }
HDC DeviceContextHandle() { return reinterpret_cast<HDC>(&deviceContextToken); }

void SetFailure(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(failure, sizeof failure, format, args);  // NOLINT(clang-analyzer-valist.Uninitialized): started above
    va_end(args);
}

}  // namespace services

const char* PlatformFailureReason() { return services::failure[0] ? services::failure : "unknown failure"; }
