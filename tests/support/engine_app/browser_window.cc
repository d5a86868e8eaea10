#include "tests/support/engine_app/browser_window.h"

namespace engine_test_app {

void BrowserWindowDelegate::OnWindowCreated(CefRefPtr<CefWindow> window) {
  window->AddChildView(view_);
  window->CenterWindow(size_);
  window->Show();
}

void BrowserWindowDelegate::OnWindowDestroyed(CefRefPtr<CefWindow> window) {
  view_ = nullptr;
}

bool BrowserWindowDelegate::CanClose(CefRefPtr<CefWindow> window) {
  CefRefPtr<CefBrowser> browser = view_ ? view_->GetBrowser() : nullptr;
  return !browser || browser->GetHost()->TryCloseBrowser();
}

}  // namespace engine_test_app
