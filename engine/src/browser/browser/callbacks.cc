#include "browser/browser/callbacks.h"

#include <chrono>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "common/tasks.h"

namespace cefengine {

namespace {

// Grants or denies |feature| to |origin| in the page of browser |browser_id|,
// on the UI thread; does nothing when the browser has gone.
void SetPagePermission(int browser_id,
                       const QUrl& origin,
                       QWebEnginePage::Feature feature,
                       bool grant,
                       std::function<void(CefRefPtr<CefBrowserImpl>)> then) {
  PostTask(TID_UI, [browser_id, origin, feature, grant, then] {
    CefRefPtr<CefBrowserImpl> browser = FindBrowser(browser_id);
    if (!browser || !browser->page()) {
      return;
    }
    browser->page()->setFeaturePermission(
        origin, feature,
        grant ? QWebEnginePage::PermissionGrantedByUser
              : QWebEnginePage::PermissionDeniedByUser);
    if (then) {
      then(browser);
    }
  });
}

}  // namespace

bool ResourceLoadCallback::Wait(int timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!done_cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                         [this] { return done_; })) {
    done_ = true;
    allow_ = false;
  }
  return allow_;
}

void ResourceLoadCallback::Continue() {
  Finish(true);
}

void ResourceLoadCallback::Cancel() {
  Finish(false);
}

void ResourceLoadCallback::Finish(bool allow) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (done_) {
    return;
  }
  done_ = true;
  allow_ = allow;
  done_cv_.notify_all();
}

bool JSDialogCallbackImpl::WaitForAnswer() {
  Await([this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return answered_ || aborted_;
  });
  std::lock_guard<std::mutex> lock(mutex_);
  return answered_;
}

void JSDialogCallbackImpl::Abort() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    aborted_ = true;
  }
  Wake();
}

bool JSDialogCallbackImpl::answered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return answered_;
}

bool JSDialogCallbackImpl::success() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return success_;
}

CefString JSDialogCallbackImpl::user_input() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return user_input_;
}

void JSDialogCallbackImpl::Continue(bool success, const CefString& user_input) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (answered_ || aborted_) {
      return;
    }
    answered_ = true;
    success_ = success;
    user_input_ = user_input;
  }
  Wake();
}

MediaAccessCallbackImpl::MediaAccessCallbackImpl(
    int browser_id,
    const QUrl& origin,
    QWebEnginePage::Feature feature,
    uint32_t requested)
    : browser_id_(browser_id),
      origin_(origin),
      feature_(feature),
      requested_(requested) {}

MediaAccessCallbackImpl::~MediaAccessCallbackImpl() {
  Answer(false);
}

void MediaAccessCallbackImpl::Continue(uint32_t allowed_permissions) {
  // Qt grants a request as a whole, so a partial grant is a denial.
  Answer((allowed_permissions & requested_) == requested_ && requested_ != 0);
}

void MediaAccessCallbackImpl::Cancel() {
  Answer(false);
}

void MediaAccessCallbackImpl::Answer(bool grant) {
  if (answered_.exchange(true)) {
    return;
  }
  SetPagePermission(browser_id_, origin_, feature_, grant, nullptr);
}

PermissionPromptCallbackImpl::PermissionPromptCallbackImpl(
    int browser_id,
    uint64_t prompt_id,
    const QUrl& origin,
    QWebEnginePage::Feature feature)
    : browser_id_(browser_id),
      prompt_id_(prompt_id),
      origin_(origin),
      feature_(feature) {}

PermissionPromptCallbackImpl::~PermissionPromptCallbackImpl() {
  Answer(CEF_PERMISSION_RESULT_IGNORE);
}

void PermissionPromptCallbackImpl::Decline() {
  if (answered_.exchange(true)) {
    return;
  }
  SetPagePermission(browser_id_, origin_, feature_, false, nullptr);
}

void PermissionPromptCallbackImpl::Continue(
    cef_permission_request_result_t result) {
  Answer(result);
}

void PermissionPromptCallbackImpl::Answer(
    cef_permission_request_result_t result) {
  if (answered_.exchange(true)) {
    return;
  }
  const uint64_t prompt_id = prompt_id_;
  SetPagePermission(
      browser_id_, origin_, feature_, result == CEF_PERMISSION_RESULT_ACCEPT,
      [prompt_id, result](CefRefPtr<CefBrowserImpl> browser) {
        CefRefPtr<CefClient> client = browser->client();
        CefRefPtr<CefPermissionHandler> handler =
            client ? client->GetPermissionHandler() : nullptr;
        if (handler) {
          handler->OnDismissPermissionPrompt(browser.get(), prompt_id, result);
        }
      });
}

}  // namespace cefengine
