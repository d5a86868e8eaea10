#include "tests/splash/x_probe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Ignores the errors of probing a window that does not exist.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}

class Connection {
 public:
  Connection() : display_(XOpenDisplay(nullptr)) {
    XSetErrorHandler(IgnoreError);
  }
  ~Connection() {
    if (display_) {
      XCloseDisplay(display_);
    }
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Display* get() const { return display_; }

 private:
  Display* display_;
};

bool IsViewableDock(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) ||
      attributes.map_state != IsViewable) {
    return false;
  }
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
  const Atom dock = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, type, 0, 16, False, XA_ATOM, &actual,
                         &format, &count, &after, &data) != Success ||
      !data) {
    return false;
  }
  bool found = false;
  for (unsigned long i = 0; i < count && format == 32; ++i) {
    found = found || reinterpret_cast<Atom*>(data)[i] == dock;
  }
  XFree(data);
  return found;
}

int CountDocksBelow(Display* display, Window window) {
  Window root, parent;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) {
    return 0;
  }
  int docks = 0;
  for (unsigned int i = 0; i < count; ++i) {
    docks += IsViewableDock(display, children[i]) ? 1 : 0;
    docks += CountDocksBelow(display, children[i]);
  }
  if (children) {
    XFree(children);
  }
  return docks;
}

}  // namespace

std::vector<uint32_t> WindowPixels(unsigned long xid, int width, int height) {
  std::vector<uint32_t> pixels;
  Connection display;
  XImage* image = display.get() ? XGetImage(display.get(), xid, 0, 0, width,
                                            height, AllPlanes, ZPixmap)
                                : nullptr;
  if (!image) {
    return pixels;
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
    }
  }
  XDestroyImage(image);
  return pixels;
}

int CountViewableDocks() {
  Connection display;
  if (!display.get()) {
    return -1;
  }
  return CountDocksBelow(display.get(), DefaultRootWindow(display.get()));
}
