#include "browser/browser/browser_impl.h"

#include <QColor>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include "browser/browser/browser_page.h"
#include "browser/browser/browser_registry.h"
#include "browser/browser/callbacks.h"
#include "browser/browser/frame_impl.h"
#include "browser/browser/url_spec.h"
#include "browser/browser/zoom.h"
#include "browser/browser_view_host.h"
#include "browser/process/context.h"
#include "common/tasks.h"
#include "include/base/cef_logging.h"
#include "include/cef_request_context.h"

namespace cefengine {

namespace {

QUrl ToQUrl(const CefString& url) {
  return QUrl(QString::fromStdString(url.ToString()));
}

void ApplyState(QWebEngineSettings* settings,
                QWebEngineSettings::WebAttribute attribute,
                cef_state_t state) {
  if (state != STATE_DEFAULT) {
    settings->setAttribute(attribute, state == STATE_ENABLED);
  }
}

void ApplyFontFamily(QWebEngineSettings* settings,
                     QWebEngineSettings::FontFamily which,
                     const cef_string_t& family) {
  if (family.length) {
    settings->setFontFamily(
        which, QString::fromStdString(CefString(&family).ToString()));
  }
}

void ApplyFontSize(QWebEngineSettings* settings,
                   QWebEngineSettings::FontSize which,
                   int size) {
  if (size > 0) {
    settings->setFontSize(which, size);
  }
}

}  // namespace

// static
CefRefPtr<CefBrowserImpl> CefBrowserImpl::Create(
    BrowserViewHost* host,
    CefRefPtr<CefClient> client,
    const CefString& url,
    const CefBrowserSettings& settings,
    CefRefPtr<CefDictionaryValue> extra_info,
    CefRefPtr<CefRequestContext> request_context) {
  if (!IsInitialized() || !GetProfile() || !CefCurrentlyOn(TID_UI)) {
    LOG(ERROR) << "Browsers can only be created on the UI thread of a "
                  "running engine";
    return nullptr;
  }
  // Every browser shares the engine's one profile: the global context.
  CefRefPtr<CefBrowserImpl> browser =
      new CefBrowserImpl(client, settings, extra_info, /*opener_id=*/0);
  browser->Initialize();
  browser->host_ = host;
  browser->NotifyCreated();
  if (!url.empty()) {
    browser->LoadURLInPage(url);
  }
  return browser;
}

CefBrowserImpl::CefBrowserImpl(CefRefPtr<CefClient> client,
                               const CefBrowserSettings& settings,
                               CefRefPtr<CefDictionaryValue> extra_info,
                               int opener_id)
    : id_(NextBrowserId()),
      opener_id_(opener_id),
      client_(client),
      settings_(settings),
      extra_info_(extra_info) {}

CefBrowserImpl::~CefBrowserImpl() = default;

void CefBrowserImpl::Initialize() {
  page_ = new BrowserPage(GetProfile(), this);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    main_frame_ = CefFrameImpl::CreateMain(this);
  }
  ApplySettings();
  ConnectPageSignals();
  RegisterBrowser(this);
}

void CefBrowserImpl::ApplySettings() {
  QWebEngineSettings* web = page_->settings();
  ApplyState(web, QWebEngineSettings::JavascriptEnabled, settings_.javascript);
  ApplyState(web, QWebEngineSettings::JavascriptCanAccessClipboard,
             settings_.javascript_access_clipboard);
  ApplyState(web, QWebEngineSettings::JavascriptCanPaste,
             settings_.javascript_dom_paste);
  ApplyState(web, QWebEngineSettings::AutoLoadImages, settings_.image_loading);
  ApplyState(web, QWebEngineSettings::LocalStorageEnabled,
             settings_.local_storage);
  ApplyState(web, QWebEngineSettings::WebGLEnabled, settings_.webgl);
  ApplyFontFamily(web, QWebEngineSettings::StandardFont,
                  settings_.standard_font_family);
  ApplyFontFamily(web, QWebEngineSettings::FixedFont,
                  settings_.fixed_font_family);
  ApplyFontFamily(web, QWebEngineSettings::SerifFont,
                  settings_.serif_font_family);
  ApplyFontFamily(web, QWebEngineSettings::SansSerifFont,
                  settings_.sans_serif_font_family);
  ApplyFontFamily(web, QWebEngineSettings::CursiveFont,
                  settings_.cursive_font_family);
  ApplyFontFamily(web, QWebEngineSettings::FantasyFont,
                  settings_.fantasy_font_family);
  ApplyFontSize(web, QWebEngineSettings::DefaultFontSize,
                settings_.default_font_size);
  ApplyFontSize(web, QWebEngineSettings::DefaultFixedFontSize,
                settings_.default_fixed_font_size);
  ApplyFontSize(web, QWebEngineSettings::MinimumFontSize,
                settings_.minimum_font_size);
  ApplyFontSize(web, QWebEngineSettings::MinimumLogicalFontSize,
                settings_.minimum_logical_font_size);
  if (settings_.default_encoding.length) {
    web->setDefaultTextEncoding(QString::fromStdString(
        CefString(&settings_.default_encoding).ToString()));
  }
  if (settings_.background_color != 0) {
    page_->setBackgroundColor(QColor::fromRgba(settings_.background_color));
  }
}

void CefBrowserImpl::NotifyCreated() {
  // The view first, as in the production engine: OnAfterCreated finds the
  // browser's view (CefBrowserView::GetForBrowser).
  if (host_) {
    host_->OnBrowserCreated(this);
  }
  CefRefPtr<CefLifeSpanHandler> handler =
      client_ ? client_->GetLifeSpanHandler() : nullptr;
  if (handler) {
    handler->OnAfterCreated(this);
  }
}

QWebEnginePage* CefBrowserImpl::page() const {
  return page_.data();
}

void CefBrowserImpl::SetViewHost(BrowserViewHost* host) {
  host_ = host;
}

void CefBrowserImpl::OnViewDestroyed() {
  host_ = nullptr;
  Destroy();
}

CefRefPtr<CefFrameImpl> CefBrowserImpl::main_frame() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return main_frame_;
}

void CefBrowserImpl::CloseForShutdown() {
  if (close_state_ == CloseState::kClosed) {
    return;
  }
  close_state_ = CloseState::kAccepted;
  CefRefPtr<CefLifeSpanHandler> handler =
      client_ ? client_->GetLifeSpanHandler() : nullptr;
  if (handler) {
    handler->DoClose(this);
  }
  Destroy();
}

bool CefBrowserImpl::RunOnUIThread(std::function<void()> task) {
  if (CefCurrentlyOn(TID_UI)) {
    task();
    return true;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  return PostTask(TID_UI, [self, task] { task(); });
}

void CefBrowserImpl::UpdateSnapshot() {
  if (!page_) {
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  snapshot_.url = UrlSpec(page_->url());
  snapshot_.can_go_back = page_->history()->canGoBack();
  snapshot_.can_go_forward = page_->history()->canGoForward();
  snapshot_.audio_muted = page_->isAudioMuted();
  snapshot_.zoom_level = ZoomFactorToLevel(page_->zoomFactor());
}

void CefBrowserImpl::ExecuteJavaScriptInPage(const CefString& code,
                                             const CefString& script_url,
                                             int start_line) {
  QString source = QString::fromStdString(code.ToString());
  if (!script_url.empty()) {
    // Lets error reports and the developer tools name the script.
    source += QStringLiteral("\n//# sourceURL=") +
              QString::fromStdString(script_url.ToString());
  }
  RunOnUIThread([this, source] {
    if (page_) {
      page_->runJavaScript(source, QWebEngineScript::MainWorld);
    }
  });
}

void CefBrowserImpl::LoadURLInPage(const CefString& url) {
  const QUrl target = ToQUrl(url);
  RunOnUIThread([this, target] {
    if (page_ && close_state_ != CloseState::kClosed) {
      page_->load(target);
    }
  });
}

void CefBrowserImpl::TriggerPageAction(QWebEnginePage::WebAction action) {
  RunOnUIThread([this, action] {
    if (page_) {
      page_->triggerAction(action);
    }
  });
}

void CefBrowserImpl::GetPageContent(bool html,
                                    CefRefPtr<CefStringVisitor> visitor) {
  if (!visitor) {
    return;
  }
  RunOnUIThread([this, html, visitor] {
    if (!page_) {
      return;
    }
    auto deliver = [visitor](const QString& text) {
      visitor->Visit(text.toStdString());
    };
    if (html) {
      page_->toHtml(deliver);
    } else {
      page_->toPlainText(deliver);
    }
  });
}

// CefBrowser methods.

bool CefBrowserImpl::IsValid() {
  std::lock_guard<std::mutex> lock(mutex_);
  return main_frame_ != nullptr;
}

CefRefPtr<CefBrowserHost> CefBrowserImpl::GetHost() {
  return this;
}

bool CefBrowserImpl::CanGoBack() {
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.can_go_back;
}

void CefBrowserImpl::GoBack() {
  TriggerPageAction(QWebEnginePage::Back);
}

bool CefBrowserImpl::CanGoForward() {
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.can_go_forward;
}

void CefBrowserImpl::GoForward() {
  TriggerPageAction(QWebEnginePage::Forward);
}

bool CefBrowserImpl::IsLoading() {
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.is_loading;
}

void CefBrowserImpl::Reload() {
  RunOnUIThread([this] {
    if (page_) {
      reload_pending_ = true;
      page_->triggerAction(QWebEnginePage::Reload);
    }
  });
}

void CefBrowserImpl::ReloadIgnoreCache() {
  RunOnUIThread([this] {
    if (page_) {
      reload_pending_ = true;
      page_->triggerAction(QWebEnginePage::ReloadAndBypassCache);
    }
  });
}

void CefBrowserImpl::StopLoad() {
  TriggerPageAction(QWebEnginePage::Stop);
}

int CefBrowserImpl::GetIdentifier() {
  return id_;
}

bool CefBrowserImpl::IsSame(CefRefPtr<CefBrowser> that) {
  return that.get() == static_cast<CefBrowser*>(this);
}

bool CefBrowserImpl::IsPopup() {
  return opener_id_ != 0;
}

bool CefBrowserImpl::HasDocument() {
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.has_document;
}

CefRefPtr<CefFrame> CefBrowserImpl::GetMainFrame() {
  std::lock_guard<std::mutex> lock(mutex_);
  return main_frame_.get();
}

CefRefPtr<CefFrame> CefBrowserImpl::GetFocusedFrame() {
  return GetMainFrame();
}

CefRefPtr<CefFrame> CefBrowserImpl::GetFrameByIdentifier(
    const CefString& identifier) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (main_frame_ && main_frame_->GetIdentifier() == identifier) {
    return main_frame_.get();
  }
  return nullptr;
}

CefRefPtr<CefFrame> CefBrowserImpl::GetFrameByName(const CefString& name) {
  // The main frame has no name; named sub-frames are not visible to Qt.
  return name.empty() ? GetMainFrame() : nullptr;
}

size_t CefBrowserImpl::GetFrameCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return main_frame_ ? 1 : 0;
}

void CefBrowserImpl::GetFrameIdentifiers(std::vector<CefString>& identifiers) {
  identifiers.clear();
  std::lock_guard<std::mutex> lock(mutex_);
  if (main_frame_) {
    identifiers.push_back(main_frame_->GetIdentifier());
  }
}

void CefBrowserImpl::GetFrameNames(std::vector<CefString>& names) {
  names.clear();
  std::lock_guard<std::mutex> lock(mutex_);
  if (main_frame_) {
    names.push_back(CefString());
  }
}

// CefBrowserHost methods.

CefRefPtr<CefBrowser> CefBrowserImpl::GetBrowser() {
  return this;
}

void CefBrowserImpl::CloseBrowser(bool force_close) {
  if (!CefCurrentlyOn(TID_UI)) {
    RunOnUIThread([this, force_close] { CloseBrowser(force_close); });
    return;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  switch (close_state_) {
    case CloseState::kClosed:
      return;
    case CloseState::kAccepted:
      // DoClose returned true earlier and the client now completes the
      // close itself.
      if (!host_close_requested_) {
        PostTask(TID_UI, [self] { self->RequestHostClose(); });
      }
      return;
    case CloseState::kUnloadPending:
      if (!force_close) {
        return;
      }
      [[fallthrough]];
    case CloseState::kOpen:
      break;
  }
  if (force_close) {
    close_state_ = CloseState::kAccepted;
    // Posted: callers may sit inside a handler that Qt is running.
    PostTask(TID_UI, [self] { self->ContinueAcceptedClose(); });
    return;
  }
  close_state_ = CloseState::kUnloadPending;
  PostTask(TID_UI, [self] {
    if (self->close_state_ == CloseState::kUnloadPending && self->page_) {
      // Runs the page's beforeunload handler; windowCloseRequested follows
      // unless the page keeps itself open.
      self->page_->triggerAction(QWebEnginePage::RequestClose);
    }
  });
}

bool CefBrowserImpl::TryCloseBrowser() {
  if (!CefCurrentlyOn(TID_UI)) {
    LOG(ERROR) << "TryCloseBrowser must be called on the UI thread";
    return false;
  }
  if (close_state_ == CloseState::kAccepted ||
      close_state_ == CloseState::kClosed) {
    return true;
  }
  CloseBrowser(false);
  return false;
}

bool CefBrowserImpl::IsReadyToBeClosed() {
  return close_state_ == CloseState::kAccepted ||
         close_state_ == CloseState::kClosed;
}

void CefBrowserImpl::SetFocus(bool focus) {
  RunOnUIThread([this, focus] {
    if (host_) {
      host_->SetFocus(focus);
    }
  });
}

CefWindowHandle CefBrowserImpl::GetWindowHandle() {
  return host_ ? host_->GetWindowHandle() : 0;
}

CefWindowHandle CefBrowserImpl::GetOpenerWindowHandle() {
  CefRefPtr<CefBrowserImpl> opener =
      opener_id_ ? FindBrowser(opener_id_) : nullptr;
  return opener ? opener->GetWindowHandle() : 0;
}

int CefBrowserImpl::GetOpenerIdentifier() {
  return opener_id_;
}

bool CefBrowserImpl::HasView() {
  return host_ && host_->IsBrowserView();
}

CefRefPtr<CefClient> CefBrowserImpl::GetClient() {
  return client_;
}

CefRefPtr<CefRequestContext> CefBrowserImpl::GetRequestContext() {
  return CefRequestContext::GetGlobalContext();
}

bool CefBrowserImpl::CanZoom(cef_zoom_command_t command) {
  const double factor = ZoomLevelToFactor(GetZoomLevel());
  return command == CEF_ZOOM_COMMAND_RESET ||
         ZoomFactorAfterCommand(factor, command) != factor;
}

void CefBrowserImpl::Zoom(cef_zoom_command_t command) {
  RunOnUIThread([this, command] {
    if (page_) {
      page_->setZoomFactor(
          ZoomFactorAfterCommand(page_->zoomFactor(), command));
      UpdateSnapshot();
    }
  });
}

double CefBrowserImpl::GetDefaultZoomLevel() {
  return 0.0;
}

double CefBrowserImpl::GetZoomLevel() {
  if (CefCurrentlyOn(TID_UI) && page_) {
    return ZoomFactorToLevel(page_->zoomFactor());
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.zoom_level;
}

void CefBrowserImpl::SetZoomLevel(double zoomLevel) {
  RunOnUIThread([this, zoomLevel] {
    if (page_) {
      page_->setZoomFactor(ZoomLevelToFactor(zoomLevel));
      UpdateSnapshot();
    }
  });
}

void CefBrowserImpl::WasResized() {}

void CefBrowserImpl::WasHidden(bool hidden) {}

void CefBrowserImpl::NotifyScreenInfoChanged() {}

// Qt runs every drag out of the page itself: when the client's
// StartDragging takes a drag over, Qt's drag is cancelled and the page's
// drag has ended already. So no drag these reports could end is ever in
// progress, and like the production engine without a drag in progress, both
// are ignored.
void CefBrowserImpl::DragSourceEndedAt(int x, int y, DragOperationsMask op) {}

void CefBrowserImpl::DragSourceSystemDragEnded() {}

void CefBrowserImpl::SetAudioMuted(bool mute) {
  RunOnUIThread([this, mute] {
    if (page_) {
      page_->setAudioMuted(mute);
      UpdateSnapshot();
    }
  });
}

bool CefBrowserImpl::IsAudioMuted() {
  if (CefCurrentlyOn(TID_UI) && page_) {
    return page_->isAudioMuted();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.audio_muted;
}

bool CefBrowserImpl::IsFullscreen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return snapshot_.is_fullscreen;
}

void CefBrowserImpl::ExitFullscreen(bool will_cause_resize) {
  TriggerPageAction(QWebEnginePage::ExitFullScreen);
}

cef_runtime_style_t CefBrowserImpl::GetRuntimeStyle() {
  return CEF_RUNTIME_STYLE_ALLOY;
}

// Close sequence.

void CefBrowserImpl::OnWindowCloseRequested() {
  // The page agreed to close (its beforeunload handler let it go) or called
  // window.close(): either way the close can no longer be cancelled.
  if (close_state_ == CloseState::kAccepted ||
      close_state_ == CloseState::kClosed) {
    return;
  }
  close_state_ = CloseState::kAccepted;
  ContinueAcceptedClose();
}

void CefBrowserImpl::OnBeforeUnloadAnswered(bool leave) {
  if (!leave && close_state_ == CloseState::kUnloadPending) {
    // The page stays; a later close attempt starts over.
    close_state_ = CloseState::kOpen;
  }
}

void CefBrowserImpl::ContinueAcceptedClose() {
  if (close_state_ != CloseState::kAccepted) {
    return;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  CefRefPtr<CefLifeSpanHandler> handler =
      client_ ? client_->GetLifeSpanHandler() : nullptr;
  if (handler && handler->DoClose(this)) {
    // The client finishes the close (CloseBrowser or tearing down the view).
    return;
  }
  RequestHostClose();
}

void CefBrowserImpl::RequestHostClose() {
  if (close_state_ != CloseState::kAccepted || host_close_requested_) {
    return;
  }
  host_close_requested_ = true;
  if (host_ && host_->CloseHostWindow()) {
    // The window's teardown ends in OnViewDestroyed.
    return;
  }
  Destroy();
}

void CefBrowserImpl::Destroy() {
  if (close_state_ == CloseState::kClosed) {
    return;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  close_state_ = CloseState::kClosed;
  // The developer tools of a page go with it.
  CloseDevTools();
  for (const auto& dialog : active_dialogs_) {
    dialog->Abort();
  }

  if (host_) {
    // Closing without the view's teardown: the view lets go first.
    BrowserViewHost* host = host_;
    host_ = nullptr;
    host->OnBrowserDestroyed(this);
  }
  CefRefPtr<CefLifeSpanHandler> handler =
      client_ ? client_->GetLifeSpanHandler() : nullptr;
  if (handler) {
    handler->OnBeforeClose(this);
  }

  CefRefPtr<CefFrameImpl> main_frame;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    main_frame.swap(main_frame_);
    snapshot_.is_loading = false;
  }
  if (main_frame) {
    main_frame->Detach();
  }
  if (page_) {
    page_->Detach();
    signal_context_.reset();
    // Later: Qt may be inside a call of this page (a dialog, a signal).
    page_->deleteLater();
    page_ = nullptr;
  }
  UnregisterBrowser(id_);
}

}  // namespace cefengine
