// The main window: one frameless top-level window whose only content is the
// browser view on the application, created hidden and centred once the
// backend answers (or on the error page when it does not), plus the windows
// the engine opens for popups and the developer tools.

#ifndef KORVEL_SHELL_MAIN_WINDOW_H_
#define KORVEL_SHELL_MAIN_WINDOW_H_

#include <optional>
#include <string>

#include "client/shell_client.h"
#include "include/cef_browser.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_browser_view_delegate.h"
#include "include/views/cef_window.h"
#include "include/views/cef_window_delegate.h"

// The view delegate of the main view and of every popup view.
class MainViewDelegate : public CefBrowserViewDelegate {
 public:
  MainViewDelegate() = default;

  // CefBrowserViewDelegate methods:
  bool OnPopupBrowserViewCreated(CefRefPtr<CefBrowserView> browser_view,
                                 CefRefPtr<CefBrowserView> popup_browser_view,
                                 bool is_devtools) override;
  cef_runtime_style_t GetBrowserRuntimeStyle() override {
    return CEF_RUNTIME_STYLE_ALLOY;
  }

 private:
  IMPLEMENT_REFCOUNTING(MainViewDelegate);
  DISALLOW_COPY_AND_ASSIGN(MainViewDelegate);
};

// The delegate of each top-level window: the main window, popups and the
// developer tools.
class MainWindowDelegate : public CefWindowDelegate {
 public:
  MainWindowDelegate(bool isDevTools, CefRefPtr<CefBrowserView> browserView)
      : isDevTools(isDevTools), browserView(browserView) {}

  // CefWindowDelegate methods:
  CefSize GetMinimumSize(CefRefPtr<CefView> view) override {
    return CefSize(600, 400);
  }
  void OnWindowCreated(CefRefPtr<CefWindow> window) override;
  void OnWindowDestroyed(CefRefPtr<CefWindow> window) override;
  bool IsFrameless(CefRefPtr<CefWindow> window) override { return !isDevTools; }
  bool CanClose(CefRefPtr<CefWindow> window) override;
  cef_runtime_style_t GetWindowRuntimeStyle() override {
    return CEF_RUNTIME_STYLE_ALLOY;
  }

 private:
  const bool isDevTools;
  CefRefPtr<CefBrowserView> browserView;

  IMPLEMENT_REFCOUNTING(MainWindowDelegate);
  DISALLOW_COPY_AND_ASSIGN(MainWindowDelegate);
};

// Waits on the calling (detached) thread until |url| answers, then has the
// UI thread create the main window on |url|, or on the error page that
// retries it when the backend never answered.
void OpenMainWindow(CefRefPtr<ShellClient> client,
                    std::string url,
                    bool views,
                    CefBrowserSettings settings);

// Creates the browser view on |url| and its top-level window. UI thread.
void CreateBrowserWindow(CefRefPtr<ShellClient> client,
                         const std::string& url,
                         bool views,
                         const CefBrowserSettings& settings);

// Sets the X class of window |xid| to the shell's, on the engine's display.
void SetWindowClass(unsigned long xid);

// The size of the default X screen, read over a connection of its own;
// false (outputs untouched) without a display.
bool GetScreenSize(int& width, int& height);

// The window size for a screen |screenHeight| pixels high. With |capped|,
// screens taller than 2600 pixels get none: the window keeps the engine's
// placement.
std::optional<CefSize> WindowSizeForScreen(int screenHeight, bool capped);

// The top-level window holding |browser|'s view, or null. UI thread.
CefRefPtr<CefWindow> WindowOf(CefRefPtr<CefBrowser> browser);

// Window operations on the top-level window holding |browser|'s view; each
// does nothing when there is no such window. UI thread.
void ShowWindow(CefRefPtr<CefBrowser> browser);
void HideWindow(CefRefPtr<CefBrowser> browser);
void CenterWindowForScreen(CefRefPtr<CefBrowser> browser);

#endif  // KORVEL_SHELL_MAIN_WINDOW_H_
