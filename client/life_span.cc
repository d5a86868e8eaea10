// The life-cycle facet of ShellClient: the list of open browsers, the
// start-up script after every load, the page's say in leaving it, the end of
// the application with the last browser, and the operations on all browsers
// or on the main window that other threads ask for.

#include "client/shell_client.h"

#include <atomic>
#include <functional>

#include "bridge/common/bridge_messages.h"
#include "bridge/common/reply_scripts.h"
#include "client/ui_task.h"
#include "include/cef_app.h"
#include "include/cef_task.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "include/wrapper/cef_helpers.h"
#include "instance/client_actions.h"
#include "splash/splash.h"

namespace {

// Set once by RequestEnd; ordered against the client's registration (both
// sequentially consistent) so that a request is never lost between them.
std::atomic<bool> g_endRequested{false};

// Runs |run| on the UI thread with the process-wide client, if there is one
// now and still by then.
void WithInstance(std::function<void(CefRefPtr<ShellClient>)> run) {
  if (!ShellClient::HasInstance()) {
    return;
  }
  PostUiTask([run] {
    if (CefRefPtr<ShellClient> client = ShellClient::GetInstance()) {
      run(client);
    }
  });
}

}  // namespace

void ShellClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  CEF_REQUIRE_UI_THREAD();
  browsers.push_back(browser);
  if (browsersBeingCreated > 0) {
    --browsersBeingCreated;
  }
  if (ending) {
    // Asked for before the application began to end: it goes at once, out
    // of the engine's creation call.
    PostUiTask([browser] { browser->GetHost()->CloseBrowser(true); });
  }
}

bool ShellClient::DoClose(CefRefPtr<CefBrowser> browser) {
  CEF_REQUIRE_UI_THREAD();
  if (browsers.size() == 1) {
    closing = true;
  }
  return false;
}

void ShellClient::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
  CEF_REQUIRE_UI_THREAD();
  if (browser) {
    pendingLoads.erase(browser->GetIdentifier());
  }
  for (auto it = browsers.begin(); it != browsers.end(); ++it) {
    if ((*it)->IsSame(browser)) {
      browsers.erase(it);
      break;
    }
  }
  // The engine must not shut down while a browser is still being created.
  if (browsers.empty() && browsersBeingCreated == 0) {
    CefQuitMessageLoop();
  }
}

void ShellClient::OnLoadEnd(CefRefPtr<CefBrowser> browser,
                            CefRefPtr<CefFrame> frame,
                            int httpStatusCode) {
  CEF_REQUIRE_UI_THREAD();
  // Every load end, subframes included, renews the main page's settings.
  if (CefRefPtr<CefFrame> main = browser->GetMainFrame()) {
    main->ExecuteJavaScript(kStartupScript, "", 0);
  }
}

bool ShellClient::OnBeforeUnloadDialog(
    CefRefPtr<CefBrowser> browser,
    const CefString& message_text,
    bool is_reload,
    CefRefPtr<CefJSDialogCallback> callback) {
  CEF_REQUIRE_UI_THREAD();
  // The page asks the user in its own way. The callback is never continued:
  // a leave goes ahead only through the page's own close request.
  CefRefPtr<CefProcessMessage> message =
      CefProcessMessage::Create(bridge::kOnBeforeUnload);
  message->GetArgumentList()->SetBool(0, is_reload);
  if (CefRefPtr<CefFrame> main = browser->GetMainFrame()) {
    main->SendProcessMessage(PID_RENDERER, message);
  }
  return true;
}

void ShellClient::CloseAllBrowsers(bool force) {
  if (!CefCurrentlyOn(TID_UI)) {
    CefRefPtr<ShellClient> self(this);
    PostUiTask([self, force] { self->CloseAllBrowsers(force); });
    return;
  }
  // Closing may change the list; work on a copy.
  const std::vector<CefRefPtr<CefBrowser>> open = browsers;
  for (const CefRefPtr<CefBrowser>& browser : open) {
    browser->GetHost()->CloseBrowser(force);
  }
}

void ShellClient::EndApplication() {
  CEF_REQUIRE_UI_THREAD();
  if (ending) {
    return;
  }
  ending = true;
  closing = true;
  pendingLoads.clear();
  CloseSplash(this);
  if (browsers.empty()) {
    if (browsersBeingCreated == 0) {
      CefQuitMessageLoop();
    }
    return;
  }
  CloseAllBrowsers(true);
}

void ShellClient::RequestEnd() {
  g_endRequested = true;
  WithInstance([](CefRefPtr<ShellClient> client) { client->EndApplication(); });
}

bool ShellClient::EndRequested() {
  return g_endRequested;
}

void ShellClient::RaiseMainWindow() {
  if (!CefCurrentlyOn(TID_UI)) {
    CefRefPtr<ShellClient> self(this);
    PostUiTask([self] { self->RaiseMainWindow(); });
    return;
  }
  // A window on its way out is not brought back.
  if (browsers.empty() || ending) {
    return;
  }
  CefRefPtr<CefBrowser> browser = browsers.front();
  CefRefPtr<CefBrowserView> view = CefBrowserView::GetForBrowser(browser);
  if (CefRefPtr<CefWindow> window = view ? view->GetWindow() : nullptr) {
    if (window->IsMinimized()) {
      window->Restore();
    }
    window->Show();
    window->Activate();
    window->BringToTop();
    window->RequestFocus();
  }
  browser->GetHost()->SetFocus(true);
}

void CloseAllBrowsersOnBackendExit() {
  // Also before any window exists, even before the engine has started (a
  // backend that cannot bind its port exits at once): the readiness wait
  // must not go on to open a window on a dead backend.
  ShellClient::RequestEnd();
}

void RaiseMainWindowOnReopen() {
  WithInstance(
      [](CefRefPtr<ShellClient> client) { client->RaiseMainWindow(); });
}
