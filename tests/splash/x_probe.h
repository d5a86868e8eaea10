// What the X server holds for a window, read over a connection of the
// test's own (kept apart from the tests so that Xlib's macros stay out of
// GoogleTest's way).

#ifndef KORVEL_TESTS_SPLASH_X_PROBE_H_
#define KORVEL_TESTS_SPLASH_X_PROBE_H_

#include <cstdint>
#include <vector>

// The top-left |width| × |height| pixels of |xid| as 0x00RRGGBB, row by row;
// empty when they cannot be read.
std::vector<uint32_t> WindowPixels(unsigned long xid, int width, int height);

// How many viewable windows anywhere in the tree are docks by their
// _NET_WM_WINDOW_TYPE; -1 without a display.
int CountViewableDocks();

#endif  // KORVEL_TESTS_SPLASH_X_PROBE_H_
