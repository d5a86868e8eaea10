// A top-level window that hosts one browser view, for the test apps.

#ifndef TESTS_SUPPORT_ENGINE_APP_BROWSER_WINDOW_H_
#define TESTS_SUPPORT_ENGINE_APP_BROWSER_WINDOW_H_

#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"

namespace engine_test_app {

// Shows |view| centred at |size|; the window closes only once the browser
// agrees (its unload handlers ran), the way the shell's close button works.
class BrowserWindowDelegate : public CefWindowDelegate {
 public:
  BrowserWindowDelegate(CefRefPtr<CefBrowserView> view,
                        const CefSize& size,
                        bool frameless)
      : view_(view), size_(size), frameless_(frameless) {}

  // CefWindowDelegate methods:
  void OnWindowCreated(CefRefPtr<CefWindow> window) override;
  void OnWindowDestroyed(CefRefPtr<CefWindow> window) override;
  bool CanClose(CefRefPtr<CefWindow> window) override;
  bool IsFrameless(CefRefPtr<CefWindow> window) override { return frameless_; }

 private:
  CefRefPtr<CefBrowserView> view_;
  const CefSize size_;
  const bool frameless_;

  IMPLEMENT_REFCOUNTING(BrowserWindowDelegate);
};

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_BROWSER_WINDOW_H_
