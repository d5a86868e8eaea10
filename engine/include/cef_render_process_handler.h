// Render-process callbacks of the application.

#ifndef CEF_INCLUDE_CEF_RENDER_PROCESS_HANDLER_H_
#define CEF_INCLUDE_CEF_RENDER_PROCESS_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_frame.h"
#include "include/cef_load_handler.h"
#include "include/cef_process_message.h"
#include "include/cef_values.h"

// Script and document objects of the renderer side, declared with the
// renderer-side interfaces.
class CefDOMNode;
class CefV8Context;
class CefV8Exception;
class CefV8StackTrace;

// Called on the render process main thread (TID_RENDERER) unless a method
// says otherwise.
class CefRenderProcessHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_navigation_type_t NavigationType;

  // The script engine is up; register extensions here.
  virtual void OnWebKitInitialized() {}

  // A browser now has a counterpart in this process. |extra_info| is the
  // read-only value given at browser creation, or null.
  virtual void OnBrowserCreated(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefDictionaryValue> extra_info) {}

  // The browser's counterpart in this process is going away.
  virtual void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) {}

  // Handler for load events seen in this process, or null.
  virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }

  // A frame's script context was created.
  virtual void OnContextCreated(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefRefPtr<CefV8Context> context) {}

  // A frame's script context is about to be released.
  virtual void OnContextReleased(CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefFrame> frame,
                                 CefRefPtr<CefV8Context> context) {}

  // An exception went uncaught in a frame (only when enabled in settings).
  virtual void OnUncaughtException(CefRefPtr<CefBrowser> browser,
                                   CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefV8Context> context,
                                   CefRefPtr<CefV8Exception> exception,
                                   CefRefPtr<CefV8StackTrace> stackTrace) {}

  // Focus moved to |node| (may be null) in |frame|.
  virtual void OnFocusedNodeChanged(CefRefPtr<CefBrowser> browser,
                                    CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefDOMNode> node) {}

  // A message from another process arrived; return true when handled.
  virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                        CefRefPtr<CefFrame> frame,
                                        CefProcessId source_process,
                                        CefRefPtr<CefProcessMessage> message) {
    return false;
  }
};

#endif  // CEF_INCLUDE_CEF_RENDER_PROCESS_HANDLER_H_
