// Developer tools: Qt's inspector front end in a browser of its own, handed
// to the inspected browser's view (which places it in a window, as popups
// are placed) or, without a browser view, in a plain window.

#include <QWidget>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_page.h"
#include "browser/browser/native_browser_window.h"
#include "browser/browser_view_host.h"

namespace cefengine {

void CefBrowserImpl::ShowDevTools(const CefWindowInfo& windowInfo,
                                  CefRefPtr<CefClient> client,
                                  const CefBrowserSettings& settings,
                                  const CefPoint& inspect_element_at) {
  // The real engine falls back to the inspected browser's client.
  CefRefPtr<CefClient> devtools_client = client ? client : client_;
  const CefBrowserSettings devtools_settings = settings;
  const CefRect bounds = windowInfo.bounds;
  RunOnUIThread([this, devtools_client, devtools_settings, bounds] {
    if (!page_ || close_state_ != CloseState::kOpen) {
      return;
    }
    CefRefPtr<CefBrowserImpl> existing;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      existing = devtools_;
    }
    if (existing && existing->IsValid()) {
      // Already open: bring its window forward instead.
      QWidget* widget =
          existing->host_ ? existing->host_->GetViewWidget() : nullptr;
      if (widget) {
        widget->window()->raise();
        widget->window()->activateWindow();
      }
      return;
    }
    CefRefPtr<CefBrowserImpl> devtools = new CefBrowserImpl(
        devtools_client, devtools_settings, nullptr, /*opener_id=*/id_);
    devtools->Initialize();
    page_->setDevToolsPage(devtools->page());
    devtools->UpdateSnapshot();
    devtools->NotifyCreated();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      devtools_ = devtools;
    }
    if (host_ && host_->IsBrowserView()) {
      host_->OnPopupBrowserCreated(devtools.get(), /*is_devtools=*/true);
    } else {
      NativeBrowserWindow::Open(devtools, bounds);
    }
  });
}

void CefBrowserImpl::CloseDevTools() {
  RunOnUIThread([this] {
    CefRefPtr<CefBrowserImpl> devtools;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      devtools.swap(devtools_);
    }
    if (!devtools) {
      return;
    }
    if (page_ && page_->devToolsPage() == devtools->page()) {
      page_->setDevToolsPage(nullptr);
    }
    if (devtools->IsValid()) {
      devtools->CloseBrowser(/*force_close=*/true);
    }
  });
}

bool CefBrowserImpl::HasDevTools() {
  CefRefPtr<CefBrowserImpl> devtools;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    devtools = devtools_;
  }
  return devtools && devtools->IsValid();
}

}  // namespace cefengine
