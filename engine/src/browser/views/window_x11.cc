#include "browser/views/window_x11.h"

#include <QGuiApplication>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace cefengine {

namespace {

Display* QtDisplay() {
  auto* app = qGuiApp;
  auto* x11 =
      app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

std::vector<Atom> ReadAtoms(Display* display, Window window, Atom property) {
  std::vector<Atom> atoms;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 1024, False, XA_ATOM,
                         &type, &format, &count, &remaining,
                         &data) == Success &&
      data) {
    if (type == XA_ATOM && format == 32) {
      const auto* values = reinterpret_cast<const long*>(data);
      for (unsigned long i = 0; i < count; ++i) {
        atoms.push_back(static_cast<Atom>(values[i]));
      }
    }
    XFree(data);
  }
  return atoms;
}

// The first field of WM_STATE (WithdrawnState, NormalState, IconicState), or
// -1 when the window manager has not set it.
long WmState(Display* display, Window window) {
  const Atom wm_state = XInternAtom(display, "WM_STATE", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  long state = -1;
  if (XGetWindowProperty(display, window, wm_state, 0, 2, False,
                         AnyPropertyType, &type, &format, &count, &remaining,
                         &data) == Success &&
      type != None && format == 32 && count > 0 && data) {
    state = reinterpret_cast<const long*>(data)[0];
  }
  if (data) {
    XFree(data);
  }
  return state;
}

bool IsManaged(Display* display, Window window) {
  return WmState(display, window) != -1;
}

}  // namespace

void SetWindowClassHint(cef_window_handle_t window,
                        const std::string& name,
                        const std::string& klass) {
  Display* display = QtDisplay();
  if (!display || !window || name.empty() || klass.empty()) {
    return;
  }
  std::string name_copy = name;
  std::string class_copy = klass;
  XClassHint hint;
  hint.res_name = name_copy.data();
  hint.res_class = class_copy.data();
  XSetClassHint(display, window, &hint);
  XFlush(display);
}

bool HasNetWmState(cef_window_handle_t window, const char* state) {
  Display* display = QtDisplay();
  if (!display || !window) {
    return false;
  }
  const Atom wanted = XInternAtom(display, state, False);
  for (Atom atom : ReadAtoms(display, window,
                             XInternAtom(display, "_NET_WM_STATE", False))) {
    if (atom == wanted) {
      return true;
    }
  }
  return false;
}

bool IsIconic(cef_window_handle_t window) {
  Display* display = QtDisplay();
  return display && window && WmState(display, window) == IconicState;
}

void Iconify(cef_window_handle_t window) {
  Display* display = QtDisplay();
  if (!display || !window) {
    return;
  }
  XIconifyWindow(display, window, DefaultScreen(display));
  XFlush(display);
}

void Deiconify(cef_window_handle_t window) {
  Display* display = QtDisplay();
  if (!display || !window) {
    return;
  }
  XMapWindow(display, window);
  XFlush(display);
}

void SetKeepAbove(cef_window_handle_t window, bool above) {
  Display* display = QtDisplay();
  if (!display || !window) {
    return;
  }
  const Atom net_wm_state = XInternAtom(display, "_NET_WM_STATE", False);
  const Atom state_above = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);

  // The property is what an unmanaged window hands over; it is written in
  // both cases so that a manager taking the window right now sees it too.
  std::vector<Atom> atoms = ReadAtoms(display, window, net_wm_state);
  std::vector<long> values;
  for (Atom atom : atoms) {
    if (atom != state_above) {
      values.push_back(static_cast<long>(atom));
    }
  }
  if (above) {
    values.push_back(static_cast<long>(state_above));
  }
  XChangeProperty(display, window, net_wm_state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(values.data()),
                  static_cast<int>(values.size()));

  if (IsManaged(display, window)) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = net_wm_state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = above ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
    event.xclient.data.l[1] = static_cast<long>(state_above);
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = 1;  // Source: an application.
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
  }
  XFlush(display);
}

}  // namespace cefengine
