#include "browser/browser/drag_data_impl.h"

namespace cefengine {

void CefDragDataImpl::SetReadOnly() {
  std::lock_guard<std::mutex> lock(mutex_);
  read_only_ = true;
}

CefRefPtr<CefDragData> CefDragDataImpl::Clone() {
  std::lock_guard<std::mutex> lock(mutex_);
  CefRefPtr<CefDragDataImpl> copy = new CefDragDataImpl();
  copy->link_url_ = link_url_;
  copy->link_title_ = link_title_;
  copy->link_metadata_ = link_metadata_;
  copy->fragment_text_ = fragment_text_;
  copy->fragment_html_ = fragment_html_;
  copy->fragment_base_url_ = fragment_base_url_;
  copy->file_name_ = file_name_;
  copy->file_contents_ = file_contents_;
  copy->files_ = files_;
  return copy.get();
}

bool CefDragDataImpl::IsReadOnly() {
  std::lock_guard<std::mutex> lock(mutex_);
  return read_only_;
}

bool CefDragDataImpl::IsLink() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !link_url_.empty() && file_name_.empty();
}

bool CefDragDataImpl::IsFragment() {
  std::lock_guard<std::mutex> lock(mutex_);
  // Whatever is neither link nor file counts as a fragment, empty or not.
  return link_url_.empty() && file_name_.empty() && files_.empty();
}

bool CefDragDataImpl::IsFile() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !file_name_.empty() || !files_.empty();
}

CefString CefDragDataImpl::GetLinkURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return link_url_;
}

CefString CefDragDataImpl::GetLinkTitle() {
  std::lock_guard<std::mutex> lock(mutex_);
  return link_title_;
}

CefString CefDragDataImpl::GetLinkMetadata() {
  std::lock_guard<std::mutex> lock(mutex_);
  return link_metadata_;
}

CefString CefDragDataImpl::GetFragmentText() {
  std::lock_guard<std::mutex> lock(mutex_);
  return fragment_text_;
}

CefString CefDragDataImpl::GetFragmentHtml() {
  std::lock_guard<std::mutex> lock(mutex_);
  return fragment_html_;
}

CefString CefDragDataImpl::GetFragmentBaseURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return fragment_base_url_;
}

CefString CefDragDataImpl::GetFileName() {
  std::lock_guard<std::mutex> lock(mutex_);
  return file_name_;
}

bool CefDragDataImpl::GetFileNames(std::vector<CefString>& names) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (files_.empty()) {
    return false;
  }
  // Appended: the caller's list may hold entries of its own.
  for (const File& file : files_) {
    names.push_back(file.display_name);
  }
  return true;
}

bool CefDragDataImpl::GetFilePaths(std::vector<CefString>& paths) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (files_.empty()) {
    return false;
  }
  for (const File& file : files_) {
    paths.push_back(file.path);
  }
  return true;
}

void CefDragDataImpl::Set(CefString& field, const CefString& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    field = value;
  }
}

void CefDragDataImpl::SetLinkURL(const CefString& url) {
  Set(link_url_, url);
}

void CefDragDataImpl::SetLinkTitle(const CefString& title) {
  Set(link_title_, title);
}

void CefDragDataImpl::SetLinkMetadata(const CefString& data) {
  Set(link_metadata_, data);
}

void CefDragDataImpl::SetFragmentText(const CefString& text) {
  Set(fragment_text_, text);
}

void CefDragDataImpl::SetFragmentHtml(const CefString& html) {
  Set(fragment_html_, html);
}

void CefDragDataImpl::SetFragmentBaseURL(const CefString& base_url) {
  Set(fragment_base_url_, base_url);
}

void CefDragDataImpl::SetFileContents(const CefString& name,
                                      const std::string& contents) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    file_name_ = name;
    file_contents_ = contents;
  }
}

size_t CefDragDataImpl::GetFileContents(CefRefPtr<CefStreamWriter> writer) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!writer || file_contents_.empty()) {
    return file_contents_.size();
  }
  return writer->Write(file_contents_.data(), 1, file_contents_.size());
}

void CefDragDataImpl::ResetFileContents() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    file_name_.clear();
    file_contents_.clear();
  }
}

void CefDragDataImpl::AddFile(const CefString& path,
                              const CefString& display_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    files_.push_back({path, display_name});
  }
}

void CefDragDataImpl::ClearFilenames() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    files_.clear();
  }
}

CefRefPtr<CefImage> CefDragDataImpl::GetImage() {
  return nullptr;
}

CefPoint CefDragDataImpl::GetImageHotspot() {
  return CefPoint();
}

bool CefDragDataImpl::HasImage() {
  return false;
}

}  // namespace cefengine

CefRefPtr<CefDragData> CefDragData::Create() {
  return new cefengine::CefDragDataImpl();
}
