// The callbacks a download handler continues or controls a download with.

#ifndef CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_CALLBACKS_H_
#define CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_CALLBACKS_H_

#include <atomic>
#include <mutex>
#include <string>

#include <QPointer>
#include <QWebEngineDownloadRequest>

#include "include/cef_download_handler.h"

namespace cefengine {

// Qt needs the target before its download signal returns, so the engine
// waits for Continue in a nested event loop. It holds one reference while
// it waits: a handler that drops all of its own without continuing cancels
// the download.
class BeforeDownloadCallbackImpl : public CefBeforeDownloadCallback {
 public:
  BeforeDownloadCallbackImpl() = default;
  BeforeDownloadCallbackImpl(const BeforeDownloadCallbackImpl&) = delete;
  BeforeDownloadCallbackImpl& operator=(const BeforeDownloadCallbackImpl&) =
      delete;

  // Waits until Continue or abandonment; true when continued. UI thread.
  bool WaitForContinue();
  std::string path() const;
  bool show_dialog() const;

  // CefBeforeDownloadCallback methods:
  void Continue(const CefString& download_path, bool show_dialog) override;

  // Reference counting that notices when only the engine's reference is
  // left.
  void AddRef() const override;
  bool Release() const override;
  bool HasOneRef() const override;
  bool HasAtLeastOneRef() const override;

 private:
  ~BeforeDownloadCallbackImpl() override = default;
  void Wake() const;

  mutable std::atomic<int> ref_count_{0};
  mutable std::mutex mutex_;
  bool continued_ = false;
  std::string path_;
  bool show_dialog_ = false;
};

// Cancel, Pause and Resume of a running download, from any thread.
class DownloadItemCallbackImpl : public CefDownloadItemCallback {
 public:
  explicit DownloadItemCallbackImpl(QWebEngineDownloadRequest* request);

  // CefDownloadItemCallback methods:
  void Cancel() override;
  void Pause() override;
  void Resume() override;

 private:
  void Run(void (QWebEngineDownloadRequest::*action)());

  // Deleted by Qt's profile; only touched on the UI thread.
  QPointer<QWebEngineDownloadRequest> request_;

  IMPLEMENT_REFCOUNTING(DownloadItemCallbackImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_CALLBACKS_H_
