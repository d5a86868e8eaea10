// Per-request-context callbacks. Declared for the default handler slot of
// CefBrowserProcessHandler; the development engine does not call it.

#ifndef CEF_INCLUDE_CEF_REQUEST_CONTEXT_HANDLER_H_
#define CEF_INCLUDE_CEF_REQUEST_CONTEXT_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_preference.h"
#include "include/cef_request.h"
#include "include/cef_resource_request_handler.h"

class CefRequestContext;

class CefRequestContextHandler : public virtual CefBaseRefCounted {
 public:
  // |request_context| is ready for use. UI thread.
  virtual void OnRequestContextInitialized(
      CefRefPtr<CefRequestContext> request_context) {}

  // The handler for one resource request of this context, or null for the
  // default handling. IO thread.
  virtual CefRefPtr<CefResourceRequestHandler> GetResourceRequestHandler(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      CefRefPtr<CefRequest> request,
      bool is_navigation,
      bool is_download,
      const CefString& request_initiator,
      bool& disable_default_handling) {
    return nullptr;
  }
};

#endif  // CEF_INCLUDE_CEF_REQUEST_CONTEXT_HANDLER_H_
