// CefDragData held in memory: what a drag carries, for handlers to read and
// rewrite.

#ifndef CEFENGINE_BROWSER_BROWSER_DRAG_DATA_IMPL_H_
#define CEFENGINE_BROWSER_BROWSER_DRAG_DATA_IMPL_H_

#include <mutex>
#include <string>
#include <vector>

#include "include/cef_drag_data.h"

namespace cefengine {

class CefDragDataImpl : public CefDragData {
 public:
  CefDragDataImpl() = default;
  CefDragDataImpl(const CefDragDataImpl&) = delete;
  CefDragDataImpl& operator=(const CefDragDataImpl&) = delete;

  // Freezes the data: setters do nothing afterwards.
  void SetReadOnly();
  // The file a drag out of the page carries: its suggested name and bytes.
  void SetFileContents(const CefString& name, const std::string& contents);

  // CefDragData methods:
  CefRefPtr<CefDragData> Clone() override;
  bool IsReadOnly() override;
  bool IsLink() override;
  bool IsFragment() override;
  bool IsFile() override;
  CefString GetLinkURL() override;
  CefString GetLinkTitle() override;
  CefString GetLinkMetadata() override;
  CefString GetFragmentText() override;
  CefString GetFragmentHtml() override;
  CefString GetFragmentBaseURL() override;
  CefString GetFileName() override;
  size_t GetFileContents(CefRefPtr<CefStreamWriter> writer) override;
  bool GetFileNames(std::vector<CefString>& names) override;
  bool GetFilePaths(std::vector<CefString>& paths) override;
  void SetLinkURL(const CefString& url) override;
  void SetLinkTitle(const CefString& title) override;
  void SetLinkMetadata(const CefString& data) override;
  void SetFragmentText(const CefString& text) override;
  void SetFragmentHtml(const CefString& html) override;
  void SetFragmentBaseURL(const CefString& base_url) override;
  void ResetFileContents() override;
  void AddFile(const CefString& path, const CefString& display_name) override;
  void ClearFilenames() override;
  CefRefPtr<CefImage> GetImage() override;
  CefPoint GetImageHotspot() override;
  bool HasImage() override;

 private:
  struct File {
    CefString path;
    CefString display_name;
  };

  // Sets |field| to |value| unless the data is read-only.
  void Set(CefString& field, const CefString& value);

  std::mutex mutex_;
  bool read_only_ = false;
  CefString link_url_;
  CefString link_title_;
  CefString link_metadata_;
  CefString fragment_text_;
  CefString fragment_html_;
  CefString fragment_base_url_;
  CefString file_name_;
  std::string file_contents_;
  std::vector<File> files_;

  IMPLEMENT_REFCOUNTING(CefDragDataImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_DRAG_DATA_IMPL_H_
