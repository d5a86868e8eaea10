// What the page reports (loads, titles, addresses, permission requests) and
// the navigation decisions it asks for, turned into the client's handler
// calls. UI thread.

#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_page.h"
#include "browser/browser/callbacks.h"
#include "browser/browser/frame_impl.h"
#include "browser/browser/net_error.h"
#include "browser/browser/request_impl.h"
#include "browser/browser/url_spec.h"
#include "browser/prefs/content_settings.h"
#include "browser/prefs/prefs_service.h"
#include "common/tasks.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

CefString ToCefString(const QString& text) {
  return text.toStdString();
}

CefString ToCefString(const QUrl& url) {
  return UrlSpec(url);
}

// The origin as the engine's handlers expect it: "scheme://host[:port]/".
CefString OriginString(const QUrl& origin) {
  QString text = origin.toString(QUrl::RemovePath | QUrl::RemoveQuery |
                                 QUrl::RemoveFragment | QUrl::RemoveUserInfo);
  if (!text.endsWith('/')) {
    text += '/';
  }
  return text.toStdString();
}

bool IsMediaFeature(QWebEnginePage::Feature feature) {
  switch (feature) {
    case QWebEnginePage::MediaAudioCapture:
    case QWebEnginePage::MediaVideoCapture:
    case QWebEnginePage::MediaAudioVideoCapture:
    case QWebEnginePage::DesktopVideoCapture:
    case QWebEnginePage::DesktopAudioVideoCapture:
      return true;
    default:
      return false;
  }
}

uint32_t MediaPermissions(QWebEnginePage::Feature feature) {
  switch (feature) {
    case QWebEnginePage::MediaAudioCapture:
      return CEF_MEDIA_PERMISSION_DEVICE_AUDIO_CAPTURE;
    case QWebEnginePage::MediaVideoCapture:
      return CEF_MEDIA_PERMISSION_DEVICE_VIDEO_CAPTURE;
    case QWebEnginePage::MediaAudioVideoCapture:
      return CEF_MEDIA_PERMISSION_DEVICE_AUDIO_CAPTURE |
             CEF_MEDIA_PERMISSION_DEVICE_VIDEO_CAPTURE;
    case QWebEnginePage::DesktopVideoCapture:
      return CEF_MEDIA_PERMISSION_DESKTOP_VIDEO_CAPTURE;
    case QWebEnginePage::DesktopAudioVideoCapture:
      return CEF_MEDIA_PERMISSION_DESKTOP_AUDIO_CAPTURE |
             CEF_MEDIA_PERMISSION_DESKTOP_VIDEO_CAPTURE;
    default:
      return CEF_MEDIA_PERMISSION_NONE;
  }
}

uint32_t PromptPermissions(QWebEnginePage::Feature feature) {
  switch (feature) {
    case QWebEnginePage::Notifications:
      return CEF_PERMISSION_TYPE_NOTIFICATIONS;
    case QWebEnginePage::Geolocation:
      return CEF_PERMISSION_TYPE_GEOLOCATION;
    case QWebEnginePage::MouseLock:
      return CEF_PERMISSION_TYPE_POINTER_LOCK;
    default:
      return CEF_PERMISSION_TYPE_NONE;
  }
}

cef_termination_status_t ToTerminationStatus(
    QWebEnginePage::RenderProcessTerminationStatus status) {
  switch (status) {
    case QWebEnginePage::CrashedTerminationStatus:
      return TS_PROCESS_CRASHED;
    case QWebEnginePage::KilledTerminationStatus:
      return TS_PROCESS_WAS_KILLED;
    default:
      return TS_ABNORMAL_TERMINATION;
  }
}

cef_log_severity_t ToSeverity(
    QWebEnginePage::JavaScriptConsoleMessageLevel level) {
  switch (level) {
    case QWebEnginePage::InfoMessageLevel:
      return LOGSEVERITY_INFO;
    case QWebEnginePage::WarningMessageLevel:
      return LOGSEVERITY_WARNING;
    case QWebEnginePage::ErrorMessageLevel:
      return LOGSEVERITY_ERROR;
  }
  return LOGSEVERITY_INFO;
}

}  // namespace

void CefBrowserImpl::ConnectPageSignals() {
  signal_context_ = std::make_unique<QObject>();
  QObject* context = signal_context_.get();
  BrowserPage* page = page_.data();
  QObject::connect(
      page, &QWebEnginePage::loadingChanged, context,
      [this](const QWebEngineLoadingInfo& info) { OnLoadingChanged(info); });
  QObject::connect(page, &QWebEnginePage::loadProgress, context,
                   [this](int progress) {
                     CefRefPtr<CefDisplayHandler> handler =
                         client_ ? client_->GetDisplayHandler() : nullptr;
                     if (handler) {
                       handler->OnLoadingProgressChange(this, progress / 100.0);
                     }
                   });
  QObject::connect(page, &QWebEnginePage::titleChanged, context,
                   [this](const QString& title) { OnTitleChanged(title); });
  QObject::connect(page, &QWebEnginePage::urlChanged, context,
                   [this](const QUrl& url) { OnUrlChanged(url); });
  QObject::connect(page, &QWebEnginePage::windowCloseRequested, context,
                   [this] { OnWindowCloseRequested(); });
  QObject::connect(page, &QWebEnginePage::newWindowRequested, context,
                   [this](QWebEngineNewWindowRequest& request) {
                     OnNewWindowRequested(request);
                   });
  QObject::connect(page, &QWebEnginePage::featurePermissionRequested, context,
                   [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                     OnFeaturePermissionRequested(origin, feature);
                   });
  QObject::connect(page, &QWebEnginePage::fullScreenRequested, context,
                   [this](QWebEngineFullScreenRequest request) {
                     request.accept();
                     {
                       std::lock_guard<std::mutex> lock(mutex_);
                       snapshot_.is_fullscreen = request.toggleOn();
                     }
                     CefRefPtr<CefDisplayHandler> handler =
                         client_ ? client_->GetDisplayHandler() : nullptr;
                     if (handler) {
                       handler->OnFullscreenModeChange(this,
                                                       request.toggleOn());
                     }
                   });
  QObject::connect(page, &QWebEnginePage::renderProcessTerminated, context,
                   [this](QWebEnginePage::RenderProcessTerminationStatus status,
                          int exit_code) {
                     if (status == QWebEnginePage::NormalTerminationStatus) {
                       return;
                     }
                     CefRefPtr<CefRequestHandler> handler =
                         client_ ? client_->GetRequestHandler() : nullptr;
                     if (handler) {
                       handler->OnRenderProcessTerminated(
                           this, ToTerminationStatus(status), exit_code,
                           CefString());
                     }
                   });
}

bool CefBrowserImpl::OnNavigationRequest(const QUrl& url,
                                         QWebEnginePage::NavigationType type,
                                         bool is_main_frame) {
  if (close_state_ == CloseState::kClosed) {
    return false;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  const CefString url_text = ToCefString(url);
  CefRefPtr<CefFrame> frame =
      is_main_frame ? CefRefPtr<CefFrame>(main_frame().get())
                    : CefRefPtr<CefFrame>(
                          CefFrameImpl::CreateSubFrame(this, url_text).get());
  const cef_transition_type_t transition =
      ToCefTransitionType(type, is_main_frame);

  CefRefPtr<CefRequestHandler> handler =
      client_ ? client_->GetRequestHandler() : nullptr;
  if (handler) {
    CefRefPtr<CefRequestImpl> request = new CefRequestImpl();
    request->SetURL(url_text);
    request->SetResourceType(is_main_frame ? RT_MAIN_FRAME : RT_SUB_FRAME);
    request->SetTransitionType(transition);
    request->AssignIdentifier();
    request->SetReadOnly();
    // Qt does not say whether the user acted; link clicks and form
    // submissions are the navigations a user normally starts.
    const bool user_gesture =
        type == QWebEnginePage::NavigationTypeLinkClicked ||
        type == QWebEnginePage::NavigationTypeFormSubmitted;
    const bool is_redirect = type == QWebEnginePage::NavigationTypeRedirect;
    if (handler->OnBeforeBrowse(this, frame, request.get(), user_gesture,
                                is_redirect)) {
      if (is_main_frame) {
        // Qt still reports this navigation: started, then aborted.
        refused_main_url_ = url;
      } else {
        // Qt reports nothing for sub-frames.
        ReportAborted(frame, url);
      }
      return false;
    }
  }
  if (is_main_frame) {
    pending_transition_ = transition;
    // A report of an earlier blocked request that Qt never sent is not
    // waited for any more.
    blocked_main_url_.clear();
  }
  return true;
}

void CefBrowserImpl::OnMainFrameBlocked(const QUrl& url) {
  CefRefPtr<CefFrameImpl> frame = main_frame();
  CefRefPtr<CefLoadHandler> handler =
      client_ ? client_->GetLoadHandler() : nullptr;
  if (!frame || !handler || close_state_ == CloseState::kClosed ||
      !ClaimBlockedReport(url)) {
    return;
  }
  handler->OnLoadError(this, frame.get(), ERR_BLOCKED_BY_CLIENT,
                       ErrorCodeName(ERR_BLOCKED_BY_CLIENT), ToCefString(url));
}

bool CefBrowserImpl::ClaimBlockedReport(const QUrl& url) {
  if (blocked_main_url_ == url) {
    blocked_main_url_.clear();
    return false;
  }
  blocked_main_url_ = url;
  return true;
}

void CefBrowserImpl::ReportAborted(CefRefPtr<CefFrame> frame, const QUrl& url) {
  // A cancelled navigation ends as an aborted load, after the decision.
  CefRefPtr<CefBrowserImpl> self(this);
  PostTask(TID_UI, [self, frame, url] {
    CefRefPtr<CefLoadHandler> handler =
        self->client_ ? self->client_->GetLoadHandler() : nullptr;
    if (handler && self->close_state_ != CloseState::kClosed) {
      handler->OnLoadError(self.get(), frame, ERR_ABORTED,
                           ErrorCodeName(ERR_ABORTED), ToCefString(url));
    }
  });
}

void CefBrowserImpl::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
  CefRefPtr<CefBrowserImpl> self(this);
  CefRefPtr<CefFrameImpl> frame = main_frame();
  if (!frame) {
    return;
  }
  CefRefPtr<CefLoadHandler> handler =
      client_ ? client_->GetLoadHandler() : nullptr;
  const bool started =
      info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    snapshot_.is_loading = started;
  }
  UpdateSnapshot();

  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      reload_pending_ = false;
      if (handler) {
        handler->OnLoadingStateChange(this, true, CanGoBack(), CanGoForward());
        // A refused navigation never starts loading a document.
        if (info.url() != refused_main_url_) {
          handler->OnLoadStart(this, frame.get(), pending_transition_);
        }
      }
      // Later navigations that Qt starts itself (history, redirects) are
      // links unless a decision says otherwise.
      pending_transition_ = TT_LINK;
      return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus: {
      const cef_errorcode_t error =
          info.status() == QWebEngineLoadingInfo::LoadSucceededStatus
              ? ERR_NONE
              : ToCefErrorCode(info.errorDomain(), info.errorCode());
      if (error == ERR_NONE) {
        // Qt puts the HTTP status where it puts error codes.
        const int status =
            info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain
                ? info.errorCode()
                : 0;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          snapshot_.has_document = true;
        }
        if (handler) {
          handler->OnLoadEnd(this, frame.get(), status);
        }
      } else if (handler && (error != ERR_BLOCKED_BY_CLIENT ||
                             ClaimBlockedReport(info.url()))) {
        handler->OnLoadError(this, frame.get(), error, ErrorCodeName(error),
                             ToCefString(info.url()));
      }
      break;
    }
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      if (handler) {
        handler->OnLoadError(this, frame.get(), ERR_ABORTED,
                             ErrorCodeName(ERR_ABORTED),
                             ToCefString(info.url()));
      }
      break;
  }
  refused_main_url_.clear();
  if (handler && close_state_ != CloseState::kClosed) {
    handler->OnLoadingStateChange(this, false, CanGoBack(), CanGoForward());
  }
}

void CefBrowserImpl::OnTitleChanged(const QString& title) {
  CefRefPtr<CefDisplayHandler> handler =
      client_ ? client_->GetDisplayHandler() : nullptr;
  if (handler) {
    handler->OnTitleChange(this, ToCefString(title));
  }
}

void CefBrowserImpl::OnUrlChanged(const QUrl& url) {
  CefRefPtr<CefFrameImpl> frame = main_frame();
  if (!frame) {
    return;
  }
  frame->SetURL(ToCefString(url));
  UpdateSnapshot();
  // Rights granted by content settings belong to an origin, not the page.
  std::shared_ptr<ContentSettings> settings = GetContentSettings();
  if (settings && page_) {
    settings->ApplyToPage(page_);
  }
  CefRefPtr<CefDisplayHandler> handler =
      client_ ? client_->GetDisplayHandler() : nullptr;
  if (handler) {
    handler->OnAddressChange(this, frame.get(), ToCefString(url));
  }
}

void CefBrowserImpl::OnFeaturePermissionRequested(
    const QUrl& origin,
    QWebEnginePage::Feature feature) {
  // A content setting decides before the application is asked.
  std::shared_ptr<ContentSettings> settings = GetContentSettings();
  if (settings && settings->AnswerPermissionRequest(page_, origin, feature)) {
    return;
  }
  CefRefPtr<CefPermissionHandler> handler =
      client_ ? client_->GetPermissionHandler() : nullptr;
  if (IsMediaFeature(feature)) {
    CefRefPtr<MediaAccessCallbackImpl> callback = new MediaAccessCallbackImpl(
        id_, origin, feature, MediaPermissions(feature));
    // Unhandled media requests are denied, as the real engine's Alloy style
    // does.
    if (!handler || !handler->OnRequestMediaAccessPermission(
                        this, main_frame().get(), OriginString(origin),
                        MediaPermissions(feature), callback.get())) {
      callback->Cancel();
    }
    return;
  }
  const uint64_t prompt_id = next_prompt_id_++;
  CefRefPtr<PermissionPromptCallbackImpl> callback =
      new PermissionPromptCallbackImpl(id_, prompt_id, origin, feature);
  if (!handler || !handler->OnShowPermissionPrompt(
                      this, prompt_id, OriginString(origin),
                      PromptPermissions(feature), callback.get())) {
    // Ignored: denied, and the handler hears nothing more of it.
    callback->Decline();
  }
}

void CefBrowserImpl::OnConsoleMessage(
    QWebEnginePage::JavaScriptConsoleMessageLevel level,
    const QString& message,
    int line,
    const QString& source) {
  CefRefPtr<CefDisplayHandler> handler =
      client_ ? client_->GetDisplayHandler() : nullptr;
  if (handler &&
      handler->OnConsoleMessage(this, ToSeverity(level), ToCefString(message),
                                ToCefString(source), line)) {
    return;
  }
  LOG(INFO) << "CONSOLE(" << line << ") \"" << message.toStdString()
            << "\", source: " << source.toStdString();
}

}  // namespace cefengine
