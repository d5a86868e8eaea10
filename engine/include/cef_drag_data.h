// The data carried by a drag: a link, a text or HTML fragment, or files.

#ifndef CEF_INCLUDE_CEF_DRAG_DATA_H_
#define CEF_INCLUDE_CEF_DRAG_DATA_H_
#pragma once

#include <vector>

#include "include/cef_base.h"
#include "include/cef_image.h"
#include "include/cef_stream.h"

// Any thread; setters do nothing on read-only data.
class CefDragData : public virtual CefBaseRefCounted {
 public:
  // New, empty, writable drag data.
  static CefRefPtr<CefDragData> Create();

  // A writable copy.
  virtual CefRefPtr<CefDragData> Clone() = 0;
  virtual bool IsReadOnly() = 0;
  virtual bool IsLink() = 0;
  virtual bool IsFragment() = 0;
  virtual bool IsFile() = 0;
  virtual CefString GetLinkURL() = 0;
  virtual CefString GetLinkTitle() = 0;
  virtual CefString GetLinkMetadata() = 0;
  virtual CefString GetFragmentText() = 0;
  virtual CefString GetFragmentHtml() = 0;
  virtual CefString GetFragmentBaseURL() = 0;
  // The name of the file being dragged out of the page, if any.
  virtual CefString GetFileName() = 0;
  // Writes the contents of the file being dragged out of the page into
  // |writer| and returns the bytes written; with a null |writer|, returns
  // the contents' size.
  virtual size_t GetFileContents(CefRefPtr<CefStreamWriter> writer) = 0;
  // Display names of the dragged files.
  virtual bool GetFileNames(std::vector<CefString>& names) = 0;
  // Full paths of the dragged files.
  virtual bool GetFilePaths(std::vector<CefString>& paths) = 0;
  virtual void SetLinkURL(const CefString& url) = 0;
  virtual void SetLinkTitle(const CefString& title) = 0;
  virtual void SetLinkMetadata(const CefString& data) = 0;
  virtual void SetFragmentText(const CefString& text) = 0;
  virtual void SetFragmentHtml(const CefString& html) = 0;
  virtual void SetFragmentBaseURL(const CefString& base_url) = 0;
  // Forgets the contents of a file being dragged out of the page.
  virtual void ResetFileContents() = 0;
  virtual void AddFile(const CefString& path,
                       const CefString& display_name) = 0;
  virtual void ClearFilenames() = 0;
  // The drag image; null in the development engine.
  virtual CefRefPtr<CefImage> GetImage() = 0;
  virtual CefPoint GetImageHotspot() = 0;
  virtual bool HasImage() = 0;
};

#endif  // CEF_INCLUDE_CEF_DRAG_DATA_H_
