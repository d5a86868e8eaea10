#include "browser/downloads/download_manager.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "browser/browser/url_spec.h"
#include "browser/browser_view_host.h"
#include "browser/dialogs/file_dialog.h"
#include "browser/downloads/download_callbacks.h"
#include "browser/downloads/download_item_impl.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

// Reports one accepted download to its handler until it ends. Owned by the
// Qt download request, so it goes with it.
class DownloadTracker : public QObject {
 public:
  DownloadTracker(QWebEngineDownloadRequest* request,
                  CefRefPtr<CefBrowser> browser,
                  CefRefPtr<CefDownloadHandler> handler)
      : QObject(request),
        request_(request),
        browser_(browser),
        handler_(handler),
        callback_(new DownloadItemCallbackImpl(request)),
        last_time_ms_(QDateTime::currentMSecsSinceEpoch()) {
    auto update = [this] { Report(); };
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            update);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this,
            update);
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, update);
    connect(request, &QWebEngineDownloadRequest::isPausedChanged, this, update);
  }

 private:
  void Report() {
    if (reported_end_) {
      return;
    }
    DownloadState state = ReadDownloadState(*request_, /*target_chosen=*/true);
    // Bytes per second since the previous report.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now > last_time_ms_ && state.received_bytes >= last_bytes_) {
      speed_ =
          (state.received_bytes - last_bytes_) * 1000 / (now - last_time_ms_);
    }
    last_time_ms_ = now;
    last_bytes_ = state.received_bytes;
    state.speed = state.in_progress ? speed_ : 0;
    reported_end_ = state.complete || state.canceled || state.interrupted;
    CefRefPtr<CefDownloadItemImpl> item = new CefDownloadItemImpl(state);
    handler_->OnDownloadUpdated(browser_, item.get(), callback_.get());
    item->Invalidate();
  }

  QWebEngineDownloadRequest* request_;
  CefRefPtr<CefBrowser> browser_;
  CefRefPtr<CefDownloadHandler> handler_;
  CefRefPtr<DownloadItemCallbackImpl> callback_;
  qint64 last_time_ms_;
  int64_t last_bytes_ = 0;
  int64_t speed_ = 0;
  bool reported_end_ = false;
};

// Where a download goes when the handler leaves the path empty: the
// suggested name in the temporary directory.
QString DefaultTarget(const QWebEngineDownloadRequest& request) {
  QString name = request.suggestedFileName();
  if (name.isEmpty()) {
    name = request.downloadFileName();
  }
  return QDir(QDir::tempPath()).filePath(name);
}

// Chooses the target, or returns an empty string to cancel.
QString ChooseTarget(QWebEngineDownloadRequest* request,
                     CefRefPtr<CefBrowserImpl> browser,
                     BeforeDownloadCallbackImpl* callback) {
  QString target = QString::fromStdString(callback->path());
  if (target.isEmpty()) {
    target = DefaultTarget(*request);
  }
  if (callback->show_dialog()) {
    // The proposed folder is made first, as the real engine does, so the
    // dialog opens in it; when that fails the proposal moves to the
    // temporary directory.
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
      target = DefaultTarget(*request);
    }
    FileDialogRequest dialog;
    dialog.mode = FILE_DIALOG_SAVE;
    dialog.default_path = target.toStdString();
    QWidget* parent =
        browser->view_host() ? browser->view_host()->GetViewWidget() : nullptr;
    // Qt needs the answer before the download signal returns.
    const std::vector<std::string> chosen = RunFileDialogNested(parent, dialog);
    if (chosen.empty()) {
      return QString();
    }
    target = QString::fromStdString(chosen.front());
  } else if (target.endsWith(QLatin1Char('/'))) {
    // A folder without a file name: the suggested name goes into it.
    target += QFileInfo(DefaultTarget(*request)).fileName();
  }
  return QFileInfo(target).absoluteFilePath();
}

// The user cancelled the save dialog: the item ends cancelled, with no
// path, and the handler hears of it as the real engine reports it.
void ReportCanceled(QWebEngineDownloadRequest* request,
                    CefRefPtr<CefBrowserImpl> browser,
                    CefRefPtr<CefDownloadHandler> handler) {
  DownloadState state = ReadDownloadState(*request, /*target_chosen=*/false);
  state.in_progress = false;
  state.canceled = true;
  CefRefPtr<CefDownloadItemImpl> item = new CefDownloadItemImpl(state);
  CefRefPtr<DownloadItemCallbackImpl> callback =
      new DownloadItemCallbackImpl(request);
  handler->OnDownloadUpdated(browser.get(), item.get(), callback.get());
  item->Invalidate();
}

void OnDownloadRequested(QWebEngineDownloadRequest* request) {
  // Saving a page is not a download the engine's clients hear of.
  if (request->isSavePageDownload()) {
    return;
  }
  CefRefPtr<CefBrowserImpl> browser = FindBrowserForPage(request->page());
  CefRefPtr<CefClient> client = browser ? browser->client() : nullptr;
  CefRefPtr<CefDownloadHandler> handler =
      client ? client->GetDownloadHandler() : nullptr;
  if (!handler) {
    // Without a handler the download is cancelled, as the real engine's
    // default handling does.
    request->cancel();
    return;
  }
  // Qt does not say which method started the download; downloads of
  // navigations and links are GETs.
  if (!handler->CanDownload(browser.get(), UrlSpec(request->url()), "GET")) {
    request->cancel();
    return;
  }

  CefRefPtr<BeforeDownloadCallbackImpl> callback =
      new BeforeDownloadCallbackImpl();
  CefRefPtr<CefDownloadItemImpl> item = new CefDownloadItemImpl(
      ReadDownloadState(*request, /*target_chosen=*/false));
  const bool handled = handler->OnBeforeDownload(
      browser.get(), item.get(), request->suggestedFileName().toStdString(),
      callback.get());
  item->Invalidate();
  item = nullptr;
  if (!handled || !callback->WaitForContinue()) {
    request->cancel();
    return;
  }
  const QString target = ChooseTarget(request, browser, callback.get());
  if (target.isEmpty()) {
    request->cancel();
    ReportCanceled(request, browser, handler);
    return;
  }
  const QFileInfo info(target);
  if (!QDir().mkpath(info.absolutePath())) {
    LOG(WARNING) << "Cannot create the download folder "
                 << info.absolutePath().toStdString();
  }
  request->setDownloadDirectory(info.absolutePath());
  request->setDownloadFileName(info.fileName());
  new DownloadTracker(request, browser.get(), handler);
  request->accept();
}

}  // namespace

void ConnectDownloads(QWebEngineProfile* profile) {
  QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                   &OnDownloadRequested);
}

}  // namespace cefengine
