#include "browser/browser/frame_impl.h"

#include <atomic>
#include <string>

#include "browser/bridge/script_bridge.h"
#include "browser/browser/browser_impl.h"
#include "browser/browser/process_message_impl.h"
#include "browser/process/context.h"
#include "browser/process/renderer_host.h"
#include "common/bridge_script.h"
#include "common/channel_message.h"
#include "include/base/cef_logging.h"
#include "include/cef_v8.h"

namespace cefengine {

namespace {

std::atomic<int> g_next_sub_frame{1};

}  // namespace

CefRefPtr<CefFrameImpl> CefFrameImpl::CreateMain(
    CefRefPtr<CefBrowserImpl> browser) {
  return new CefFrameImpl(browser, true, MainFrameId(browser->GetIdentifier()),
                          CefString());
}

CefRefPtr<CefFrameImpl> CefFrameImpl::CreateBridgeSubFrame(
    CefRefPtr<CefBrowserImpl> browser,
    const std::string& identifier,
    const CefString& url,
    const CefString& name) {
  CefRefPtr<CefFrameImpl> frame =
      new CefFrameImpl(browser, false, identifier, url);
  frame->parent_ = browser->main_frame();
  frame->name_ = name;
  return frame;
}

CefRefPtr<CefFrameImpl> CefFrameImpl::CreateSubFrame(
    CefRefPtr<CefBrowserImpl> browser,
    const CefString& url) {
  CefRefPtr<CefFrameImpl> frame =
      new CefFrameImpl(browser, false,
                       std::to_string(browser->GetIdentifier()) + "-" +
                           std::to_string(g_next_sub_frame++),
                       url);
  frame->parent_ = browser->main_frame();
  return frame;
}

CefFrameImpl::CefFrameImpl(CefRefPtr<CefBrowserImpl> browser,
                           bool is_main,
                           const CefString& identifier,
                           const CefString& url)
    : is_main_(is_main),
      identifier_(identifier),
      browser_(browser),
      url_(url) {}

void CefFrameImpl::Detach() {
  std::lock_guard<std::mutex> lock(mutex_);
  browser_ = nullptr;
}

void CefFrameImpl::SetURL(const CefString& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  url_ = url;
}

CefRefPtr<CefBrowserImpl> CefFrameImpl::ActingBrowser() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!is_main_) {
    // Qt cannot address sub-frames.
    if (browser_) {
      LOG(WARNING) << "Sub-frame operations are not supported";
    }
    return nullptr;
  }
  return browser_;
}

bool CefFrameImpl::IsValid() {
  std::lock_guard<std::mutex> lock(mutex_);
  return browser_ && browser_->IsValid();
}

void CefFrameImpl::Undo() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::Undo);
  }
}

void CefFrameImpl::Redo() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::Redo);
  }
}

void CefFrameImpl::Cut() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::Cut);
  }
}

void CefFrameImpl::Copy() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::Copy);
  }
}

void CefFrameImpl::Paste() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::Paste);
  }
}

void CefFrameImpl::PasteAndMatchStyle() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::PasteAndMatchStyle);
  }
}

void CefFrameImpl::Delete() {
  // Qt has no page action for it; the editing command does the same.
  if (auto browser = ActingBrowser()) {
    browser->ExecuteJavaScriptInPage("document.execCommand('delete');",
                                     CefString(), 0);
  }
}

void CefFrameImpl::SelectAll() {
  if (auto browser = ActingBrowser()) {
    browser->TriggerPageAction(QWebEnginePage::SelectAll);
  }
}

void CefFrameImpl::ViewSource() {
  LOG(WARNING) << "CefFrame::ViewSource is not supported";
}

void CefFrameImpl::GetSource(CefRefPtr<CefStringVisitor> visitor) {
  if (auto browser = ActingBrowser()) {
    browser->GetPageContent(true, visitor);
  }
}

void CefFrameImpl::GetText(CefRefPtr<CefStringVisitor> visitor) {
  if (auto browser = ActingBrowser()) {
    browser->GetPageContent(false, visitor);
  }
}

void CefFrameImpl::LoadRequest(CefRefPtr<CefRequest> request) {
  if (request) {
    LoadURL(request->GetURL());
  }
}

void CefFrameImpl::LoadURL(const CefString& url) {
  if (auto browser = ActingBrowser()) {
    browser->LoadURLInPage(url);
  }
}

void CefFrameImpl::ExecuteJavaScript(const CefString& code,
                                     const CefString& script_url,
                                     int start_line) {
  CefRefPtr<CefBrowserImpl> browser;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    browser = browser_;
  }
  if (browser) {
    RunScriptInFrame(browser, identifier_.ToString(), code.ToString(),
                     script_url.ToString(), start_line);
  }
}

bool CefFrameImpl::IsMain() {
  return is_main_;
}

bool CefFrameImpl::IsFocused() {
  // Focus inside sub-frames is not tracked; the main frame stands for all.
  return is_main_;
}

CefString CefFrameImpl::GetName() {
  std::lock_guard<std::mutex> lock(mutex_);
  return name_;
}

CefString CefFrameImpl::GetIdentifier() {
  return identifier_;
}

CefRefPtr<CefFrame> CefFrameImpl::GetParent() {
  return parent_.get();
}

CefString CefFrameImpl::GetURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return url_;
}

CefRefPtr<CefBrowser> CefFrameImpl::GetBrowser() {
  std::lock_guard<std::mutex> lock(mutex_);
  return browser_.get();
}

CefRefPtr<CefV8Context> CefFrameImpl::GetV8Context() {
  return nullptr;
}

void CefFrameImpl::SendProcessMessage(CefProcessId target_process,
                                      CefRefPtr<CefProcessMessage> message) {
  RendererHost* host = GetRendererHost();
  auto* impl = dynamic_cast<CefProcessMessageImpl*>(message.get());
  if (!impl || !impl->IsValid() || target_process != PID_RENDERER || !host ||
      !IsValid()) {
    LOG(WARNING) << "Process message not sent";
    return;
  }
  ChannelMessage out;
  out.type = MessageType::kProcessMessage;
  out.browser_id = GetBrowser()->GetIdentifier();
  out.frame_id = identifier_.ToString();
  out.name = impl->GetName().ToString();
  out.args = impl->TakeArguments();
  host->Send(out);
}

}  // namespace cefengine
