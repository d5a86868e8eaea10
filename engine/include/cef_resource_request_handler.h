// Per-request hooks of resource loads.

#ifndef CEF_INCLUDE_CEF_RESOURCE_REQUEST_HANDLER_H_
#define CEF_INCLUDE_CEF_RESOURCE_REQUEST_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_callback.h"
#include "include/cef_frame.h"
#include "include/cef_request.h"

// IO thread of the browser process.
class CefResourceRequestHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_return_value_t ReturnValue;
  typedef cef_urlrequest_status_t URLRequestStatus;

  // Before |request| is sent. RV_CONTINUE lets it go, RV_CANCEL blocks it
  // (the page sees a network error, ERR_BLOCKED_BY_CLIENT), RV_CONTINUE_ASYNC
  // holds it until |callback| is continued or cancelled. Continue the
  // callback from any thread but the UI thread: the engine holds the UI
  // thread while it waits (up to 10 seconds, then the request is cancelled).
  virtual ReturnValue OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser,
                                           CefRefPtr<CefFrame> frame,
                                           CefRefPtr<CefRequest> request,
                                           CefRefPtr<CefCallback> callback) {
    return RV_CONTINUE;
  }
};

#endif  // CEF_INCLUDE_CEF_RESOURCE_REQUEST_HANDLER_H_
