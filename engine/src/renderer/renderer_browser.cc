#include "renderer/renderer_browser.h"

#include <map>

#include "common/bridge_script.h"

namespace cefengine {

namespace {

// Renderer main thread only.
std::map<int, CefRefPtr<RendererBrowser>>& Browsers() {
  static auto* browsers = new std::map<int, CefRefPtr<RendererBrowser>>();
  return *browsers;
}

}  // namespace

// static
CefRefPtr<RendererBrowser> RendererBrowser::GetOrCreate(int id, bool* created) {
  auto& browsers = Browsers();
  auto it = browsers.find(id);
  *created = it == browsers.end();
  if (!*created)
    return it->second;
  CefRefPtr<RendererBrowser> browser = new RendererBrowser(id);
  browsers[id] = browser;
  return browser;
}

// static
CefRefPtr<RendererBrowser> RendererBrowser::Find(int id) {
  auto& browsers = Browsers();
  auto it = browsers.find(id);
  return it == browsers.end() ? nullptr : it->second;
}

RendererBrowser::RendererBrowser(int id) : id_(id) {
  main_frame_ = new RendererFrame(this, MainFrameId(id), true);
}

CefRefPtr<RendererFrame> RendererBrowser::FrameFor(
    const std::string& frame_id,
    const std::string& document_id) {
  if (frame_id == MainFrameId(id_)) {
    if (!document_id.empty() && document_id != main_document_) {
      // The page was replaced; its sub-frame documents went with it.
      for (auto& entry : sub_frames_)
        entry.second->Detach();
      sub_frames_.clear();
      focused_frame_.clear();
      main_document_ = document_id;
    }
    return main_frame_;
  }
  CefRefPtr<RendererFrame>& frame = sub_frames_[frame_id];
  if (!frame)
    frame = new RendererFrame(this, frame_id, false);
  return frame;
}

void RendererBrowser::ReportFocus(const std::string& frame_id, bool has_focus) {
  if (has_focus)
    focused_frame_ = frame_id;
  else if (focused_frame_ == frame_id)
    focused_frame_.clear();
}

bool RendererBrowser::IsFocusedFrame(const std::string& frame_id) const {
  if (focused_frame_.empty() || !sub_frames_.count(focused_frame_))
    return frame_id == MainFrameId(id_);
  return frame_id == focused_frame_;
}

bool RendererBrowser::IsValid() {
  return true;
}

CefRefPtr<CefBrowserHost> RendererBrowser::GetHost() {
  // The host lives in the browser process only.
  return nullptr;
}

bool RendererBrowser::CanGoBack() {
  // History state stays in the browser process.
  return false;
}

void RendererBrowser::GoBack() {
  main_frame_->ExecuteJavaScript("history.back();", CefString(), 0);
}

bool RendererBrowser::CanGoForward() {
  return false;
}

void RendererBrowser::GoForward() {
  main_frame_->ExecuteJavaScript("history.forward();", CefString(), 0);
}

bool RendererBrowser::IsLoading() {
  return false;
}

void RendererBrowser::Reload() {
  main_frame_->ExecuteJavaScript("location.reload();", CefString(), 0);
}

void RendererBrowser::ReloadIgnoreCache() {
  Reload();
}

void RendererBrowser::StopLoad() {
  main_frame_->ExecuteJavaScript("window.stop();", CefString(), 0);
}

int RendererBrowser::GetIdentifier() {
  return id_;
}

bool RendererBrowser::IsSame(CefRefPtr<CefBrowser> that) {
  return that && that->GetIdentifier() == id_;
}

bool RendererBrowser::IsPopup() {
  return false;
}

bool RendererBrowser::HasDocument() {
  return !main_document_.empty();
}

CefRefPtr<CefFrame> RendererBrowser::GetMainFrame() {
  return main_frame_.get();
}

CefRefPtr<CefFrame> RendererBrowser::GetFocusedFrame() {
  auto it = sub_frames_.find(focused_frame_);
  if (it != sub_frames_.end())
    return it->second.get();
  return main_frame_.get();
}

CefRefPtr<CefFrame> RendererBrowser::GetFrameByIdentifier(
    const CefString& identifier) {
  const std::string id = identifier.ToString();
  if (id == MainFrameId(id_))
    return main_frame_.get();
  auto it = sub_frames_.find(id);
  return it == sub_frames_.end() ? nullptr : it->second.get();
}

CefRefPtr<CefFrame> RendererBrowser::GetFrameByName(const CefString& name) {
  if (name.empty())
    return main_frame_.get();
  for (auto& entry : sub_frames_) {
    if (entry.second->GetName() == name)
      return entry.second.get();
  }
  return nullptr;
}

size_t RendererBrowser::GetFrameCount() {
  return 1 + sub_frames_.size();
}

void RendererBrowser::GetFrameIdentifiers(std::vector<CefString>& identifiers) {
  identifiers.clear();
  identifiers.push_back(main_frame_->GetIdentifier());
  for (auto& entry : sub_frames_)
    identifiers.push_back(entry.first);
}

void RendererBrowser::GetFrameNames(std::vector<CefString>& names) {
  names.clear();
  names.push_back(main_frame_->GetName());
  for (auto& entry : sub_frames_)
    names.push_back(entry.second->GetName());
}

}  // namespace cefengine
