// The callbacks a download handler continues or controls a download with.

#ifndef CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_CALLBACKS_H_
#define CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_CALLBACKS_H_

#include <mutex>
#include <string>

#include <QPointer>
#include <QWebEngineDownloadRequest>

#include "browser/browser/awaited_callback.h"
#include "include/cef_download_handler.h"

namespace cefengine {

// Qt needs the target before its download signal returns, so the engine
// waits for Continue in a nested event loop. It holds one reference while
// it waits: a handler that drops all of its own without continuing cancels
// the download.
class BeforeDownloadCallbackImpl
    : public AwaitedCallback<CefBeforeDownloadCallback> {
 public:
  BeforeDownloadCallbackImpl() = default;

  // Waits until Continue or abandonment; true when continued. UI thread.
  bool WaitForContinue();
  std::string path() const;
  bool show_dialog() const;

  // CefBeforeDownloadCallback methods:
  void Continue(const CefString& download_path, bool show_dialog) override;

 private:
  ~BeforeDownloadCallbackImpl() override = default;

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
