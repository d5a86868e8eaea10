// The load-failure facet of ShellClient: the error page instead of the
// engine's own, and the app loads behind the page's loadApp (and the error
// page's Reload), which wait for the backend with the splash up.

#include "backend/readiness.h"
#include "client/detached_thread.h"
#include "client/error_page.h"
#include "client/shell_client.h"
#include "client/ui_task.h"
#include "include/cef_task.h"
#include "include/wrapper/cef_helpers.h"
#include "shell/main_window.h"
#include "splash/splash.h"

namespace {

// The size of the error page's window.
constexpr int kErrorPageWidth = 850;
constexpr int kErrorPageHeight = 550;

}  // namespace

void ShellClient::OnLoadError(CefRefPtr<CefBrowser> browser,
                              CefRefPtr<CefFrame> frame,
                              ErrorCode errorCode,
                              const CefString& errorText,
                              const CefString& failedUrl) {
  CEF_REQUIRE_UI_THREAD();
  // An aborted load was replaced by another one; subframes fail quietly.
  if (errorCode == ERR_ABORTED || !frame || !frame->IsMain()) {
    return;
  }
  if (splashShown) {
    CloseSplash(this);
  }
  ShowErrorPage(browser, frame, failedUrl.ToString());
}

void ShellClient::ShowErrorPage(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                const std::string& reloadUrl) {
  if (!CefCurrentlyOn(TID_UI)) {
    CefRefPtr<ShellClient> self(this);
    PostUiTask([self, browser, frame, reloadUrl] {
      self->ShowErrorPage(browser, frame, reloadUrl);
    });
    return;
  }
  if (!frame) {
    return;
  }
  if (browser) {
    pendingLoads.erase(browser->GetIdentifier());
    if (CefRefPtr<CefWindow> window = WindowOf(browser)) {
      window->CenterWindow(CefSize(kErrorPageWidth, kErrorPageHeight));
      window->Hide();
    }
  }
  frame->LoadURL(BuildErrorPageUrl(reloadUrl.empty() ? appUrl : reloadUrl));
}

void ShellClient::LoadApp(CefRefPtr<CefBrowser> browser,
                          const std::string& url) {
  if (!CefCurrentlyOn(TID_UI)) {
    CefRefPtr<ShellClient> self(this);
    PostUiTask([self, browser, url] { self->LoadApp(browser, url); });
    return;
  }
  // An ending application puts up no splash and waits for no backend.
  if (!browser || ending) {
    return;
  }
  const std::string target = url.empty() ? appUrl : url;
  if (target.empty()) {
    return;
  }
  const uint32_t generation = nextLoadGeneration++;
  pendingLoads[browser->GetIdentifier()] = generation;
  CenterWindowForScreen(browser);
  HideWindow(browser);
  if (!splashShown) {
    ShowSplash(this, browser);
  }
  CefRefPtr<ShellClient> self(this);
  const bool waiting = RunDetached([self, browser, generation, target] {
    const bool ready =
        WaitForBackend(target, backendProbeAttempts, backendProbeIntervalMs);
    PostUiTask([self, browser, generation, target, ready] {
      self->FinishLoadApp(browser, generation, target, ready);
    });
  });
  // Without a thread to wait on, the load ends as one the backend never
  // answered: the error page, whose Reload tries again.
  if (!waiting) {
    FinishLoadApp(browser, generation, target, false);
  }
}

void ShellClient::FinishLoadApp(CefRefPtr<CefBrowser> browser,
                                uint32_t generation,
                                const std::string& url,
                                bool ready) {
  CEF_REQUIRE_UI_THREAD();
  if (!browser) {
    return;
  }
  // A later load, an error page or the browser's close came first.
  auto pending = pendingLoads.find(browser->GetIdentifier());
  if (pending == pendingLoads.end() || pending->second != generation) {
    return;
  }
  pendingLoads.erase(pending);
  CefRefPtr<CefFrame> main = browser->GetMainFrame();
  if (!main) {
    return;
  }
  if (ready) {
    // The splash stays until the page shows itself.
    main->LoadURL(url);
    return;
  }
  if (splashShown) {
    CloseSplash(this);
  }
  ShowErrorPage(browser, main, url);
}
