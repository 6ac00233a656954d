#include "platform/posix/stderr_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace posix {

StderrCapture CaptureStderr() {
    StderrCapture capture = {-1, {-1, -1}};
    if (pipe2(capture.pipe, O_CLOEXEC | O_NONBLOCK) != 0) return capture;  // full, a writer loses the rest
    std::fflush(stderr);
    capture.saved = dup(STDERR_FILENO);
    dup2(capture.pipe[1], STDERR_FILENO);
    return capture;
}

void EndCapture(StderrCapture* capture, char* text, size_t size) {
    text[0] = '\0';
    if (capture->saved < 0) return;
    std::fflush(stderr);
    dup2(capture->saved, STDERR_FILENO);
    close(capture->saved);
    ssize_t length = read(capture->pipe[0], text, size - 1);
    text[length > 0 ? length : 0] = '\0';
    close(capture->pipe[0]);
    close(capture->pipe[1]);
}

const char* FirstLine(char* text) {
    text[std::strcspn(text, "\r\n")] = '\0';
    return text;
}

}  // namespace posix
