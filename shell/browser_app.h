// The application object of the browser process (and of the engine's GPU
// and utility processes): the shell's engine switches, its preferences, and
// the start of everything visible once the engine is ready.

#ifndef KORVEL_SHELL_BROWSER_APP_H_
#define KORVEL_SHELL_BROWSER_APP_H_

#include <string>

#include "include/cef_app.h"
#include "include/cef_browser_process_handler.h"

// The application the backend serves, and where the shell looks first.
constexpr char kAppUrl[] = "http://localhost:35580";

class BrowserApp : public CefApp, public CefBrowserProcessHandler {
 public:
  BrowserApp(std::string appUrl, std::string allowList);

  // CefApp methods:
  void OnBeforeCommandLineProcessing(
      const CefString& process_type,
      CefRefPtr<CefCommandLine> command_line) override;
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }

  // CefBrowserProcessHandler methods:
  void OnContextInitialized() override;
  bool OnAlreadyRunningAppRelaunch(CefRefPtr<CefCommandLine> command_line,
                                   const CefString& current_directory) override;
  CefRefPtr<CefClient> GetDefaultClient() override;

 private:
  const std::string appUrl;
  const std::string allowList;

  IMPLEMENT_REFCOUNTING(BrowserApp);
  DISALLOW_COPY_AND_ASSIGN(BrowserApp);
};

// Sets the shell's fixed preferences on |context| where it knows them and
// lets them be set; everything else is skipped silently.
void ApplyShellPreferences(CefRefPtr<CefRequestContext> context);

#endif  // KORVEL_SHELL_BROWSER_APP_H_
