// A top-level window of its own for a browser that no CefBrowserView shows:
// those made with CefBrowserHost::CreateBrowser and popups of such browsers.
// Closing it asks the browser (TryCloseBrowser) first, as the real engine's
// own windows do.

#ifndef CEFENGINE_BROWSER_BROWSER_NATIVE_BROWSER_WINDOW_H_
#define CEFENGINE_BROWSER_BROWSER_NATIVE_BROWSER_WINDOW_H_

#include <QWebEngineView>

#include "browser/browser_view_host.h"
#include "include/cef_browser.h"

namespace cefengine {

class CefBrowserImpl;

class NativeBrowserWindow : public QWebEngineView, public BrowserViewHost {
 public:
  // Creates the window for an existing |browser| and shows it at |bounds|
  // (a default size, placed by the window manager, when empty). UI thread.
  static void Open(CefRefPtr<CefBrowserImpl> browser, const CefRect& bounds);

  // An empty window, to be handed to CefBrowserImpl::Create.
  explicit NativeBrowserWindow(const CefRect& bounds);
  ~NativeBrowserWindow() override;

  // BrowserViewHost methods:
  void OnBrowserCreated(CefRefPtr<CefBrowser> browser) override;
  QWidget* GetViewWidget() override;
  cef_window_handle_t GetWindowHandle() override;
  bool CloseHostWindow() override;
  void SetFocus(bool focus) override;
  bool IsBrowserView() const override;

 protected:
  // QWidget methods:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Attach(CefRefPtr<CefBrowserImpl> browser);

  const CefRect bounds_;
  CefRefPtr<CefBrowserImpl> browser_;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_NATIVE_BROWSER_WINDOW_H_
