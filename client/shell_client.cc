#include "client/shell_client.h"

#include <atomic>
#include <utility>

#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "include/wrapper/cef_helpers.h"

PopupRect lastPopupRect;

namespace {

// The process-wide client. Set and cleared on the UI thread; other threads
// only ask whether there is one.
std::atomic<ShellClient*> g_instance{nullptr};

}  // namespace

ShellClient::ShellClient(bool showTitle,
                         std::string appUrl,
                         const std::string& allowList)
    : appUrl(std::move(appUrl)),
      allowedHosts(BuildAllowList(allowList)),
      showTitle_(showTitle) {
  g_instance = this;
}

ShellClient::~ShellClient() {
  ShellClient* self = this;
  g_instance.compare_exchange_strong(self, nullptr);
}

CefRefPtr<ShellClient> ShellClient::GetInstance() {
  CEF_REQUIRE_UI_THREAD();
  return g_instance.load();
}

bool ShellClient::HasInstance() {
  return g_instance.load() != nullptr;
}

bool ShellClient::IsAllowedUrl(const CefString& url) const {
  return ::IsAllowedUrl(url, allowedHosts);
}

void ShellClient::OnTitleChange(CefRefPtr<CefBrowser> browser,
                                const CefString& title) {
  CEF_REQUIRE_UI_THREAD();
  if (!showTitle_) {
    return;
  }
  CefRefPtr<CefBrowserView> view = CefBrowserView::GetForBrowser(browser);
  CefRefPtr<CefWindow> window = view ? view->GetWindow() : nullptr;
  if (window) {
    window->SetTitle(title);
  }
}
