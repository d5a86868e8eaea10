// X error handlers for the whole process: protocol errors are logged and
// otherwise ignored, so that no X error ends the program.

#ifndef KORVEL_APP_X_ERRORS_H_
#define KORVEL_APP_X_ERRORS_H_

#include <string>

#include "include/cef_app.h"

// Installs HandleXError and HandleXIOError as Xlib's handlers; before any
// X connection is opened, in every process role.
void InstallXErrorHandlers();

// CefInitialize, and once it has succeeded InstallXErrorHandlers again: the
// engine's toolkit puts in handlers of its own when it opens its display,
// which keep X errors out of the log and end the process when the
// connection is lost. Returns what CefInitialize returned.
bool InitializeEngineKeepingXHandlers(const CefMainArgs& args,
                                      const CefSettings& settings,
                                      CefRefPtr<CefApp> app);

// The warning record's text for an X error event's fields: "X error
// received: type N, serial N, error_code N, request_code N, minor_code N".
std::string DescribeXError(int type,
                           unsigned long serial,
                           unsigned char errorCode,
                           unsigned char requestCode,
                           unsigned char minorCode);

#endif  // KORVEL_APP_X_ERRORS_H_
