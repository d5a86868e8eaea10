// The navigation facets of ShellClient: main-frame navigations, tab-open
// requests, popups and every single resource load pass the allow-list here.

#include "client/shell_client.h"
#include "include/wrapper/cef_helpers.h"

bool ShellClient::OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefFrame> frame,
                                 CefRefPtr<CefRequest> request,
                                 bool user_gesture,
                                 bool is_redirect) {
  CEF_REQUIRE_UI_THREAD();
  // Subframes are held back resource by resource instead.
  if (request->GetResourceType() != RT_MAIN_FRAME) {
    return false;
  }
  const CefString url = request->GetURL();
  if (IsAllowedUrl(url)) {
    return false;
  }
  if (IsInternalUrl(url)) {
    return true;
  }
  OpenExternally(url.ToString());
  // A browser whose first page went outside has nothing left to show.
  if (!browser->CanGoBack()) {
    browser->GetHost()->CloseBrowser(false);
  }
  return true;
}

bool ShellClient::HoldsBack(const CefString& target_url) const {
  if (target_url.empty()) {
    return false;
  }
  // The engine's own pages first: no list may let them in.
  if (IsInternalUrl(target_url)) {
    return true;
  }
  if (IsAllowedUrl(target_url)) {
    return false;
  }
  OpenExternally(target_url.ToString());
  return true;
}

bool ShellClient::OnOpenURLFromTab(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    const CefString& target_url,
    CefRequestHandler::WindowOpenDisposition target_disposition,
    bool user_gesture) {
  CEF_REQUIRE_UI_THREAD();
  return HoldsBack(target_url);
}

bool ShellClient::OnBeforePopup(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    int popup_id,
    const CefString& target_url,
    const CefString& target_frame_name,
    CefLifeSpanHandler::WindowOpenDisposition target_disposition,
    bool user_gesture,
    const CefPopupFeatures& popupFeatures,
    CefWindowInfo& windowInfo,
    CefRefPtr<CefClient>& client,
    CefBrowserSettings& settings,
    CefRefPtr<CefDictionaryValue>& extra_info,
    bool* no_javascript_access) {
  CEF_REQUIRE_UI_THREAD();
  // The main window lays a popup out from the rectangle the page asked for,
  // whatever becomes of the popup.
  windowInfo.runtime_style = CEF_RUNTIME_STYLE_ALLOY;
  windowInfo.bounds = {popupFeatures.x, popupFeatures.y, popupFeatures.width,
                       popupFeatures.height};
  lastPopupRect = {popupFeatures.x, popupFeatures.y, popupFeatures.width,
                   popupFeatures.height};
  return HoldsBack(target_url);
}

CefRefPtr<CefResourceRequestHandler> ShellClient::GetResourceRequestHandler(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    CefRefPtr<CefRequest> request,
    bool is_navigation,
    bool is_download,
    const CefString& request_initiator,
    bool& disable_default_handling) {
  return this;
}

CefResourceRequestHandler::ReturnValue ShellClient::OnBeforeResourceLoad(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    CefRefPtr<CefRequest> request,
    CefRefPtr<CefCallback> callback) {
  CEF_REQUIRE_IO_THREAD();
  const CefString url = request->GetURL();
  if (IsInternalUrl(url) || !IsAllowedUrl(url)) {
    return RV_CANCEL;
  }
  return RV_CONTINUE;
}
