// Client-side hooks of a browser view: its browser's creation and
// destruction, and the views that popups of the browser get.

#ifndef CEF_INCLUDE_VIEWS_CEF_BROWSER_VIEW_DELEGATE_H_
#define CEF_INCLUDE_VIEWS_CEF_BROWSER_VIEW_DELEGATE_H_
#pragma once

#include "include/cef_client.h"
#include "include/views/cef_view_delegate.h"

class CefBrowser;
class CefBrowserView;

class CefBrowserViewDelegate : public CefViewDelegate {
 public:
  // |browser| of |browser_view| exists (after the client's OnAfterCreated).
  virtual void OnBrowserCreated(CefRefPtr<CefBrowserView> browser_view,
                                CefRefPtr<CefBrowser> browser) {}

  // |browser| is going away (before the client's OnBeforeClose); drop every
  // reference to it.
  virtual void OnBrowserDestroyed(CefRefPtr<CefBrowserView> browser_view,
                                  CefRefPtr<CefBrowser> browser) {}

  // Delegate for the view of a popup opened from |browser_view|.
  virtual CefRefPtr<CefBrowserViewDelegate> GetDelegateForPopupBrowserView(
      CefRefPtr<CefBrowserView> browser_view,
      const CefBrowserSettings& settings,
      CefRefPtr<CefClient> client,
      bool is_devtools) {
    return this;
  }

  // The view of a popup of |browser_view| exists. Return true after placing
  // it yourself; false lets the engine give it a window of its own.
  virtual bool OnPopupBrowserViewCreated(
      CefRefPtr<CefBrowserView> browser_view,
      CefRefPtr<CefBrowserView> popup_browser_view,
      bool is_devtools) {
    return false;
  }

  // Frameless windows for picture-in-picture popups.
  virtual bool UseFramelessWindowForPictureInPicture(
      CefRefPtr<CefBrowserView> browser_view) {
    return false;
  }

  // Script moves and resizes of picture-in-picture popups.
  virtual bool AllowMoveForPictureInPicture(
      CefRefPtr<CefBrowserView> browser_view) {
    return false;
  }

  // Runtime style of this view's browser.
  virtual cef_runtime_style_t GetBrowserRuntimeStyle() {
    return CEF_RUNTIME_STYLE_DEFAULT;
  }
};

#endif  // CEF_INCLUDE_VIEWS_CEF_BROWSER_VIEW_DELEGATE_H_
