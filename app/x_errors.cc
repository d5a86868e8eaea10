#include "app/x_errors.h"

#include <X11/Xlib.h>

#include "include/base/cef_logging.h"

namespace {

// Writes one warning record unless warnings are below the engine's minimum
// log level. Returns 0, so that Xlib carries on.
int HandleXError(Display* display, XErrorEvent* event) {
  if (cef_get_min_log_level() > cef::logging::LOG_WARNING) {
    return 0;
  }
  const std::string text =
      DescribeXError(event->type, event->serial, event->error_code,
                     event->request_code, event->minor_code);
  cef_log("korvel_linux", 19, cef::logging::LOG_WARNING, text.c_str());
  return 0;
}

// Returns 0 and does nothing else; Xlib's own handling follows.
int HandleXIOError(Display* display) {
  return 0;
}

}  // namespace

void InstallXErrorHandlers() {
  XSetErrorHandler(HandleXError);
  XSetIOErrorHandler(HandleXIOError);
}

bool InitializeEngineKeepingXHandlers(const CefMainArgs& args,
                                      const CefSettings& settings,
                                      CefRefPtr<CefApp> app) {
  if (!CefInitialize(args, settings, app, nullptr)) {
    return false;
  }
  InstallXErrorHandlers();
  return true;
}

std::string DescribeXError(int type,
                           unsigned long serial,
                           unsigned char errorCode,
                           unsigned char requestCode,
                           unsigned char minorCode) {
  return "X error received: type " + std::to_string(type) + ", serial " +
         std::to_string(serial) + ", error_code " + std::to_string(errorCode) +
         ", request_code " + std::to_string(requestCode) + ", minor_code " +
         std::to_string(minorCode);
}
