// Browser-process callbacks of the application.

#ifndef CEF_INCLUDE_CEF_BROWSER_PROCESS_HANDLER_H_
#define CEF_INCLUDE_CEF_BROWSER_PROCESS_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_client.h"
#include "include/cef_command_line.h"
#include "include/cef_preference.h"
#include "include/cef_request_context_handler.h"
#include "include/cef_values.h"

// Called on the browser process main (UI) thread unless a method says
// otherwise.
class CefBrowserProcessHandler : public virtual CefBaseRefCounted {
 public:
  // Lets the application register preferences of its own through
  // |registrar| (not kept past the call), for the global store or for each
  // request context. Called during CefInitialize, before
  // OnContextInitialized.
  virtual void OnRegisterCustomPreferences(
      cef_preferences_type_t type,
      CefRawPtr<CefPreferenceRegistrar> registrar) {}

  // The engine is ready: browsers may be created from here on.
  virtual void OnContextInitialized() {}

  // The command line of a child process about to start; may be edited. Keep
  // no reference to |command_line|.
  virtual void OnBeforeChildProcessLaunch(
      CefRefPtr<CefCommandLine> command_line) {}

  // Another launch of the application with the same root_cache_path was
  // refused and forwarded here with its (read-only) command line and working
  // directory. Return true when handled; false keeps the engine's default,
  // which for Alloy-style applications shows nothing.
  virtual bool OnAlreadyRunningAppRelaunch(
      CefRefPtr<CefCommandLine> command_line,
      const CefString& current_directory) {
    return false;
  }

  // Work was scheduled for the main thread (external message pump only).
  virtual void OnScheduleMessagePumpWork(int64_t delay_ms) {}

  // The client for browsers the engine creates on its own, or null.
  virtual CefRefPtr<CefClient> GetDefaultClient() { return nullptr; }

  // The handler for request contexts the engine creates on its own, or null.
  virtual CefRefPtr<CefRequestContextHandler>
  GetDefaultRequestContextHandler() {
    return nullptr;
  }
};

#endif  // CEF_INCLUDE_CEF_BROWSER_PROCESS_HANDLER_H_
