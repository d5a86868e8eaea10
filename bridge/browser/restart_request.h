// The page's hot restart of the backend: the restart runs on a thread of its
// own and its outcome goes back to the page from the UI thread.

#ifndef KORVEL_BRIDGE_BROWSER_RESTART_REQUEST_H_
#define KORVEL_BRIDGE_BROWSER_RESTART_REQUEST_H_

#include <cstdint>
#include <string>

#include "include/cef_browser.h"
#include "include/cef_frame.h"

// The page's answer when no thread could be had for the restart; nothing
// was changed then.
inline constexpr char kRestartNotStarted[] = "backend restart could not start";

// Starts the restart on a new detached thread and returns at once; the
// answer goes to |frame| (the document that asked), or to the browser's main
// frame when that document is gone.
void StartRestartRequest(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefFrame> frame,
                         std::string reloadUrl,
                         int32_t expectedVersion,
                         std::string expectedVersionName);

// Sends "restartBackendResponse" with |ok| and |message| to the page. Any
// thread: it hops to the UI thread first. Nothing happens without a browser.
void SendRestartResponse(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefFrame> frame,
                         bool ok,
                         const std::string& message);

#endif  // KORVEL_BRIDGE_BROWSER_RESTART_REQUEST_H_
