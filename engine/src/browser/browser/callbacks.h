// The engine's side of the callbacks that clients continue: resource loads,
// script dialogs and permission requests.

#ifndef CEFENGINE_BROWSER_BROWSER_CALLBACKS_H_
#define CEFENGINE_BROWSER_BROWSER_CALLBACKS_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <QWebEnginePage>

#include "browser/browser/awaited_callback.h"
#include "include/cef_callback.h"
#include "include/cef_jsdialog_handler.h"
#include "include/cef_permission_handler.h"

namespace cefengine {

// Continues or cancels one resource request that a handler held back.
class ResourceLoadCallback : public CefCallback {
 public:
  ResourceLoadCallback() = default;

  // Blocks until Continue or Cancel, at most |timeout_ms|. Returns true when
  // the request may go ahead; a timeout cancels it.
  bool Wait(int timeout_ms);

  // CefCallback methods:
  void Continue() override;
  void Cancel() override;

 private:
  void Finish(bool allow);

  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  bool allow_ = false;

  IMPLEMENT_REFCOUNTING(ResourceLoadCallback);
};

// Answers one script dialog. The engine keeps one reference while it waits;
// when the client drops all of its own without continuing, the dialog counts
// as cancelled.
class JSDialogCallbackImpl : public AwaitedCallback<CefJSDialogCallback> {
 public:
  JSDialogCallbackImpl() = default;

  // Waits in a nested event loop until the dialog is answered or abandoned,
  // or Abort is called. UI thread. Returns whether it was answered.
  bool WaitForAnswer();
  // Ends a wait with "cancelled" (the browser is closing).
  void Abort();

  bool answered() const;
  bool success() const;
  CefString user_input() const;

  // CefJSDialogCallback methods:
  void Continue(bool success, const CefString& user_input) override;

 private:
  ~JSDialogCallbackImpl() override = default;

  mutable std::mutex mutex_;
  bool answered_ = false;
  bool aborted_ = false;
  bool success_ = false;
  CefString user_input_;
};

// Answers a camera/microphone/screen request of the page of browser
// |browser_id|. Unanswered when released, it denies.
class MediaAccessCallbackImpl : public CefMediaAccessCallback {
 public:
  MediaAccessCallbackImpl(int browser_id,
                          const QUrl& origin,
                          QWebEnginePage::Feature feature,
                          uint32_t requested);

  // CefMediaAccessCallback methods:
  void Continue(uint32_t allowed_permissions) override;
  void Cancel() override;

 private:
  ~MediaAccessCallbackImpl() override;
  void Answer(bool grant);

  const int browser_id_;
  const QUrl origin_;
  const QWebEnginePage::Feature feature_;
  const uint32_t requested_;
  std::atomic<bool> answered_{false};

  IMPLEMENT_REFCOUNTING(MediaAccessCallbackImpl);
};

// Answers another permission request; the client's handler then hears of
// the result through OnDismissPermissionPrompt. Unanswered when released, it
// ends with CEF_PERMISSION_RESULT_IGNORE.
class PermissionPromptCallbackImpl : public CefPermissionPromptCallback {
 public:
  PermissionPromptCallbackImpl(int browser_id,
                               uint64_t prompt_id,
                               const QUrl& origin,
                               QWebEnginePage::Feature feature);

  // Denies the request without telling the handler (it did not take the
  // prompt).
  void Decline();

  // CefPermissionPromptCallback methods:
  void Continue(cef_permission_request_result_t result) override;

 private:
  ~PermissionPromptCallbackImpl() override;
  void Answer(cef_permission_request_result_t result);

  const int browser_id_;
  const uint64_t prompt_id_;
  const QUrl origin_;
  const QWebEnginePage::Feature feature_;
  std::atomic<bool> answered_{false};

  IMPLEMENT_REFCOUNTING(PermissionPromptCallbackImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_CALLBACKS_H_
