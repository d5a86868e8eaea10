#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

#include "include/internal/cef_types_linux.h"

XDisplay* cef_get_xdisplay(void) {
  auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
              : nullptr;
  return x11 ? reinterpret_cast<XDisplay*>(x11->display()) : nullptr;
}
