#include "bridge/renderer/renderer_app.h"

#include <string>

#include "bridge/common/bridge_messages.h"
#include "bridge/common/reply_scripts.h"
#include "bridge/renderer/bridge_handler.h"
#include "include/cef_frame.h"
#include "include/cef_process_message.h"
#include "include/cef_v8.h"
#include "include/wrapper/cef_helpers.h"
#include "shell/engine_switches.h"

std::string BuildReplyScript(CefRefPtr<CefProcessMessage> message) {
  const std::string name = message->GetName().ToString();
  CefRefPtr<CefListValue> args = message->GetArgumentList();
  if (name == bridge::kOnDownloadUpdated) {
    return DownloadUpdatedScript(args->GetDictionary(0));
  }
  if (name == bridge::kOnBeforeUnload) {
    return BeforeUnloadScript(args->GetBool(0));
  }
  if (name == std::string(bridge::kGetZoom) + bridge::kResponseSuffix) {
    return QueryReplyScript("zoomResolve", ScriptNumber(args->GetDouble(0)));
  }
  const std::string suffix = bridge::kResponseSuffix;
  if (name.size() > suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    const std::string slot =
        QuerySlot(name.substr(0, name.size() - suffix.size()));
    if (!slot.empty()) {
      return QueryReplyScript(slot, args->GetBool(0) ? "true" : "false");
    }
  }
  if (name == bridge::kOnDragFile) {
    return DragFilesScript(args->GetString(0));
  }
  if (name == bridge::kNativeMenuAction) {
    return NativeMenuScript(args->GetString(0));
  }
  if (name == bridge::kRestartBackendResponse) {
    return RestartReplyScript(args->GetBool(0), args->GetString(1));
  }
  return std::string();
}

void RendererApp::OnBeforeCommandLineProcessing(
    const CefString& process_type,
    CefRefPtr<CefCommandLine> command_line) {
  ApplyEngineSwitches(command_line);
}

void RendererApp::OnWebKitInitialized() {
  CEF_REQUIRE_RENDERER_THREAD();
  CefRefPtr<BridgeHandler> handler = new BridgeHandler();
  bridgeHandler = handler.get();
  CefRegisterExtension("v8/korvel", std::string(KorvelExtensionSource),
                       handler);
}

bool RendererApp::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    CefProcessId source_process,
    CefRefPtr<CefProcessMessage> message) {
  CEF_REQUIRE_RENDERER_THREAD();
  const std::string script = BuildReplyScript(message);
  if (!script.empty() && frame) {
    frame->ExecuteJavaScript(script, "", 0);
  }
  return true;
}
