// What libraries write to stderr in between is read back instead of shown, to go into the
// program's one line about a failure.
#pragma once

#include <cstddef>

namespace posix {

struct StderrCapture {
    int saved;
    int pipe[2];
};
StderrCapture CaptureStderr();
void EndCapture(StderrCapture* capture, char* text, size_t size);  // all that was written, cut to size
const char* FirstLine(char* text);  // cut at the first line's end

}  // namespace posix
