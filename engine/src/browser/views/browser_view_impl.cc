#include "browser/views/browser_view_impl.h"

#include <QWebEngineView>

#include <map>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "browser/drag/drag_source.h"
#include "browser/drag/draggable_regions.h"
#include "browser/drag/drop_target.h"
#include "browser/views/window_impl.h"

// static
CefRefPtr<CefBrowserView> CefBrowserView::CreateBrowserView(
    CefRefPtr<CefClient> client,
    const CefString& url,
    const CefBrowserSettings& settings,
    CefRefPtr<CefDictionaryValue> extra_info,
    CefRefPtr<CefRequestContext> request_context,
    CefRefPtr<CefBrowserViewDelegate> delegate) {
  return cefengine::CefBrowserViewImpl::Create(
      client, url, settings, extra_info, request_context, delegate);
}

// static
CefRefPtr<CefBrowserView> CefBrowserView::GetForBrowser(
    CefRefPtr<CefBrowser> browser) {
  return browser ? cefengine::CefBrowserViewImpl::Find(browser->GetIdentifier())
                 : nullptr;
}

namespace cefengine {

namespace {

// Views by the identifier of the browser they show.
std::map<int, CefBrowserViewImpl*>& ViewsByBrowser() {
  static std::map<int, CefBrowserViewImpl*> views;
  return views;
}

// The window a popup gets when its opener's delegate does not place it.
class PopupWindowDelegate : public CefWindowDelegate {
 public:
  explicit PopupWindowDelegate(CefRefPtr<CefBrowserView> view) : view_(view) {}

  PopupWindowDelegate(const PopupWindowDelegate&) = delete;
  PopupWindowDelegate& operator=(const PopupWindowDelegate&) = delete;

  // CefWindowDelegate methods:
  void OnWindowCreated(CefRefPtr<CefWindow> window) override {
    window->AddChildView(view_);
    window->Show();
    view_->RequestFocus();
  }
  void OnWindowDestroyed(CefRefPtr<CefWindow> window) override {
    view_ = nullptr;
  }
  bool CanClose(CefRefPtr<CefWindow> window) override {
    CefRefPtr<CefBrowser> browser = view_ ? view_->GetBrowser() : nullptr;
    return !browser || browser->GetHost()->TryCloseBrowser();
  }

 private:
  CefRefPtr<CefBrowserView> view_;

  IMPLEMENT_REFCOUNTING(PopupWindowDelegate);
};

}  // namespace

// static
CefRefPtr<CefBrowserViewImpl> CefBrowserViewImpl::Create(
    CefRefPtr<CefClient> client,
    const CefString& url,
    const CefBrowserSettings& settings,
    CefRefPtr<CefDictionaryValue> extra_info,
    CefRefPtr<CefRequestContext> request_context,
    CefRefPtr<CefBrowserViewDelegate> delegate) {
  if (!OnUiThread()) {
    return nullptr;
  }
  CefRefPtr<CefBrowserViewImpl> view = new CefBrowserViewImpl(delegate);
  view->pending_ = std::make_unique<PendingBrowser>();
  view->pending_->client = client;
  view->pending_->url = url;
  view->pending_->settings = settings;
  view->pending_->extra_info = extra_info;
  view->pending_->request_context = request_context;
  return view;
}

// static
CefRefPtr<CefBrowserViewImpl> CefBrowserViewImpl::Find(int browser_id) {
  auto it = ViewsByBrowser().find(browser_id);
  // A view whose last reference is gone may wait for its deletion on this
  // thread; it must not be handed out again.
  if (it == ViewsByBrowser().end() || !it->second->HasAtLeastOneRef()) {
    return nullptr;
  }
  return it->second;
}

CefBrowserViewImpl::CefBrowserViewImpl(
    CefRefPtr<CefBrowserViewDelegate> delegate)
    : delegate_(delegate) {
  auto* view = new QWebEngineView();
  view->hide();
  InstallDropTarget(view);
  InstallDragSource(view);
  set_widget(view);
  focusable_ = true;
}

CefBrowserViewImpl::~CefBrowserViewImpl() {
  // A view dropped without ever being torn down by a window (a popup view
  // its delegate let go of) still takes its browser with it. The delegate
  // is not told: it cannot be handed a view that is being deleted.
  ReleaseBrowser(/*close=*/true, /*notify=*/false);
}

QWebEngineView* CefBrowserViewImpl::web_view() {
  return static_cast<QWebEngineView*>(widget());
}

void CefBrowserViewImpl::OnWindowChanged(bool added) {
  if (added && pending_) {
    std::unique_ptr<PendingBrowser> pending = std::move(pending_);
    // Create calls back into OnBrowserCreated, which attaches the page.
    CefBrowserImpl::Create(this, pending->client, pending->url,
                           pending->settings, pending->extra_info,
                           pending->request_context);
  }
  ViewBase::OnWindowChanged(added);
}

void CefBrowserViewImpl::DestroyWidget() {
  ReleaseBrowser(/*close=*/true, /*notify=*/true);
  ViewBase::DestroyWidget();
}

CefRefPtr<CefBrowser> CefBrowserViewImpl::GetBrowser() {
  if (browser_ && !browser_->IsValid()) {
    return nullptr;
  }
  return browser_.get();
}

void CefBrowserViewImpl::AttachBrowser(CefRefPtr<CefBrowserImpl> browser) {
  if (!browser || browser_) {
    return;
  }
  browser_ = browser;
  ViewsByBrowser()[browser->GetIdentifier()] = this;
  browser->SetViewHost(this);
  if (web_view() && browser->page()) {
    web_view()->setPage(browser->page());
    WatchDraggableRegions(browser->page(), browser->GetIdentifier());
  }
  if (delegate_) {
    delegate_->OnBrowserCreated(this, browser.get());
  }
}

void CefBrowserViewImpl::ReleaseBrowser(bool close, bool notify) {
  if (!browser_) {
    return;
  }
  // Cleared first: the browser's close calls back into this view.
  CefRefPtr<CefBrowserImpl> browser;
  browser.swap(browser_);
  auto& views = ViewsByBrowser();
  auto it = views.find(browser->GetIdentifier());
  if (it != views.end() && it->second == this) {
    views.erase(it);
  }
  if (notify && delegate_) {
    delegate_->OnBrowserDestroyed(this, browser.get());
  }
  if (web_view()) {
    web_view()->setPage(nullptr);
  }
  if (browser->view_host() == this) {
    browser->SetViewHost(nullptr);
  }
  if (close) {
    browser->OnViewDestroyed();
  }
}

void CefBrowserViewImpl::OnBrowserCreated(CefRefPtr<CefBrowser> browser) {
  if (browser) {
    AttachBrowser(FindBrowser(browser->GetIdentifier()));
  }
}

void CefBrowserViewImpl::OnPopupBrowserCreated(CefRefPtr<CefBrowser> popup,
                                               bool is_devtools) {
  CefRefPtr<CefBrowserImpl> popup_impl =
      popup ? FindBrowser(popup->GetIdentifier()) : nullptr;
  if (!popup_impl) {
    return;
  }
  CefRefPtr<CefBrowserViewDelegate> popup_delegate;
  if (delegate_) {
    popup_delegate = delegate_->GetDelegateForPopupBrowserView(
        this, popup_impl->settings(), popup_impl->client(), is_devtools);
  }
  CefRefPtr<CefBrowserViewImpl> popup_view =
      new CefBrowserViewImpl(popup_delegate);
  popup_view->AttachBrowser(popup_impl);
  if (delegate_ && delegate_->OnPopupBrowserViewCreated(this, popup_view.get(),
                                                        is_devtools)) {
    return;
  }
  CefWindow::CreateTopLevelWindow(new PopupWindowDelegate(popup_view.get()));
}

void CefBrowserViewImpl::OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) {
  if (browser_ && browser &&
      browser_->GetIdentifier() == browser->GetIdentifier()) {
    ReleaseBrowser(/*close=*/false, /*notify=*/true);
  }
}

cef_window_handle_t CefBrowserViewImpl::GetWindowHandle() {
  CefWindowImpl* window = GetWindowImpl();
  return window ? window->GetWindowHandle() : 0;
}

bool CefBrowserViewImpl::CloseHostWindow() {
  CefWindowImpl* window = GetWindowImpl();
  if (!window || !window->IsValid()) {
    return false;
  }
  // An accepted close is already tearing the window (and this view) down.
  if (!window->IsClosed()) {
    window->Close();
  }
  return true;
}

void CefBrowserViewImpl::SetFocus(bool focus) {
  if (!OnUiThread() || !widget()) {
    return;
  }
  if (focus) {
    widget()->setFocus(Qt::OtherFocusReason);
  } else {
    widget()->clearFocus();
  }
}

}  // namespace cefengine
