#include "bridge/renderer/bridge_handler.h"

#include <string>

#include "bridge/common/bridge_messages.h"
#include "bridge/renderer/local_answers.h"
#include "config/launch_config.h"
#include "include/cef_browser.h"
#include "include/cef_command_line.h"
#include "include/cef_frame.h"
#include "include/cef_process_message.h"
#include "include/cef_request_context.h"

namespace {

// A function forwarded to the browser process, with the wire type of each
// argument in order: b bool, i int, d double, s string.
struct Forward {
  const char* name;
  const char* args;
};

constexpr Forward kForwards[] = {
    {bridge::kShow, ""},
    {bridge::kHide, ""},
    {bridge::kMinimize, ""},
    {bridge::kMaximize, ""},
    {bridge::kRestore, ""},
    {bridge::kSetAlwaysOnTop, "b"},
    {bridge::kSetFullscreen, "b"},
    {bridge::kSetSize, "ii"},
    {bridge::kSetPoint, "ii"},
    {bridge::kSetBounds, "iiii"},
    {bridge::kSetDragRegion, "iiii"},
    {bridge::kSetZoom, "d"},
    {bridge::kIsClosed, ""},
    {bridge::kIsVisible, ""},
    {bridge::kIsMinimized, ""},
    {bridge::kIsMaximized, ""},
    {bridge::kIsFullscreen, ""},
    {bridge::kIsAlwaysOnTop, ""},
    {bridge::kGetZoom, ""},
    {bridge::kDragSourceEndedAt, "iii"},
    {bridge::kDragSourceSystemDragEnded, ""},
    {bridge::kOnload, ""},
    {bridge::kSelectFile, "isss"},
    {bridge::kFocus, ""},
    {bridge::kClose, ""},
    {bridge::kExit, ""},
    {bridge::kOpenBrowser, "s"},
    {bridge::kLoadApp, "s"},
    {bridge::kShowDevTools, ""},
    {bridge::kSetup, ""},
};

const Forward* FindForward(const std::string& name) {
  for (const Forward& forward : kForwards) {
    if (name == forward.name) {
      return &forward;
    }
  }
  return nullptr;
}

// Argument |index| of a call, or undefined when the page passed fewer.
CefRefPtr<CefV8Value> Argument(const CefV8ValueList& arguments, size_t index) {
  return index < arguments.size() ? arguments[index]
                                  : CefV8Value::CreateUndefined();
}

CefRefPtr<CefProcessMessage> BuildForward(const Forward& forward,
                                          const CefV8ValueList& arguments) {
  CefRefPtr<CefProcessMessage> message =
      CefProcessMessage::Create(forward.name);
  CefRefPtr<CefListValue> list = message->GetArgumentList();
  for (size_t i = 0; forward.args[i]; ++i) {
    CefRefPtr<CefV8Value> value = Argument(arguments, i);
    switch (forward.args[i]) {
      case 'b':
        list->SetBool(i, value->GetBoolValue());
        break;
      case 'i':
        list->SetInt(i, value->GetIntValue());
        break;
      case 'd':
        list->SetDouble(i, value->GetDoubleValue());
        break;
      default:
        list->SetString(i, value->GetStringValue());
        break;
    }
  }
  return message;
}

CefRefPtr<CefProcessMessage> BuildRestart(const CefV8ValueList& arguments) {
  CefRefPtr<CefProcessMessage> message =
      CefProcessMessage::Create(bridge::kRestartBackend);
  CefRefPtr<CefListValue> list = message->GetArgumentList();
  const size_t count = arguments.size();
  list->SetString(0, count >= 1 ? arguments[0]->GetStringValue() : "");
  int32_t version = 0;
  if (count >= 2 && (arguments[1]->IsInt() || arguments[1]->IsDouble())) {
    version = arguments[1]->GetIntValue();
  }
  list->SetInt(1, version);
  list->SetString(2, count >= 3 ? arguments[2]->GetStringValue() : "");
  return message;
}

// Sends |message| through the frame whose script made the call, so that a
// query's reply comes back to the document that waits for it.
void SendToBrowser(CefRefPtr<CefV8Context> context,
                   CefRefPtr<CefProcessMessage> message) {
  CefRefPtr<CefFrame> frame = context->GetFrame();
  if (frame && frame->IsValid()) {
    frame->SendProcessMessage(PID_BROWSER, message);
  }
}

using EditCommand = void (CefFrame::*)();

// The frame command of an edit function, or null for any other name.
EditCommand FindEditCommand(const std::string& name) {
  static const struct {
    const char* name;
    EditCommand command;
  } kCommands[] = {
      {"selectAll", &CefFrame::SelectAll}, {"copy", &CefFrame::Copy},
      {"paste", &CefFrame::Paste},         {"cut", &CefFrame::Cut},
      {"undo", &CefFrame::Undo},           {"redo", &CefFrame::Redo},
  };
  for (const auto& entry : kCommands) {
    if (name == entry.name) {
      return entry.command;
    }
  }
  return nullptr;
}

void GetConf(const CefString& key, CefRefPtr<CefV8Value>& retval) {
  CefRefPtr<CefRequestContext> context = CefRequestContext::GetGlobalContext();
  CefRefPtr<CefValue> value = context ? context->GetPreference(key) : nullptr;
  // An unknown preference reads as undefined rather than failing the page.
  if (value) {
    retval = CefV8Value::CreateString(value->GetString());
  }
}

void SetConf(const CefString& key,
             const CefString& text,
             CefString& exception) {
  CefRefPtr<CefRequestContext> context = CefRequestContext::GetGlobalContext();
  if (!context) {
    exception = "preferences are not available";
    return;
  }
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetString(text);
  if (!context->SetPreference(key, value, exception) && exception.empty()) {
    exception = "the preference could not be set";
  }
}

// The functions that act for the calling document: edit commands on its
// browser's focused frame, and everything forwarded to the browser process.
// False for a name the bridge does not know.
bool CallDocumentFunction(const std::string& function,
                          CefRefPtr<CefV8Context> context,
                          const CefV8ValueList& arguments,
                          CefRefPtr<CefV8Value>& retval) {
  const EditCommand edit = FindEditCommand(function);
  const Forward* forward = FindForward(function);
  const bool drag = function == bridge::kStartNativeFileDrag;
  const bool restart = function == bridge::kRestartBackend;
  if (!edit && !forward && !drag && !restart) {
    return false;
  }
  if (!context) {
    return true;
  }
  if (edit) {
    CefRefPtr<CefBrowser> browser = context->GetBrowser();
    if (CefRefPtr<CefFrame> frame =
            browser ? browser->GetFocusedFrame() : nullptr) {
      (frame.get()->*edit)();
    }
  } else if (drag) {
    const bool send = !arguments.empty() && arguments[0]->IsString();
    if (send) {
      CefRefPtr<CefProcessMessage> message =
          CefProcessMessage::Create(bridge::kStartNativeFileDrag);
      message->GetArgumentList()->SetString(0, arguments[0]->GetStringValue());
      SendToBrowser(context, message);
    }
    retval = CefV8Value::CreateBool(send);
  } else if (restart) {
    SendToBrowser(context, BuildRestart(arguments));
  } else {
    SendToBrowser(context, BuildForward(*forward, arguments));
  }
  return true;
}

}  // namespace

bool BridgeHandler::Execute(const CefString& name,
                            CefRefPtr<CefV8Value> object,
                            const CefV8ValueList& arguments,
                            CefRefPtr<CefV8Value>& retval,
                            CefString& exception) {
  CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
  const std::string function = name.ToString();

  if (function == "version") {
    retval = CefV8Value::CreateInt(GetBackendVersion());
  } else if (function == "launchArgs") {
    retval = CefV8Value::CreateString(
        LaunchArgsJson(CefCommandLine::GetGlobalCommandLine()));
  } else if (function == "arch") {
    retval = CefV8Value::CreateString("amd64");
  } else if (function == "os") {
    retval = CefV8Value::CreateString("linux");
  } else if (function == "hostname") {
    retval = CefV8Value::CreateString(HostName());
  } else if (function == "setConf") {
    SetConf(Argument(arguments, 0)->GetStringValue(),
            Argument(arguments, 1)->GetStringValue(), exception);
  } else if (function == "getConf") {
    GetConf(Argument(arguments, 0)->GetStringValue(), retval);
  } else {
    return CallDocumentFunction(function, context, arguments, retval);
  }
  return true;
}
