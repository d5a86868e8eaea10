#include "shell/browser_app.h"

#include <utility>

#include "client/detached_thread.h"
#include "client/shell_client.h"
#include "include/cef_request_context.h"
#include "include/wrapper/cef_helpers.h"
#include "shell/engine_switches.h"
#include "shell/main_window.h"
#include "splash/splash.h"

BrowserApp::BrowserApp(std::string appUrl, std::string allowList)
    : appUrl(std::move(appUrl)), allowList(std::move(allowList)) {}

void BrowserApp::OnBeforeCommandLineProcessing(
    const CefString& process_type,
    CefRefPtr<CefCommandLine> command_line) {
  ApplyEngineSwitches(command_line);
}

void BrowserApp::OnContextInitialized() {
  CEF_REQUIRE_UI_THREAD();
  CefRefPtr<ShellClient> client = new ShellClient(true, appUrl, allowList);
  // A stop signal or the backend's exit that came before the client existed
  // (asked only now that it does, so that no request falls in between).
  if (ShellClient::EndRequested()) {
    client->EndApplication();
    return;
  }

  CefBrowserSettings settings;
  settings.javascript_access_clipboard = STATE_ENABLED;
  settings.chrome_status_bubble = STATE_DISABLED;
  settings.chrome_zoom_bubble = STATE_DISABLED;

  ApplyShellPreferences(CefRequestContext::GetGlobalContext());
  ShowSplash(client, nullptr);
  // The wait for the backend must not hold up the UI thread, which keeps
  // the splash on screen meanwhile.
  const std::string url = appUrl;
  if (!RunDetached([client, url, settings] {
        OpenMainWindow(client, url, true, settings);
      })) {
    // No thread to wait on: open at once; a backend that is not up yet
    // shows the error page through the load error.
    CreateBrowserWindow(client, url, true, settings);
  }
}

bool BrowserApp::OnAlreadyRunningAppRelaunch(
    CefRefPtr<CefCommandLine> command_line,
    const CefString& current_directory) {
  CEF_REQUIRE_UI_THREAD();
  // A second start brings the running window forward. Before the client
  // exists and while the application closes there is nothing to raise, but
  // the relaunch still counts as handled: unhandled, the engine would open a
  // window of its own, which would also keep the closing application alive.
  CefRefPtr<ShellClient> client = ShellClient::GetInstance();
  if (client && !client->closing) {
    client->RaiseMainWindow();
  }
  return true;
}

CefRefPtr<CefClient> BrowserApp::GetDefaultClient() {
  return ShellClient::GetInstance();
}

void ApplyShellPreferences(CefRefPtr<CefRequestContext> context) {
  if (!context) {
    return;
  }
  // Chromium 138's names. Saving passwords is "credentials_enable_service"
  // alone: it replaced "profile.password_manager_enabled", which Chromium no
  // longer registers. The bookmarks bar is "bookmark_bar.show_on_all_tabs".
  for (const char* name : {
           "credentials_enable_service",
           "profile.password_manager_leak_detection",
           "autofill.profile_enabled",
           "autofill.credit_card_enabled",
           "bookmark_bar.show_on_all_tabs",
           "alternate_error_pages.enabled",
       }) {
    if (!context->HasPreference(name) || !context->CanSetPreference(name)) {
      continue;
    }
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetBool(false);
    CefString error;
    context->SetPreference(name, value, error);
  }
}
