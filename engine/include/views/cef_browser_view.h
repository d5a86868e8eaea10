// A view that shows one browser. UI thread only.

#ifndef CEF_INCLUDE_VIEWS_CEF_BROWSER_VIEW_H_
#define CEF_INCLUDE_VIEWS_CEF_BROWSER_VIEW_H_
#pragma once

#include "include/cef_browser.h"
#include "include/views/cef_browser_view_delegate.h"
#include "include/views/cef_view.h"

class CefBrowserView : public CefView {
 public:
  // Creates the view. Its browser is created, and starts loading |url|, when
  // the view is first added to a window.
  static CefRefPtr<CefBrowserView> CreateBrowserView(
      CefRefPtr<CefClient> client,
      const CefString& url,
      const CefBrowserSettings& settings,
      CefRefPtr<CefDictionaryValue> extra_info,
      CefRefPtr<CefRequestContext> request_context,
      CefRefPtr<CefBrowserViewDelegate> delegate);

  // The view showing |browser|, or null.
  static CefRefPtr<CefBrowserView> GetForBrowser(CefRefPtr<CefBrowser> browser);

  // The browser, or null before it is created and after it is destroyed.
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;

  // Always null: there is no Chrome toolbar in the Alloy style.
  virtual CefRefPtr<CefView> GetChromeToolbar() = 0;

  // Whether window accelerators run before the page sees the key.
  virtual void SetPreferAccelerators(bool prefer_accelerators) = 0;

  virtual cef_runtime_style_t GetRuntimeStyle() = 0;
};

#endif  // CEF_INCLUDE_VIEWS_CEF_BROWSER_VIEW_H_
