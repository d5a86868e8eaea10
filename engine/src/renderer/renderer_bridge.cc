#include "renderer/renderer_bridge.h"

#include <string>

#include "browser/browser/process_message_impl.h"
#include "common/bridge_script.h"
#include "common/channel_message.h"
#include "renderer/extension_registry.h"
#include "renderer/renderer_browser.h"
#include "renderer/renderer_channel.h"
#include "renderer/v8_context_impl.h"
#include "renderer/v8_value_impl.h"

namespace cefengine {

namespace {

CefRefPtr<RendererBrowser> BrowserFor(
    int id,
    CefRefPtr<CefRenderProcessHandler> handler) {
  bool created = false;
  CefRefPtr<RendererBrowser> browser =
      RendererBrowser::GetOrCreate(id, &created);
  if (created && handler)
    handler->OnBrowserCreated(browser.get(), nullptr);
  return browser;
}

// Runs the native function a page called and returns the reply text for
// its prompt.
std::string RunNativeCall(const ChannelMessage& message,
                          CefRefPtr<CefRenderProcessHandler> handler) {
  CefRefPtr<CefDictionaryValue> call =
      message.args ? message.args->GetDictionary(0) : nullptr;
  if (!call)
    return "{\"e\":\"Malformed native call\"}";
  CefRefPtr<CefV8Handler> v8_handler = GetExtensionHandler(call->GetInt("x"));
  if (!v8_handler)
    return "{\"v\":{\"t\":\"u\"}}";

  CefRefPtr<RendererBrowser> browser = BrowserFor(message.browser_id, handler);
  CefRefPtr<RendererFrame> frame =
      browser->FrameFor(message.frame_id, call->GetString("d").ToString());
  frame->Update(call->GetString("u").ToString(),
                call->GetString("n").ToString());
  browser->ReportFocus(message.frame_id, call->GetBool("h"));

  CefV8ValueList arguments;
  CefRefPtr<CefListValue> tagged = call->GetList("a");
  for (size_t i = 0; tagged && i < tagged->GetSize(); ++i)
    arguments.push_back(CefV8ValueImpl::FromTagged(tagged->GetDictionary(i)));

  CefRefPtr<CefV8Context> context = frame->GetV8Context();
  context->Enter();
  CefRefPtr<CefV8Value> retval;
  CefString exception;
  const bool handled = v8_handler->Execute(
      call->GetString("c"), new CefV8ValueImpl(CefV8ValueImpl::Type::kObject),
      arguments, retval, exception);
  context->Exit();

  if (!handled)
    return "{\"v\":{\"t\":\"u\"}}";
  if (!exception.empty())
    return "{\"e\":" + JsonQuote(exception.ToString()) + "}";
  return "{\"v\":" + CefV8ValueImpl::ToTaggedJson(retval) + "}";
}

void DeliverProcessMessage(const ChannelMessage& message,
                           CefRefPtr<CefRenderProcessHandler> handler) {
  CefRefPtr<RendererBrowser> browser = BrowserFor(message.browser_id, handler);
  CefRefPtr<RendererFrame> frame =
      browser->FrameFor(message.frame_id, std::string());
  CefRefPtr<CefProcessMessageImpl> delivered =
      new CefProcessMessageImpl(message.name, message.args);
  delivered->SetReadOnly();
  if (handler) {
    handler->OnProcessMessageReceived(browser.get(), frame.get(), PID_BROWSER,
                                      delivered.get());
  }
}

}  // namespace

void InstallRendererBridge(RendererChannel* channel,
                           CefRefPtr<CefRenderProcessHandler> handler) {
  channel->SetHandler(MessageType::kNativeCall,
                      [handler](const ChannelMessage& message) {
                        ChannelMessage reply;
                        reply.type = MessageType::kNativeResult;
                        reply.browser_id = message.browser_id;
                        reply.frame_id = message.frame_id;
                        reply.request_id = message.request_id;
                        reply.name = RunNativeCall(message, handler);
                        if (RendererChannel* channel = RendererChannel::Get())
                          channel->Send(reply);
                      });
  channel->SetHandler(MessageType::kProcessMessage,
                      [handler](const ChannelMessage& message) {
                        DeliverProcessMessage(message, handler);
                      });
}

}  // namespace cefengine
