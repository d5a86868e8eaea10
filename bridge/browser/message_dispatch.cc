// The browser side of the script bridge: ShellClient carries out what the
// page's `korvel` object asks of the window, the browser host and the
// backend, and answers its queries through the frame that asked.

#include <functional>
#include <string>
#include <unordered_map>

#include "bridge/browser/restart_request.h"
#include "bridge/common/bridge_messages.h"
#include "client/file_dialog.h"
#include "client/native_drag.h"
#include "client/shell_client.h"
#include "client/url_policy.h"
#include "include/cef_request_context.h"
#include "include/views/cef_window.h"
#include "include/wrapper/cef_helpers.h"
#include "shell/main_window.h"
#include "splash/splash.h"

namespace {

// One message as a handler sees it.
struct Request {
  CefRefPtr<ShellClient> client;
  CefRefPtr<CefBrowser> browser;
  CefRefPtr<CefFrame> frame;
  CefRefPtr<CefListValue> args;
};

// The content settings each page of the application is granted, by the
// engine's type value: durable storage, notifications, autoplay, popups,
// and the clipboard, file system, storage access and related kinds.
constexpr int kPageContentSettings[] = {18, 5,  22, 3,  101, 51,
                                        56, 48, 57, 60, 81};

void AllowPageContentSettings(const CefString& url) {
  CefRefPtr<CefRequestContext> context = CefRequestContext::GetGlobalContext();
  if (!context) {
    return;
  }
  for (int type : kPageContentSettings) {
    context->SetContentSetting(url, url,
                               static_cast<cef_content_setting_types_t>(type),
                               CEF_CONTENT_SETTING_VALUE_ALLOW);
  }
}

void ShowAndCloseSplash(const Request& request) {
  if (request.client->splashShown) {
    CloseSplash(request.client);
  }
  ShowWindow(request.browser);
}

void Reply(const Request& request, const char* query, bool value) {
  CefRefPtr<CefProcessMessage> reply =
      CefProcessMessage::Create(std::string(query) + bridge::kResponseSuffix);
  reply->GetArgumentList()->SetBool(0, value);
  request.frame->SendProcessMessage(PID_RENDERER, reply);
}

// A window action, taken only when the browser's view is in a window.
using WindowAction = std::function<void(CefWindow&, CefListValue&)>;

// A window query: answered through the asking frame, or not at all when
// there is no window (the page's promise then times out).
std::function<void(const Request&)> WindowQuery(const char* name,
                                                bool (CefWindow::*read)()) {
  return [name, read](const Request& request) {
    if (CefRefPtr<CefWindow> window = WindowOf(request.browser)) {
      Reply(request, name, (window.get()->*read)());
    }
  };
}

std::function<void(const Request&)> OnWindow(WindowAction action) {
  return [action](const Request& request) {
    if (CefRefPtr<CefWindow> window = WindowOf(request.browser)) {
      action(*window, *request.args);
    }
  };
}

using Handler = std::function<void(const Request&)>;

const std::unordered_map<std::string, Handler>& Handlers() {
  static const auto* handlers = new std::unordered_map<std::string, Handler>{
      {bridge::kHide, OnWindow([](CefWindow& w, CefListValue&) { w.Hide(); })},
      {bridge::kShow, ShowAndCloseSplash},
      {bridge::kOnload, ShowAndCloseSplash},
      {bridge::kMinimize,
       OnWindow([](CefWindow& w, CefListValue&) { w.Minimize(); })},
      {bridge::kMaximize,
       OnWindow([](CefWindow& w, CefListValue&) { w.Maximize(); })},
      {bridge::kRestore,
       OnWindow([](CefWindow& w, CefListValue&) { w.Restore(); })},
      {bridge::kSetAlwaysOnTop, OnWindow([](CefWindow& w, CefListValue& a) {
         w.SetAlwaysOnTop(a.GetBool(0));
       })},
      {bridge::kSetFullscreen, OnWindow([](CefWindow& w, CefListValue& a) {
         w.SetFullscreen(a.GetBool(0));
       })},
      {bridge::kSetSize, OnWindow([](CefWindow& w, CefListValue& a) {
         w.SetSize(CefSize(a.GetInt(0), a.GetInt(1)));
       })},
      {bridge::kSetPoint, OnWindow([](CefWindow& w, CefListValue& a) {
         w.SetPosition(CefPoint(a.GetInt(0), a.GetInt(1)));
       })},
      {bridge::kSetBounds, OnWindow([](CefWindow& w, CefListValue& a) {
         w.SetBounds(
             CefRect(a.GetInt(0), a.GetInt(1), a.GetInt(2), a.GetInt(3)));
       })},
      {bridge::kSetDragRegion, OnWindow([](CefWindow& w, CefListValue& a) {
         const CefRect bounds(a.GetInt(0), a.GetInt(1), a.GetInt(2),
                              a.GetInt(3));
         w.SetDraggableRegions({CefDraggableRegion(bounds, true)});
       })},
      {bridge::kClose,
       OnWindow([](CefWindow& w, CefListValue&) { w.Close(); })},
      {bridge::kFocus, [](const Request& r) { r.client->RaiseMainWindow(); }},
      {bridge::kExit,
       [](const Request& r) { r.browser->GetHost()->CloseBrowser(true); }},
      {bridge::kSelectFile,
       [](const Request& r) {
         RunSelectFile(r.browser, r.frame, r.args->GetInt(0),
                       r.args->GetString(1), r.args->GetString(2),
                       r.args->GetString(3));
       }},
      {bridge::kLoadApp,
       [](const Request& r) {
         r.client->LoadApp(r.browser, r.args->GetString(0));
       }},
      {bridge::kOpenBrowser,
       [](const Request& r) { OpenExternally(r.args->GetString(0)); }},
      {bridge::kRestartBackend,
       [](const Request& r) {
         StartRestartRequest(r.browser, r.frame, r.args->GetString(0),
                             r.args->GetInt(1), r.args->GetString(2));
       }},
      {bridge::kShowDevTools,
       [](const Request& r) {
         r.browser->GetHost()->ShowDevTools(
             CefWindowInfo(), r.client, CefBrowserSettings(), CefPoint(0, 0));
       }},
      {bridge::kSetZoom,
       [](const Request& r) {
         r.browser->GetHost()->SetZoomLevel(r.args->GetDouble(0));
       }},
      // The script has cancelled the page's own drag; the shell drags the
      // files itself while the button that began it is held.
      {bridge::kStartNativeFileDrag,
       [](const Request& r) { StartNativeFileDrag(r.args->GetString(0)); }},
      {bridge::kDragSourceEndedAt,
       [](const Request& r) {
         r.browser->GetHost()->DragSourceEndedAt(
             r.args->GetInt(0), r.args->GetInt(1),
             static_cast<cef_drag_operations_mask_t>(r.args->GetInt(2)));
       }},
      {bridge::kDragSourceSystemDragEnded,
       [](const Request& r) {
         r.browser->GetHost()->DragSourceSystemDragEnded();
       }},
      {bridge::kGetZoom,
       [](const Request& r) {
         CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create(
             std::string(bridge::kGetZoom) + bridge::kResponseSuffix);
         reply->GetArgumentList()->SetDouble(
             0, r.browser->GetHost()->GetZoomLevel());
         r.frame->SendProcessMessage(PID_RENDERER, reply);
       }},
      {bridge::kIsAlwaysOnTop,
       WindowQuery(bridge::kIsAlwaysOnTop, &CefWindow::IsAlwaysOnTop)},
      {bridge::kIsFullscreen,
       WindowQuery(bridge::kIsFullscreen, &CefWindow::IsFullscreen)},
      {bridge::kIsMaximized,
       WindowQuery(bridge::kIsMaximized, &CefWindow::IsMaximized)},
      {bridge::kIsMinimized,
       WindowQuery(bridge::kIsMinimized, &CefWindow::IsMinimized)},
      {bridge::kIsVisible,
       WindowQuery(bridge::kIsVisible, &CefWindow::IsVisible)},
      {bridge::kIsClosed, WindowQuery(bridge::kIsClosed, &CefWindow::IsClosed)},
      {bridge::kSetup,
       [](const Request& r) { AllowPageContentSettings(r.frame->GetURL()); }},
  };
  return *handlers;
}

}  // namespace

bool ShellClient::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    CefProcessId source_process,
    CefRefPtr<CefProcessMessage> message) {
  CEF_REQUIRE_UI_THREAD();
  const auto handler = Handlers().find(message->GetName().ToString());
  if (handler == Handlers().end()) {
    return false;
  }
  if (browser && frame) {
    handler->second(Request{this, browser, frame, message->GetArgumentList()});
  }
  return true;
}

void ShellClient::OnDraggableRegionsChanged(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    const std::vector<CefDraggableRegion>& regions) {
  CEF_REQUIRE_UI_THREAD();
  if (CefRefPtr<CefWindow> window = WindowOf(browser)) {
    window->SetDraggableRegions(regions);
  }
}
