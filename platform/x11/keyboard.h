// X11 only: what the keys of the letter block mean under the layout active at a key's press,
// read from XKB on the connection given, by USB HID positions.
#pragma once

typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier): Xlib names it so

namespace x11 {

bool ReadLayout(Display* display, int position);  // false for a key the layout does not move
int SymbolAt(int position);  // under the layout read last, or kNoSymbol
void ForgetLayout();         // before the connection closes

}  // namespace x11
