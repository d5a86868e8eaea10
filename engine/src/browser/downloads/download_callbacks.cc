#include "browser/downloads/download_callbacks.h"

#include "common/tasks.h"

namespace cefengine {

bool BeforeDownloadCallbackImpl::WaitForContinue() {
  Await([this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return continued_;
  });
  std::lock_guard<std::mutex> lock(mutex_);
  return continued_;
}

std::string BeforeDownloadCallbackImpl::path() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return path_;
}

bool BeforeDownloadCallbackImpl::show_dialog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return show_dialog_;
}

void BeforeDownloadCallbackImpl::Continue(const CefString& download_path,
                                          bool show_dialog) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (continued_) {
      return;
    }
    continued_ = true;
    path_ = download_path.ToString();
    show_dialog_ = show_dialog;
  }
  Wake();
}

DownloadItemCallbackImpl::DownloadItemCallbackImpl(
    QWebEngineDownloadRequest* request)
    : request_(request) {}

void DownloadItemCallbackImpl::Cancel() {
  Run(&QWebEngineDownloadRequest::cancel);
}

void DownloadItemCallbackImpl::Pause() {
  Run(&QWebEngineDownloadRequest::pause);
}

void DownloadItemCallbackImpl::Resume() {
  Run(&QWebEngineDownloadRequest::resume);
}

void DownloadItemCallbackImpl::Run(
    void (QWebEngineDownloadRequest::*action)()) {
  CefRefPtr<DownloadItemCallbackImpl> self(this);
  PostTask(TID_UI, [self, action] {
    if (self->request_ && !self->request_->isFinished()) {
      (self->request_.data()->*action)();
    }
  });
}

}  // namespace cefengine
