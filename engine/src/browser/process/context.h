// State of the browser process that the rest of the engine reads: the
// application, settings, command line, profile and renderer channel. All
// accessors are meant for the UI thread unless noted; they return empty
// values outside CefInitialize .. CefShutdown.

#ifndef CEFENGINE_BROWSER_PROCESS_CONTEXT_H_
#define CEFENGINE_BROWSER_PROCESS_CONTEXT_H_

#include <string>

#include "include/cef_app.h"
#include "include/cef_command_line.h"

class QWebEngineProfile;

namespace cefengine {

class RendererHost;

// True from a successful CefInitialize until CefShutdown starts. Any thread.
bool IsInitialized();

// The application given to CefInitialize, or null.
CefRefPtr<CefApp> GetApp();

// The application's browser-process handler, or null.
CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler();

// The settings given to CefInitialize (a copy owned by the engine).
const CefSettings& GetSettings();

// The process command line after the application's edits. Read-only use.
CefRefPtr<CefCommandLine> GetCommandLine();

// The one profile all browsers share. Its persistent storage (cookies, local
// storage, HTTP cache) lives in settings.cache_path, or root_cache_path when
// cache_path is empty.
QWebEngineProfile* GetProfile();

// X11 WM_CLASS for top-level windows: res_class is the "class" switch value,
// else the program name with its first letter upper-cased; res_name is the
// "class" switch value, else the program name.
std::string GetWindowClass();
std::string GetWindowName();

// The channel to the renderer-role process, or null when it is not running.
RendererHost* GetRendererHost();

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PROCESS_CONTEXT_H_
