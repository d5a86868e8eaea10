#include "splash/splash_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstdio>

#include "splash/splash_image.h"

namespace {

// The splash's own connection (closing it destroys the window) and image.
Display* g_display = nullptr;
XImage* g_image = nullptr;
Window g_window = 0;

// How long the UI thread waits for the window's first exposure. A window
// manager that never maps the window must not hang the browser.
constexpr int kFirstEventTimeoutMs = 3000;

void DestroySplash() {
  if (!g_display) {
    return;
  }
  if (g_image) {
    XDestroyImage(g_image);  // frees the pixels too
  }
  XCloseDisplay(g_display);
  g_display = nullptr;
  g_image = nullptr;
  g_window = 0;
}

// Waits for the next event on |display| for up to |timeoutMs|.
void WaitForFirstEvent(Display* display, int timeoutMs) {
  XFlush(display);
  if (XPending(display) == 0) {
    pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) {
      return;
    }
  }
  XEvent event;
  XNextEvent(display, &event);
}

}  // namespace

void OpenSplashWindow(const std::string& imagePath) {
  DestroySplash();
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    return;
  }
  const SplashImage picture = ReadSplashImageFile(imagePath.c_str());

  const int screen = DefaultScreen(display);
  const int width = picture.width;
  const int height = picture.height;
  const int x = (DisplayWidth(display, screen) - width) / 2;
  const int y = (DisplayHeight(display, screen) - height) / 2;
  const Window window = XCreateSimpleWindow(
      display, RootWindow(display, screen), x, y, width, height, 1,
      BlackPixel(display, screen), WhitePixel(display, screen));
  XSelectInput(display, window, ExposureMask);
  // A dock stays above other windows, undecorated and out of the task list.
  // The window manager reads the type when it takes the window on, so it is
  // set before the window is mapped.
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
  const Atom dock = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
  XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dock), 1);
  XMapWindow(display, window);

  XImage* image = nullptr;
  if (picture.pixels) {
    image = XCreateImage(display, DefaultVisual(display, screen),
                         DefaultDepth(display, screen), ZPixmap, 0,
                         picture.pixels, width, height, 32, 4 * width);
    if (!image) {
      free(picture.pixels);
    }
  }
  if (picture.empty) {
    fputs("Image data does not exist\n", stdout);
    fflush(stdout);
  }
  g_display = display;
  g_image = image;
  g_window = window;

  WaitForFirstEvent(display, kFirstEventTimeoutMs);
  if (image) {
    XPutImage(display, window, DefaultGC(display, screen), image, 0, 0, 0, 0,
              width, height);
  }
  // Whatever Xlib still buffers would otherwise wait for the next request on
  // this connection, which may be the close.
  XFlush(display);
}

void CloseSplashWindow() {
  DestroySplash();
}

unsigned long SplashWindowId() {
  return g_window;
}
