// Process entry points of the engine and the application interface that
// hands the engine its per-process handlers.

#ifndef CEF_INCLUDE_CEF_APP_H_
#define CEF_INCLUDE_CEF_APP_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser_process_handler.h"
#include "include/cef_command_line.h"
#include "include/cef_render_process_handler.h"
#include "include/cef_resource_bundle_handler.h"

class CefApp;
class CefSchemeRegistrar;

// Runs a secondary process when the command line carries a "type" switch and
// returns its exit code once it has ended; returns -1 at once in the browser
// process (no "type" switch). |application| may be null.
int CefExecuteProcess(const CefMainArgs& args,
                      CefRefPtr<CefApp> application,
                      void* windows_sandbox_info);

// Starts the browser process on the calling (main) thread. Returns false when
// the engine cannot start or when another browser process already owns
// |settings.root_cache_path|; that process has then been told about this
// launch and the caller should exit without further engine calls.
bool CefInitialize(const CefMainArgs& args,
                   const CefSettings& settings,
                   CefRefPtr<CefApp> application,
                   void* windows_sandbox_info);

// The result of CefInitialize as a process exit code (0 after success).
int CefGetExitCode();

// Stops the browser process. Call on the main thread after the message loop
// has returned; no engine call is allowed afterwards.
void CefShutdown();

// Processes pending work of the main thread once without blocking.
void CefDoMessageLoopWork();

// Runs the main thread's message loop until CefQuitMessageLoop.
void CefRunMessageLoop();

// Makes CefRunMessageLoop return. Main thread only.
void CefQuitMessageLoop();

// Implemented by the application to give the engine its handlers. The engine
// calls each method on the process and thread the method names.
class CefApp : public virtual CefBaseRefCounted {
 public:
  // Lets the application edit the command line before the engine reads it.
  // |process_type| is empty in the browser process. Switches that stand for
  // CefSettings fields are already present. Keep no reference to
  // |command_line|.
  virtual void OnBeforeCommandLineProcessing(
      const CefString& process_type,
      CefRefPtr<CefCommandLine> command_line) {}

  // Registers custom URL schemes; called on the main thread of every process.
  virtual void OnRegisterCustomSchemes(
      CefRawPtr<CefSchemeRegistrar> registrar) {}

  // Handler for resource bundle requests, or null for the pack files.
  virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() {
    return nullptr;
  }

  // Handler for browser-process events; may be called on any browser thread.
  virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() {
    return nullptr;
  }

  // Handler for render-process events; called on the renderer main thread.
  virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() {
    return nullptr;
  }
};

#endif  // CEF_INCLUDE_CEF_APP_H_
