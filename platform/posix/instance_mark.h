// One instance of the program per display.
#pragma once

namespace posix {

bool MarkTheOnlyInstance(const char* display);  // false with the failure set when one runs there
void ReleaseInstanceMark();

}  // namespace posix
