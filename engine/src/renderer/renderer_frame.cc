#include "renderer/renderer_frame.h"

#include "browser/browser/process_message_impl.h"
#include "common/bridge_script.h"
#include "common/channel_message.h"
#include "include/base/cef_logging.h"
#include "renderer/renderer_browser.h"
#include "renderer/renderer_channel.h"
#include "renderer/v8_context_impl.h"

namespace cefengine {

RendererFrame::RendererFrame(RendererBrowser* browser,
                             const std::string& identifier,
                             bool is_main)
    : browser_(browser), identifier_(identifier), is_main_(is_main) {}

void RendererFrame::Update(const std::string& url, const std::string& name) {
  url_ = url;
  name_ = name;
}

void RendererFrame::Detach() {
  valid_ = false;
}

bool RendererFrame::IsValid() {
  return valid_ && RendererChannel::Get();
}

void RendererFrame::SendCommand(const char* name) {
  RendererChannel* channel = RendererChannel::Get();
  if (!channel || !valid_)
    return;
  ChannelMessage message;
  message.type = MessageType::kFrameCommand;
  message.browser_id = browser_->GetIdentifier();
  message.frame_id = identifier_;
  message.name = name;
  channel->Send(message);
}

void RendererFrame::Undo() {
  SendCommand("undo");
}

void RendererFrame::Redo() {
  SendCommand("redo");
}

void RendererFrame::Cut() {
  SendCommand("cut");
}

void RendererFrame::Copy() {
  SendCommand("copy");
}

void RendererFrame::Paste() {
  SendCommand("paste");
}

void RendererFrame::PasteAndMatchStyle() {
  SendCommand("pasteAndMatchStyle");
}

void RendererFrame::Delete() {
  SendCommand("delete");
}

void RendererFrame::SelectAll() {
  SendCommand("selectAll");
}

void RendererFrame::ViewSource() {
  LOG(WARNING) << "CefFrame::ViewSource is not supported";
}

void RendererFrame::GetSource(CefRefPtr<CefStringVisitor> visitor) {
  LOG(WARNING) << "CefFrame::GetSource is not supported in the renderer";
}

void RendererFrame::GetText(CefRefPtr<CefStringVisitor> visitor) {
  LOG(WARNING) << "CefFrame::GetText is not supported in the renderer";
}

void RendererFrame::LoadRequest(CefRefPtr<CefRequest> request) {
  if (request)
    LoadURL(request->GetURL());
}

void RendererFrame::LoadURL(const CefString& url) {
  ExecuteJavaScript("location.href = " + JsonQuote(url.ToString()) + ";",
                    CefString(), 0);
}

void RendererFrame::ExecuteJavaScript(const CefString& code,
                                      const CefString& script_url,
                                      int start_line) {
  RendererChannel* channel = RendererChannel::Get();
  if (!channel || !valid_)
    return;
  ChannelMessage message;
  message.type = MessageType::kExecuteJavaScript;
  message.browser_id = browser_->GetIdentifier();
  message.frame_id = identifier_;
  message.name = code.ToString();
  message.args = CefListValue::Create();
  message.args->SetString(0, script_url);
  message.args->SetInt(1, start_line);
  channel->Send(message);
}

bool RendererFrame::IsMain() {
  return is_main_;
}

bool RendererFrame::IsFocused() {
  return browser_->IsFocusedFrame(identifier_);
}

CefString RendererFrame::GetName() {
  return name_;
}

CefString RendererFrame::GetIdentifier() {
  return identifier_;
}

CefRefPtr<CefFrame> RendererFrame::GetParent() {
  // Nesting is not reported; the main frame stands for any parent.
  return is_main_ ? nullptr : browser_->GetMainFrame();
}

CefString RendererFrame::GetURL() {
  return url_;
}

CefRefPtr<CefBrowser> RendererFrame::GetBrowser() {
  return browser_;
}

CefRefPtr<CefV8Context> RendererFrame::GetV8Context() {
  return new CefV8ContextImpl(this);
}

void RendererFrame::SendProcessMessage(CefProcessId target_process,
                                       CefRefPtr<CefProcessMessage> message) {
  RendererChannel* channel = RendererChannel::Get();
  auto* impl = dynamic_cast<CefProcessMessageImpl*>(message.get());
  if (!impl || !impl->IsValid() || target_process != PID_BROWSER || !channel ||
      !valid_) {
    LOG(WARNING) << "Process message not sent";
    return;
  }
  ChannelMessage out;
  out.type = MessageType::kProcessMessage;
  out.browser_id = browser_->GetIdentifier();
  out.frame_id = identifier_;
  out.name = impl->GetName().ToString();
  out.args = impl->TakeArguments();
  channel->Send(out);
}

}  // namespace cefengine
