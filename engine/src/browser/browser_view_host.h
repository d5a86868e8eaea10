// Seam between a browser (engine/src/browser/browser) and the view that shows
// it (engine/src/browser/views). Written on the browser side before the view
// side existed; the views code implements BrowserViewHost and may extend it.
//
// Life of a views-hosted browser:
//  1. The view calls CefBrowserImpl::Create(host, ...) once it can show a
//     page. Create calls the client's OnAfterCreated, then
//     host->OnBrowserCreated(browser) (the view delegate's OnBrowserCreated),
//     then navigates.
//     The view attaches browser->page() to its QWebEngineView.
//  2. When the browser is ready to close (DoClose returned false), it calls
//     host->CloseHostWindow(); the window asks its delegate's CanClose, which
//     normally calls TryCloseBrowser (now true), and the window goes away.
//  3. When the view is torn down it calls browser->OnViewDestroyed(); the
//     browser then runs OnBeforeClose and releases its page. The view must
//     not touch the page afterwards.
// Popups: the browser creates the popup's CefBrowserImpl itself (Qt needs the
// new page synchronously) and hands it to the opener's host through
// OnPopupBrowserCreated, which wraps it in a new view (SetViewHost) and calls
// the opener delegate's OnPopupBrowserViewCreated.

#ifndef CEFENGINE_BROWSER_BROWSER_VIEW_HOST_H_
#define CEFENGINE_BROWSER_BROWSER_VIEW_HOST_H_

#include "include/cef_browser.h"
#include "include/internal/cef_types_linux.h"

class QWidget;

namespace cefengine {

class BrowserViewHost {
 public:
  virtual ~BrowserViewHost() = default;

  // The browser now exists; the view delegate hears of it here. UI thread.
  virtual void OnBrowserCreated(CefRefPtr<CefBrowser> browser) {}

  // A popup of this view's browser was allowed and created (its client has
  // had OnAfterCreated). The host wraps it in a browser view, attaches it
  // with CefBrowserImpl::SetViewHost and passes the view to its delegate's
  // OnPopupBrowserViewCreated. |is_devtools| marks the browser of the
  // developer tools. UI thread.
  virtual void OnPopupBrowserCreated(CefRefPtr<CefBrowser> popup,
                                     bool is_devtools) {}

  // The browser closed without its view being torn down (no window to close)
  // and is about to run OnBeforeClose: the view lets go of it and its page.
  // Ignored when it comes during OnViewDestroyed. UI thread.
  virtual void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) {}

  // The widget that shows the page, or null.
  virtual QWidget* GetViewWidget() = 0;

  // X window id of the top-level window holding the view, 0 when none.
  virtual cef_window_handle_t GetWindowHandle() = 0;

  // Starts closing the top-level window through its normal close path
  // (CefWindowDelegate::CanClose). Returns false when there is no window to
  // close; the browser then finishes closing on its own.
  virtual bool CloseHostWindow() = 0;

  // Gives or takes keyboard focus to or from the page.
  virtual void SetFocus(bool focus) = 0;

  // True when the host is a CefBrowserView (CefBrowserHost::HasView).
  virtual bool IsBrowserView() const { return true; }
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_VIEW_HOST_H_
