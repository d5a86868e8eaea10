// Downloads started by pages or by CefBrowserHost::StartDownload.

#ifndef CEF_INCLUDE_CEF_DOWNLOAD_HANDLER_H_
#define CEF_INCLUDE_CEF_DOWNLOAD_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"
#include "include/cef_download_item.h"

// Chooses where a download goes. Any thread.
class CefBeforeDownloadCallback : public virtual CefBaseRefCounted {
 public:
  // Saves to |download_path| (a full path; empty keeps the suggested name
  // in the default folder), asking the user first when |show_dialog|. A
  // cancelled dialog cancels the download, which OnDownloadUpdated reports.
  virtual void Continue(const CefString& download_path, bool show_dialog) = 0;
};

// Controls a running download. Any thread.
class CefDownloadItemCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Cancel() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
};

// UI thread of the browser process.
class CefDownloadHandler : public virtual CefBaseRefCounted {
 public:
  // Return false to refuse a download of |url|.
  virtual bool CanDownload(CefRefPtr<CefBrowser> browser,
                           const CefString& url,
                           const CefString& request_method) {
    return true;
  }

  // Before the download starts. Return true and continue |callback| (now or
  // later) to choose the target; false cancels the download.
  virtual bool OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefDownloadItem> download_item,
                                const CefString& suggested_name,
                                CefRefPtr<CefBeforeDownloadCallback> callback) {
    return false;
  }

  // Progress, completion, cancellation or interruption of a download.
  virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefDownloadItem> download_item,
                                 CefRefPtr<CefDownloadItemCallback> callback) {}
};

#endif  // CEF_INCLUDE_CEF_DOWNLOAD_HANDLER_H_
