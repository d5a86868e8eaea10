#include "bench/x_watch.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

namespace bench {

namespace {

// Windows vanish between an event and the question about them; the answer
// is then simply "not it".
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

bool Near(unsigned long pixel, uint32_t rgb) {
  for (int shift : {16, 8, 0}) {
    const int a = static_cast<int>((pixel >> shift) & 0xff);
    const int b = static_cast<int>((rgb >> shift) & 0xff);
    if (std::abs(a - b) > 3) {
      return false;
    }
  }
  return true;
}

}  // namespace

double NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

XWatch::XWatch() {
  display_ = XOpenDisplay(nullptr);
  if (!display_) {
    return;
  }
  XSetErrorHandler(IgnoreErrors);
  root_ = DefaultRootWindow(display_);
  // Maps of the root's children: a window manager's frames and
  // override-redirect windows. A client becomes visible when its frame maps.
  XSelectInput(display_, root_, SubstructureNotifyMask);
  XSync(display_, False);
}

XWatch::~XWatch() {
  if (display_) {
    XCloseDisplay(display_);
  }
}

void XWatch::Reset() {
  XSync(display_, True);
}

bool XWatch::Matches(Window window, const Target& target) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes) ||
      attributes.map_state != IsViewable) {
    return false;
  }
  if (target.wmClass.empty()) {
    const Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
    const Atom dock = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DOCK", False);
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display_, window, type, 0, 16, False, XA_ATOM,
                           &actual, &format, &count, &after,
                           &data) == Success &&
        data) {
      const Atom* atoms = reinterpret_cast<const Atom*>(data);
      for (unsigned long i = 0; i < count; ++i) {
        found = found || atoms[i] == dock;
      }
      XFree(data);
    }
    return found;
  }
  XClassHint hint = {};
  if (!XGetClassHint(display_, window, &hint)) {
    return false;
  }
  const bool found = hint.res_class && target.wmClass == hint.res_class;
  XFree(hint.res_name);
  XFree(hint.res_class);
  return found;
}

Window XWatch::FindIn(Window top, const Target& target) {
  if (Matches(top, target)) {
    return top;
  }
  Window rootReturn, parent;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display_, top, &rootReturn, &parent, &children, &count)) {
    return 0;
  }
  Window found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = FindIn(children[i], target);
  }
  if (children) {
    XFree(children);
  }
  return found;
}

void XWatch::WaitForMaps(Target& main, Target* dock, double deadlineMs) {
  const int fd = ConnectionNumber(display_);
  auto done = [&] { return main.window && (!dock || dock->window); };
  auto look = [&](Window top, double at) {
    for (Target* target : {&main, dock}) {
      if (target && !target->window) {
        target->window = FindIn(top, *target);
        if (target->window) {
          target->mappedAtMs = at;
        }
      }
    }
  };
  // Maps a window manager makes inside a frame that is already mapped are
  // reported to the frame's listeners only, and an event may come before
  // the listening starts: a look at the whole tree every 50 ms without
  // events catches what the events miss.
  double lastFullLook = 0;
  while (!done()) {
    while (XPending(display_) && !done()) {
      XEvent event;
      XNextEvent(display_, &event);
      const double at = NowMs();
      if (event.type == CreateNotify && event.xcreatewindow.parent == root_) {
        XSelectInput(display_, event.xcreatewindow.window,
                     SubstructureNotifyMask);
      } else if (event.type == MapNotify) {
        look(event.xmap.window, at);
      }
    }
    const double now = NowMs();
    if (!done() && now - lastFullLook >= 50) {
      lastFullLook = now;
      look(root_, now);
    }
    const double left = deadlineMs - NowMs();
    if (done() || left <= 0) {
      return;
    }
    pollfd wait = {fd, POLLIN, 0};
    poll(&wait, 1, static_cast<int>(std::min(left, 50.0)) + 1);
  }
}

double XWatch::WaitForColour(Window window, uint32_t rgb, double deadlineMs) {
  while (NowMs() < deadlineMs) {
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child;
    if (!XGetWindowAttributes(display_, window, &attributes) ||
        !XTranslateCoordinates(display_, window, root_, 0, 0, &x, &y, &child)) {
      return 0;
    }
    const int w = attributes.width, h = attributes.height;
    const int points[3][2] = {
        {x + w / 2, y + h / 2}, {x + 8, y + 8}, {x + w - 9, y + h - 9}};
    bool all = true;
    for (const auto& point : points) {
      XImage* image = XGetImage(display_, root_, point[0], point[1], 1, 1,
                                AllPlanes, ZPixmap);
      if (!image) {
        all = false;
        break;
      }
      all = all && Near(XGetPixel(image, 0, 0), rgb);
      XDestroyImage(image);
    }
    if (all) {
      return NowMs();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return 0;
}

bool XWatch::SaveScreen(const std::string& path) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, root_, &attributes)) {
    return false;
  }
  XImage* image = XGetImage(display_, root_, 0, 0, attributes.width,
                            attributes.height, AllPlanes, ZPixmap);
  if (!image) {
    return false;
  }
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << attributes.width << " " << attributes.height << "\n255\n";
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const char rgb[3] = {static_cast<char>((pixel >> 16) & 0xff),
                           static_cast<char>((pixel >> 8) & 0xff),
                           static_cast<char>(pixel & 0xff)};
      out.write(rgb, 3);
    }
  }
  XDestroyImage(image);
  return static_cast<bool>(out);
}

}  // namespace bench
