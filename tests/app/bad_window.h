// Makes the X server answer one request with an error, over a connection of
// the test's own (kept apart so that Xlib's macros stay out of GoogleTest's
// way).

#ifndef KORVEL_TESTS_APP_BAD_WINDOW_H_
#define KORVEL_TESTS_APP_BAD_WINDOW_H_

// Maps a window id that does not exist and waits for the server's answer,
// a BadWindow error for request 8 (MapWindow). False without a display.
bool MapMissingWindow();

#endif  // KORVEL_TESTS_APP_BAD_WINDOW_H_
