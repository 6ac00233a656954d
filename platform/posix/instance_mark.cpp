// One instance of the program per display: an abstract socket named after the display. The kernel
// takes the name back when the last holder ends, however it ends, and it leaves nothing on disk.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/posix/instance_mark.h"
#include "platform/services/services.h"

namespace posix {
using services::SetFailure;

namespace {
int mark = -1;
}  // namespace

bool MarkTheOnlyInstance(const char* display) {
    char name[sizeof(sockaddr_un::sun_path)];
    int length = std::snprintf(name, sizeof name, "%ctolvaren on %.*s", '\0', int(std::strcspn(display, ".")),
                               display);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name, size_t(length));
    mark = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (mark < 0) return true;  // no way to tell; better to run
    socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(length));
    if (bind(mark, reinterpret_cast<sockaddr*>(&address), size) == 0) return true;
    bool taken = errno == EADDRINUSE;
    close(mark);
    mark = -1;
    if (taken) SetFailure("already running on %s", display);
    return !taken;
}

void ReleaseInstanceMark() {
    if (mark >= 0) close(mark);
    mark = -1;
}

}  // namespace posix
