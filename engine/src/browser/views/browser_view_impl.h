// CefBrowserView on a QWebEngineView, and the host its browser reaches it
// through.

#ifndef CEFENGINE_BROWSER_VIEWS_BROWSER_VIEW_IMPL_H_
#define CEFENGINE_BROWSER_VIEWS_BROWSER_VIEW_IMPL_H_

#include <memory>

#include "browser/browser_view_host.h"
#include "browser/views/view_base.h"
#include "include/views/cef_browser_view.h"

class QWebEngineView;

namespace cefengine {

class CefBrowserImpl;

class CefBrowserViewImpl : public ViewImpl<CefBrowserView>,
                           public BrowserViewHost {
 public:
  // A view whose browser is created when it first enters a window.
  static CefRefPtr<CefBrowserViewImpl> Create(
      CefRefPtr<CefClient> client,
      const CefString& url,
      const CefBrowserSettings& settings,
      CefRefPtr<CefDictionaryValue> extra_info,
      CefRefPtr<CefRequestContext> request_context,
      CefRefPtr<CefBrowserViewDelegate> delegate);

  // The view showing the browser with |browser_id|, or null.
  static CefRefPtr<CefBrowserViewImpl> Find(int browser_id);

  CefBrowserViewImpl(const CefBrowserViewImpl&) = delete;
  CefBrowserViewImpl& operator=(const CefBrowserViewImpl&) = delete;

  // ViewBase methods:
  CefRefPtr<CefViewDelegate> view_delegate() override { return delegate_; }
  bool IsBrowserView() const override { return true; }
  void OnWindowChanged(bool added) override;
  void DestroyWidget() override;

  // CefBrowserView methods:
  CefRefPtr<CefBrowser> GetBrowser() override;
  CefRefPtr<CefView> GetChromeToolbar() override { return nullptr; }
  void SetPreferAccelerators(bool prefer_accelerators) override {
    prefer_accelerators_ = prefer_accelerators;
  }
  cef_runtime_style_t GetRuntimeStyle() override {
    return CEF_RUNTIME_STYLE_ALLOY;
  }

  // CefView methods that differ for a browser view:
  CefRefPtr<CefBrowserView> AsBrowserView() override { return this; }
  CefString GetTypeString() override { return "BrowserView"; }

  // BrowserViewHost methods:
  void OnBrowserCreated(CefRefPtr<CefBrowser> browser) override;
  void OnPopupBrowserCreated(CefRefPtr<CefBrowser> popup,
                             bool is_devtools) override;
  void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) override;
  QWidget* GetViewWidget() override { return widget(); }
  cef_window_handle_t GetWindowHandle() override;
  bool CloseHostWindow() override;
  void SetFocus(bool focus) override;

 private:
  // What the browser is created from once the view enters a window.
  struct PendingBrowser {
    CefRefPtr<CefClient> client;
    CefString url;
    CefBrowserSettings settings;
    CefRefPtr<CefDictionaryValue> extra_info;
    CefRefPtr<CefRequestContext> request_context;
  };

  explicit CefBrowserViewImpl(CefRefPtr<CefBrowserViewDelegate> delegate);
  ~CefBrowserViewImpl() override;

  QWebEngineView* web_view();
  // Shows |browser|'s page here and tells the delegate.
  void AttachBrowser(CefRefPtr<CefBrowserImpl> browser);
  // Lets go of the browser and its page; with |close| the browser closes,
  // with |notify| the delegate hears of it.
  void ReleaseBrowser(bool close, bool notify);

  CefRefPtr<CefBrowserViewDelegate> delegate_;
  std::unique_ptr<PendingBrowser> pending_;
  CefRefPtr<CefBrowserImpl> browser_;
  bool prefer_accelerators_ = false;

  IMPLEMENT_VIEW_REFCOUNTING(CefBrowserViewImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_VIEWS_BROWSER_VIEW_IMPL_H_
