// Creation and closing of browsers, and popups.

#ifndef CEF_INCLUDE_CEF_LIFE_SPAN_HANDLER_H_
#define CEF_INCLUDE_CEF_LIFE_SPAN_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"

class CefClient;

// UI thread of the browser process.
class CefLifeSpanHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_window_open_disposition_t WindowOpenDisposition;

  // A page of |browser| asks for a popup. |popupFeatures| carries the
  // rectangle the page requested. Return true to refuse the popup; return
  // false to let it open, optionally after changing |windowInfo|, |client|,
  // |settings| or |extra_info| (|client| and |settings| start as the
  // opener's).
  virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser,
                             CefRefPtr<CefFrame> frame,
                             int popup_id,
                             const CefString& target_url,
                             const CefString& target_frame_name,
                             WindowOpenDisposition target_disposition,
                             bool user_gesture,
                             const CefPopupFeatures& popupFeatures,
                             CefWindowInfo& windowInfo,
                             CefRefPtr<CefClient>& client,
                             CefBrowserSettings& settings,
                             CefRefPtr<CefDictionaryValue>& extra_info,
                             bool* no_javascript_access) {
    return false;
  }

  // A popup allowed by OnBeforePopup could not be created.
  virtual void OnBeforePopupAborted(CefRefPtr<CefBrowser> browser,
                                    int popup_id) {}

  // A developer tools popup is about to be created.
  virtual void OnBeforeDevToolsPopup(CefRefPtr<CefBrowser> browser,
                                     CefWindowInfo& windowInfo,
                                     CefRefPtr<CefClient>& client,
                                     CefBrowserSettings& settings,
                                     CefRefPtr<CefDictionaryValue>& extra_info,
                                     bool* use_default_window) {}

  // |browser| exists and may be used.
  virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) {}

  // The close of |browser| has been accepted (the page's leave handling has
  // run or was skipped). Return false to let the engine close the browser's
  // top-level window, which closes the browser; return true when the client
  // closes it itself.
  virtual bool DoClose(CefRefPtr<CefBrowser> browser) { return false; }

  // Last call for |browser|: drop every reference to it. Afterwards only
  // IsValid (false), GetIdentifier and IsSame may be used.
  virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) {}
};

#endif  // CEF_INCLUDE_CEF_LIFE_SPAN_HANDLER_H_
