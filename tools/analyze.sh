#!/usr/bin/env bash
# Static analysis of the program's own code: who may include what, cppcheck, and clang-tidy with
# the checks in .clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."

# The program (app/, render/ and the shell in platform/) sees the services only through
# platform/platform.h; a backend sees the program only through the window procedure it is given.
status=0
shell=$(ls app/* render/* platform/*.h platform/*.cpp | grep -v win32_vocabulary.h)  # which is <windows.h> on Windows
if grep -nE '#include [<"](platform/(drivers|win32|scripted|services|posix|x11|wayland)/|SDL|windows\.h)' $shell; then
    echo "the program includes a backend's header: use platform/platform.h"; status=1
fi
if grep -nw appState platform/drivers/*/* platform/win32/* platform/scripted/* platform/services/* platform/posix/* \
    platform/x11/* platform/wayland/*; then
    echo "a backend names the program's state record"; status=1
fi
# The services know no window system's library: only their driver does; SDL stands in one folder.
if grep -nE '#include [<"](SDL|X11/|xcb/|wayland|platform/drivers/)' platform/services/* platform/posix/*; then
    echo "the services or the POSIX code include a window system's library"; status=1
fi
if grep -lE '#include [<"]SDL' -r platform | grep -vE '^platform/drivers/sdl[23]/'; then
    echo "SDL included outside platform/drivers/sdl2/ and sdl3/"; status=1
fi
# Each window system's own code lives in files named for it.
if grep -slE '#include [<"](X11/|xcb/)' platform/*/* platform/drivers/*/* | grep -vE '/x11(_|/)'; then
    echo "X11 code outside the files named for X11"; status=1
fi
if grep -slE '#include [<"](SDL_syswm|wayland-)' platform/*/* platform/drivers/*/* | grep -vE '/(x11|wayland)(_|/)'; then
    echo "a window system's handles outside the files named for it"; status=1
fi

# The driver analysed is the one this machine builds.
cmake -S . -B build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
driver=$(sed -n 's/^TOLVAREN_DRIVER_CHOSEN:INTERNAL=//p' build/CMakeCache.txt)
sources=(app/*.cpp render/*.cpp platform/*.cpp platform/services/*.cpp platform/posix/*.cpp platform/x11/*.cpp platform/wayland/*.cpp
    platform/drivers/"$driver"/*.cpp)
cppcheck --enable=warning,performance,portability --std=c++17 --language=c++ --error-exitcode=1 \
    --inline-suppr --quiet -I . -DTOLVAREN_SDL_BACKEND "${sources[@]}" || status=1
clang-tidy -p build --quiet "${sources[@]}" >build/clang-tidy.log 2>&1 || status=1
grep -vE '^[0-9]+ warnings? generated\.$' build/clang-tidy.log || true
[ "$status" -eq 0 ] && echo "static analysis: clean"
exit "$status"
