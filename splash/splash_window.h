// The loading splash: an undecorated picture with a thin black border in the
// middle of the screen, drawn with plain Xlib on a connection of its own so
// that none of its events reach the engine. At most one exists per process.
// Browser UI thread only.

#ifndef KORVEL_SPLASH_SPLASH_WINDOW_H_
#define KORVEL_SPLASH_SPLASH_WINDOW_H_

#include <string>

// Replaces any splash on screen by one showing the picture in |imagePath|
// and returns once the window has been exposed and the picture sent. Prints
// "Image data does not exist" when the file gives nothing at all; shows
// nothing when there is no X display.
void OpenSplashWindow(const std::string& imagePath);

// Removes the splash, if there is one.
void CloseSplashWindow();

// The splash's X window id, or 0 when there is none.
unsigned long SplashWindowId();

#endif  // KORVEL_SPLASH_SPLASH_WINDOW_H_
