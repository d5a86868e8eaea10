// Script dialogs of a page: alert, confirm, prompt and the leave-page
// question.

#ifndef CEF_INCLUDE_CEF_JSDIALOG_HANDLER_H_
#define CEF_INCLUDE_CEF_JSDIALOG_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"

// Answers a dialog. Any thread; only the first call counts. Dropping the last
// reference without calling Continue counts as cancelling the dialog.
class CefJSDialogCallback : public virtual CefBaseRefCounted {
 public:
  // |success| is true for OK; |user_input| is the answer of a prompt.
  virtual void Continue(bool success, const CefString& user_input) = 0;
};

// UI thread of the browser process. The page waits while its dialog is open.
class CefJSDialogHandler : public virtual CefBaseRefCounted {
 public:
  typedef cef_jsdialog_type_t JSDialogType;

  // alert(), confirm() or prompt(). Return true when the client shows its
  // own dialog (or answered at once through |callback|); return false for
  // the engine's default dialog, or with |suppress_message| set to answer
  // "cancel" without showing anything. The development engine's default
  // dialogs are Qt's modal message boxes: they wait for a user.
  virtual bool OnJSDialog(CefRefPtr<CefBrowser> browser,
                          const CefString& origin_url,
                          JSDialogType dialog_type,
                          const CefString& message_text,
                          const CefString& default_prompt_text,
                          CefRefPtr<CefJSDialogCallback> callback,
                          bool& suppress_message) {
    return false;
  }

  // The page's beforeunload handler asked whether to leave the page (for a
  // close, a navigation or, with |is_reload|, a reload). Return true when the
  // client answers through |callback|: Continue(true) leaves, Continue(false)
  // or never continuing stays. Return false for the engine's default dialog.
  virtual bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser,
                                    const CefString& message_text,
                                    bool is_reload,
                                    CefRefPtr<CefJSDialogCallback> callback) {
    return false;
  }

  // Pending dialogs are void (for example after a navigation).
  virtual void OnResetDialogState(CefRefPtr<CefBrowser> browser) {}

  // A dialog was closed.
  virtual void OnDialogClosed(CefRefPtr<CefBrowser> browser) {}
};

#endif  // CEF_INCLUDE_CEF_JSDIALOG_HANDLER_H_
