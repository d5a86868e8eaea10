#include "browser/drag/pointer_state.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xlib.h>

namespace cefengine {

bool PointerButtonDown() {
  auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
              : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) {
    return false;
  }
  Window root = 0;
  Window child = 0;
  int root_x = 0;
  int root_y = 0;
  int x = 0;
  int y = 0;
  unsigned int mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &root_x,
                &root_y, &x, &y, &mask);
  return (mask & (Button1Mask | Button2Mask | Button3Mask)) != 0;
}

}  // namespace cefengine
