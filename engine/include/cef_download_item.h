// The state of one download.

#ifndef CEF_INCLUDE_CEF_DOWNLOAD_ITEM_H_
#define CEF_INCLUDE_CEF_DOWNLOAD_ITEM_H_
#pragma once

#include "include/cef_base.h"

// Valid only during the handler call it is given to.
class CefDownloadItem : public virtual CefBaseRefCounted {
 public:
  virtual bool IsValid() = 0;
  virtual bool IsInProgress() = 0;
  virtual bool IsComplete() = 0;
  virtual bool IsCanceled() = 0;
  virtual bool IsInterrupted() = 0;
  virtual cef_download_interrupt_reason_t GetInterruptReason() = 0;
  // Bytes per second.
  virtual int64_t GetCurrentSpeed() = 0;
  // -1 when the total size is unknown.
  virtual int GetPercentComplete() = 0;
  virtual int64_t GetTotalBytes() = 0;
  virtual int64_t GetReceivedBytes() = 0;
  virtual CefString GetFullPath() = 0;
  virtual uint32_t GetId() = 0;
  // The URL after redirects.
  virtual CefString GetURL() = 0;
  // The URL before redirects.
  virtual CefString GetOriginalUrl() = 0;
  // The name the request suggested. The production engine gives only a name
  // the page chose (the link's download attribute) and is often empty; the
  // development engine gives Qt's, which also comes from the response's
  // Content-Disposition or the URL. OnBeforeDownload's |suggested_name| is
  // that fuller name in both.
  virtual CefString GetSuggestedFileName() = 0;
  virtual CefString GetContentDisposition() = 0;
  virtual CefString GetMimeType() = 0;
};

#endif  // CEF_INCLUDE_CEF_DOWNLOAD_ITEM_H_
