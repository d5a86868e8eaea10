#include "browser/downloads/download_item_impl.h"
#include "browser/browser/url_spec.h"

#include <algorithm>

#include <QDir>
#include <QWebEngineDownloadRequest>

namespace cefengine {

DownloadState ReadDownloadState(const QWebEngineDownloadRequest& request,
                                bool target_chosen) {
  DownloadState state;
  state.id = request.id();
  switch (request.state()) {
    case QWebEngineDownloadRequest::DownloadRequested:
      break;
    case QWebEngineDownloadRequest::DownloadInProgress:
      state.in_progress = true;
      break;
    case QWebEngineDownloadRequest::DownloadCompleted:
      state.complete = true;
      break;
    case QWebEngineDownloadRequest::DownloadCancelled:
      state.canceled = true;
      break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
      state.interrupted = true;
      break;
  }
  state.interrupt_reason =
      static_cast<cef_download_interrupt_reason_t>(request.interruptReason());
  // Qt says -1 for an unknown size, Chromium's items say 0.
  state.total_bytes = std::max<int64_t>(0, request.totalBytes());
  state.received_bytes = request.receivedBytes();
  if (target_chosen) {
    state.full_path = QDir(request.downloadDirectory())
                          .filePath(request.downloadFileName())
                          .toStdString();
  }
  // Qt reports only the URL the download started from.
  state.url = UrlSpec(request.url());
  state.original_url = state.url;
  state.suggested_name = request.suggestedFileName().toStdString();
  state.mime_type = request.mimeType().toStdString();
  return state;
}

int CefDownloadItemImpl::GetPercentComplete() {
  if (state_.total_bytes <= 0) {
    return -1;
  }
  return static_cast<int>(state_.received_bytes * 100 / state_.total_bytes);
}

}  // namespace cefengine
