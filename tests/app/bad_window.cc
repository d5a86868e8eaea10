#include "tests/app/bad_window.h"

#include <X11/Xlib.h>

bool MapMissingWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    return false;
  }
  XMapWindow(display, 0x1fffffff);
  XSync(display, False);
  XCloseDisplay(display);
  return true;
}
