// Pages asking for new windows: popups (window.open, links with a target of
// their own) and links opened with a modifier (middle click, ctrl+click,
// shift+click). Chromium tells the two by how the request arose, not by the
// disposition, which modifiers set for both; Qt reports only the latter, so
// the page script reports modifier clicks on links first (bridge_script.cc).
// UI thread.

#include <QUrl>
#include <QWebEngineNewWindowRequest>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_page.h"
#include "browser/browser/browser_registry.h"
#include "browser/browser/frame_impl.h"
#include "browser/browser/native_browser_window.h"
#include "browser/browser/url_spec.h"
#include "browser/browser_view_host.h"

namespace cefengine {

namespace {

// Qt reports the rectangle of window.open's features with zeros for what the
// page left out.
CefPopupFeatures ToPopupFeatures(const QRect& geometry, bool is_popup) {
  CefPopupFeatures features;
  features.x = geometry.x();
  features.xSet = geometry.x() != 0;
  features.y = geometry.y();
  features.ySet = geometry.y() != 0;
  features.width = geometry.width();
  features.widthSet = geometry.width() != 0;
  features.height = geometry.height();
  features.heightSet = geometry.height() != 0;
  features.isPopup = is_popup;
  return features;
}

}  // namespace

void CefBrowserImpl::OnNewWindowRequested(QWebEngineNewWindowRequest& request) {
  if (close_state_ == CloseState::kClosed) {
    return;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  const bool from_link =
      !modifier_link_.empty() &&
      QUrl(QString::fromStdString(modifier_link_)) == request.requestedUrl();
  modifier_link_.clear();
  cef_window_open_disposition_t disposition = CEF_WOD_NEW_FOREGROUND_TAB;
  switch (request.destination()) {
    case QWebEngineNewWindowRequest::InNewBackgroundTab:
      disposition = CEF_WOD_NEW_BACKGROUND_TAB;
      break;
    case QWebEngineNewWindowRequest::InNewWindow:
      disposition = CEF_WOD_NEW_WINDOW;
      break;
    case QWebEngineNewWindowRequest::InNewTab:
      disposition = CEF_WOD_NEW_FOREGROUND_TAB;
      break;
    case QWebEngineNewWindowRequest::InNewDialog:
      disposition = CEF_WOD_NEW_POPUP;
      break;
  }
  if (from_link && disposition != CEF_WOD_NEW_POPUP) {
    OpenURLFromTab(request, disposition);
  } else {
    OpenPopup(request, disposition);
  }
}

void CefBrowserImpl::NoteModifierLinkClick(const std::string& url) {
  modifier_link_ = url;
}

void CefBrowserImpl::OpenURLFromTab(QWebEngineNewWindowRequest& request,
                                    cef_window_open_disposition_t disposition) {
  const CefString url = UrlSpec(request.requestedUrl());
  CefRefPtr<CefRequestHandler> handler =
      client_ ? client_->GetRequestHandler() : nullptr;
  const bool cancel = handler && handler->OnOpenURLFromTab(
                                     this, main_frame().get(), url, disposition,
                                     request.isUserInitiated());
  // The engine opens no tabs: an allowed link loads in this browser.
  DiscardNewWindow(request);
  if (!cancel) {
    LoadURLInPage(url);
  }
}

void CefBrowserImpl::OpenPopup(QWebEngineNewWindowRequest& request,
                               cef_window_open_disposition_t disposition) {
  const QRect geometry = request.requestedGeometry();
  const CefString url = UrlSpec(request.requestedUrl());
  const int popup_id = next_popup_id_++;
  CefPopupFeatures features =
      ToPopupFeatures(geometry, disposition == CEF_WOD_NEW_POPUP);
  CefWindowInfo window_info;
  CefRefPtr<CefClient> popup_client = client_;
  CefBrowserSettings popup_settings = settings_;
  CefRefPtr<CefDictionaryValue> popup_extra_info;
  bool no_javascript_access = false;

  CefRefPtr<CefLifeSpanHandler> handler =
      client_ ? client_->GetLifeSpanHandler() : nullptr;
  if (handler &&
      handler->OnBeforePopup(
          this, main_frame().get(), popup_id, url, CefString(), disposition,
          request.isUserInitiated(), features, window_info, popup_client,
          popup_settings, popup_extra_info, &no_javascript_access)) {
    DiscardNewWindow(request);
    return;
  }
  if (close_state_ == CloseState::kClosed) {
    // The handler closed the opener.
    DiscardNewWindow(request);
    return;
  }

  CefRefPtr<CefBrowserImpl> popup =
      new CefBrowserImpl(popup_client, popup_settings, popup_extra_info, id_);
  popup->Initialize();
  // Qt hands over the page the opener's script already refers to.
  request.openIn(popup->page());
  popup->page_->ReinstallInterceptor();
  popup->UpdateSnapshot();
  popup->NotifyCreated();

  if (host_ && host_->IsBrowserView()) {
    host_->OnPopupBrowserCreated(popup.get(), /*is_devtools=*/false);
  } else {
    // Not views-hosted: the popup gets a window of its own, where the client
    // (window_info) or else the page (features) asked for it.
    CefRect bounds = window_info.bounds;
    if (bounds.width <= 0 || bounds.height <= 0) {
      bounds = CefRect(features.x, features.y, features.width, features.height);
    }
    NativeBrowserWindow::Open(popup, bounds);
  }
}

void CefBrowserImpl::DiscardNewWindow(QWebEngineNewWindowRequest& request) {
  // Not adopting the request is enough: Qt drops the new page.
}

}  // namespace cefengine
