// A download as a handler sees it: a copy of Qt's download state taken for
// one handler call. It answers IsValid() = false once that call is over.

#ifndef CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_ITEM_IMPL_H_
#define CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_ITEM_IMPL_H_

#include <atomic>
#include <cstdint>
#include <string>

#include "include/cef_download_item.h"

class QWebEngineDownloadRequest;

namespace cefengine {

struct DownloadState {
  uint32_t id = 0;
  bool in_progress = false;
  bool complete = false;
  bool canceled = false;
  bool interrupted = false;
  cef_download_interrupt_reason_t interrupt_reason =
      CEF_DOWNLOAD_INTERRUPT_REASON_NONE;
  int64_t speed = 0;
  int64_t total_bytes = 0;
  int64_t received_bytes = 0;
  std::string full_path;
  std::string url;
  std::string original_url;
  std::string suggested_name;
  std::string content_disposition;
  std::string mime_type;
};

// Reads |request|; |full_path| is empty until the target is chosen. Qt's
// interrupt reasons carry Chromium's numbers, as CEF's do.
DownloadState ReadDownloadState(const QWebEngineDownloadRequest& request,
                                bool target_chosen);

class CefDownloadItemImpl : public CefDownloadItem {
 public:
  explicit CefDownloadItemImpl(const DownloadState& state) : state_(state) {}
  CefDownloadItemImpl(const CefDownloadItemImpl&) = delete;
  CefDownloadItemImpl& operator=(const CefDownloadItemImpl&) = delete;

  // The handler call is over.
  void Invalidate() { valid_ = false; }

  // CefDownloadItem methods:
  bool IsValid() override { return valid_; }
  bool IsInProgress() override { return state_.in_progress; }
  bool IsComplete() override { return state_.complete; }
  bool IsCanceled() override { return state_.canceled; }
  bool IsInterrupted() override { return state_.interrupted; }
  cef_download_interrupt_reason_t GetInterruptReason() override {
    return state_.interrupt_reason;
  }
  int64_t GetCurrentSpeed() override { return state_.speed; }
  int GetPercentComplete() override;
  int64_t GetTotalBytes() override { return state_.total_bytes; }
  int64_t GetReceivedBytes() override { return state_.received_bytes; }
  CefString GetFullPath() override { return state_.full_path; }
  uint32_t GetId() override { return state_.id; }
  CefString GetURL() override { return state_.url; }
  CefString GetOriginalUrl() override { return state_.original_url; }
  CefString GetSuggestedFileName() override { return state_.suggested_name; }
  CefString GetContentDisposition() override {
    return state_.content_disposition;
  }
  CefString GetMimeType() override { return state_.mime_type; }

 private:
  ~CefDownloadItemImpl() override = default;

  const DownloadState state_;
  std::atomic<bool> valid_{true};

  IMPLEMENT_REFCOUNTING(CefDownloadItemImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_ITEM_IMPL_H_
