// X11 only: the one owner of Xlib's error handlers while the program runs. Errors of the driver's
// connection end the program with 1 instead of hanging it; another connection's are left to the
// handler that was there before. A lost connection ends the process at once (the watcher gives
// the desktop its mode back).
#pragma once

#include <X11/Xlib.h>

namespace x11 {

void CatchErrors();    // once the library has set its own handlers
void ReleaseErrors();  // once its connection has closed; what it left in place stays
// The driver's connection and window, once it has one: before that, any connection is its.
void RememberWindow(Display* display, Window window);
// Another program destroyed the driver's window, as its DestroyNotify tells, for a library that
// makes no request of it that would fail and keeps asking after it inside its own event loop: the
// program ends at once with 1, as when the connection is lost.
void EndForDestroyedWindow(Window window);
bool TakeErrorFailure();  // once, with the failure set

// Errors while `during` runs on `display` are kept from the handler and answered: true when
// none came (the shared image's attach, which a remote server refuses).
bool RunsWithoutErrors(Display* display, void (*during)(Display*));

}  // namespace x11
