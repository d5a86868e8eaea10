#include "browser/downloads/download_callbacks.h"

#include <QEventLoop>
#include <QMetaObject>

#include "common/tasks.h"

namespace cefengine {

namespace {

// The nested loop a waiting callback runs; a wake posted before exec() still
// ends it because quit is queued.
std::mutex g_loop_mutex;
QEventLoop* g_waiting_loop = nullptr;

}  // namespace

bool BeforeDownloadCallbackImpl::WaitForContinue() {
  QEventLoop loop;
  QEventLoop* outer = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_loop_mutex);
    outer = g_waiting_loop;
    g_waiting_loop = &loop;
  }
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (continued_) {
        break;
      }
    }
    if (HasOneRef()) {
      break;
    }
    // An application quit also ends every nested loop of the thread.
    if (loop.exec() != 0) {
      break;
    }
  }
  {
    std::lock_guard<std::mutex> lock(g_loop_mutex);
    g_waiting_loop = outer;
  }
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

void BeforeDownloadCallbackImpl::AddRef() const {
  ref_count_.fetch_add(1, std::memory_order_relaxed);
}

bool BeforeDownloadCallbackImpl::Release() const {
  const int left = ref_count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) {
    delete this;
    return true;
  }
  if (left == 1) {
    Wake();
  }
  return false;
}

bool BeforeDownloadCallbackImpl::HasOneRef() const {
  return ref_count_.load(std::memory_order_acquire) == 1;
}

bool BeforeDownloadCallbackImpl::HasAtLeastOneRef() const {
  return ref_count_.load(std::memory_order_acquire) >= 1;
}

void BeforeDownloadCallbackImpl::Wake() const {
  std::lock_guard<std::mutex> lock(g_loop_mutex);
  if (g_waiting_loop) {
    QMetaObject::invokeMethod(g_waiting_loop, "quit", Qt::QueuedConnection);
  }
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
