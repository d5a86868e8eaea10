#include "browser/browser/native_browser_window.h"

#include <QCloseEvent>

#include "browser/browser/browser_impl.h"
#include "browser/process/context.h"
#include "common/tasks.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

}  // namespace

// static
void NativeBrowserWindow::Open(CefRefPtr<CefBrowserImpl> browser,
                               const CefRect& bounds) {
  auto* window = new NativeBrowserWindow(bounds);
  window->Attach(browser);
}

NativeBrowserWindow::NativeBrowserWindow(const CefRect& bounds)
    : bounds_(bounds) {
  setAttribute(Qt::WA_DeleteOnClose);
  if (bounds.width > 0 && bounds.height > 0) {
    setGeometry(bounds.x, bounds.y, bounds.width, bounds.height);
  } else {
    resize(kDefaultWidth, kDefaultHeight);
  }
}

NativeBrowserWindow::~NativeBrowserWindow() {
  if (browser_) {
    CefRefPtr<CefBrowserImpl> browser;
    browser.swap(browser_);
    browser->OnViewDestroyed();
  }
}

void NativeBrowserWindow::OnBrowserCreated(CefRefPtr<CefBrowser> browser) {
  Attach(static_cast<CefBrowserImpl*>(browser.get()));
}

void NativeBrowserWindow::Attach(CefRefPtr<CefBrowserImpl> browser) {
  browser_ = browser;
  browser_->SetViewHost(this);
  setPage(browser_->page());
  connect(browser_->page(), &QWebEnginePage::titleChanged, this,
          &QWidget::setWindowTitle);
  show();
}

QWidget* NativeBrowserWindow::GetViewWidget() {
  return this;
}

cef_window_handle_t NativeBrowserWindow::GetWindowHandle() {
  return static_cast<cef_window_handle_t>(winId());
}

bool NativeBrowserWindow::CloseHostWindow() {
  // Not from inside the browser's own call: close on the next turn.
  QPointer<NativeBrowserWindow> self(this);
  PostTask(TID_UI, [self] {
    if (self) {
      self->close();
    }
  });
  return true;
}

void NativeBrowserWindow::SetFocus(bool focus) {
  if (focus) {
    activateWindow();
    setFocus(Qt::OtherFocusReason);
  } else {
    clearFocus();
  }
}

bool NativeBrowserWindow::IsBrowserView() const {
  return false;
}

void NativeBrowserWindow::closeEvent(QCloseEvent* event) {
  if (browser_ && !browser_->TryCloseBrowser()) {
    // The page's leave handling runs; the browser closes the window again
    // once it may.
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace cefengine

// static
bool CefBrowserHost::CreateBrowser(
    const CefWindowInfo& windowInfo,
    CefRefPtr<CefClient> client,
    const CefString& url,
    const CefBrowserSettings& settings,
    CefRefPtr<CefDictionaryValue> extra_info,
    CefRefPtr<CefRequestContext> request_context) {
  if (!cefengine::IsInitialized()) {
    return false;
  }
  CefWindowInfo info = windowInfo;
  CefBrowserSettings browser_settings = settings;
  return cefengine::PostTask(TID_UI, [info, client, url, browser_settings,
                                      extra_info, request_context] {
    CefBrowserHost::CreateBrowserSync(info, client, url, browser_settings,
                                      extra_info, request_context);
  });
}

// static
CefRefPtr<CefBrowser> CefBrowserHost::CreateBrowserSync(
    const CefWindowInfo& windowInfo,
    CefRefPtr<CefClient> client,
    const CefString& url,
    const CefBrowserSettings& settings,
    CefRefPtr<CefDictionaryValue> extra_info,
    CefRefPtr<CefRequestContext> request_context) {
  if (!cefengine::IsInitialized() || !CefCurrentlyOn(TID_UI)) {
    LOG(ERROR) << "CreateBrowserSync needs the UI thread of a running engine";
    return nullptr;
  }
  if (windowInfo.parent_window || windowInfo.windowless_rendering_enabled) {
    LOG(WARNING) << "Child and windowless browsers are not supported; "
                    "the browser gets a top-level window";
  }
  auto* window = new cefengine::NativeBrowserWindow(windowInfo.bounds);
  CefRefPtr<cefengine::CefBrowserImpl> browser =
      cefengine::CefBrowserImpl::Create(window, client, url, settings,
                                        extra_info, request_context);
  if (!browser) {
    delete window;
    return nullptr;
  }
  return browser.get();
}
