// Script dialogs of the page (alert, confirm, prompt, leave-page question)
// through the client's CefJSDialogHandler. UI thread.
//
// Qt needs each answer before its dialog call returns, so a client that
// answers later is waited for in a nested event loop. A callback that the
// client releases without continuing cancels the dialog at once.

#include <algorithm>

#include "browser/browser/browser_impl.h"
#include "browser/browser/callbacks.h"

namespace cefengine {

namespace {

// The text the real engine gives with the leave-page question: pages can no
// longer word it themselves.
constexpr char kBeforeUnloadText[] = "Is it OK to leave/reload this page?";

}  // namespace

CefBrowserImpl::DialogOutcome CefBrowserImpl::RunScriptDialog(
    cef_jsdialog_type_t type,
    const QUrl& origin,
    const QString& message,
    const QString& default_prompt,
    QString* prompt_result) {
  if (close_state_ == CloseState::kClosed) {
    return DialogOutcome::kCancelled;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  CefRefPtr<CefJSDialogHandler> handler =
      client_ ? client_->GetJSDialogHandler() : nullptr;
  if (!handler) {
    return DialogOutcome::kUseDefault;
  }
  CefRefPtr<JSDialogCallbackImpl> callback = new JSDialogCallbackImpl();
  bool suppress_message = false;
  if (!handler->OnJSDialog(this, origin.toString().toStdString(), type,
                           message.toStdString(), default_prompt.toStdString(),
                           callback.get(), suppress_message)) {
    return suppress_message ? DialogOutcome::kCancelled
                            : DialogOutcome::kUseDefault;
  }
  active_dialogs_.push_back(callback.get());
  const bool answered = callback->WaitForAnswer();
  active_dialogs_.erase(std::remove(active_dialogs_.begin(),
                                    active_dialogs_.end(), callback.get()),
                        active_dialogs_.end());
  if (close_state_ != CloseState::kClosed) {
    handler->OnDialogClosed(this);
  }
  if (!answered || !callback->success()) {
    return DialogOutcome::kCancelled;
  }
  if (prompt_result) {
    *prompt_result = QString::fromStdString(callback->user_input().ToString());
  }
  return DialogOutcome::kAccepted;
}

CefBrowserImpl::DialogOutcome CefBrowserImpl::RunBeforeUnloadDialog(
    const QString& message) {
  if (close_state_ == CloseState::kClosed) {
    return DialogOutcome::kCancelled;
  }
  CefRefPtr<CefBrowserImpl> self(this);
  const bool is_reload = reload_pending_;
  reload_pending_ = false;
  CefRefPtr<CefJSDialogHandler> handler =
      client_ ? client_->GetJSDialogHandler() : nullptr;
  if (!handler) {
    return DialogOutcome::kUseDefault;
  }
  CefRefPtr<JSDialogCallbackImpl> callback = new JSDialogCallbackImpl();
  if (!handler->OnBeforeUnloadDialog(this, kBeforeUnloadText, is_reload,
                                     callback.get())) {
    return DialogOutcome::kUseDefault;
  }
  active_dialogs_.push_back(callback.get());
  const bool answered = callback->WaitForAnswer();
  active_dialogs_.erase(std::remove(active_dialogs_.begin(),
                                    active_dialogs_.end(), callback.get()),
                        active_dialogs_.end());
  const bool leave = answered && callback->success();
  if (close_state_ != CloseState::kClosed) {
    handler->OnDialogClosed(this);
  }
  OnBeforeUnloadAnswered(leave);
  return leave ? DialogOutcome::kAccepted : DialogOutcome::kCancelled;
}

}  // namespace cefengine
