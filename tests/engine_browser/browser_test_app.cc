// A small engine application for the browser tests: it creates browsers on
// request and reports every handler call as one JSON object per line on
// standard output. Commands arrive as JSON lines on standard input; handler
// answers are set by the "policy" command.
//
// Usage: browser_test_app --cache-root=DIR

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_command_line.h"
#include "include/cef_task.h"
#include "tests/support/engine_app/command_app.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

using json = nlohmann::json;

using engine_test_app::Emit;

json Event(const std::string& name, CefRefPtr<CefBrowser> browser) {
  return engine_test_app::BrowserEvent(name, browser);
}

json FrameInfo(CefRefPtr<CefFrame> frame) {
  if (!frame) {
    return nullptr;
  }
  return {{"main", frame->IsMain()},
          {"id", frame->GetIdentifier().ToString()},
          {"url", frame->GetURL().ToString()},
          {"has_parent", frame->GetParent() != nullptr}};
}

// How the client answers; set through the "policy" command, read from the
// UI and IO threads.
struct Policy {
  std::mutex mutex;
  json values = json::object();

  std::string Get(const std::string& key, const std::string& fallback = "") {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = values.find(key);
    return it != values.end() && it->is_string() ? it->get<std::string>()
                                                 : fallback;
  }
  // True when the policy |key| names a substring of |url|.
  bool Matches(const std::string& key, const std::string& url) {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = values.find(key);
    if (it == values.end() || !it->is_string() ||
        it->get<std::string>().empty()) {
      return false;
    }
    return url.find(it->get<std::string>()) != std::string::npos;
  }
  void Merge(const json& update) {
    std::lock_guard<std::mutex> lock(mutex);
    values.update(update);
  }
};

Policy g_policy;

class TestClient : public CefClient,
                   public CefDisplayHandler,
                   public CefLifeSpanHandler,
                   public CefLoadHandler,
                   public CefRequestHandler,
                   public CefResourceRequestHandler,
                   public CefJSDialogHandler,
                   public CefPermissionHandler {
 public:
  TestClient() = default;

  std::map<int, CefRefPtr<CefBrowser>>& browsers() { return browsers_; }

  // CefClient methods:
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
  CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() override { return this; }
  CefRefPtr<CefPermissionHandler> GetPermissionHandler() override {
    return this;
  }

  // CefDisplayHandler methods:
  void OnTitleChange(CefRefPtr<CefBrowser> browser,
                     const CefString& title) override {
    json event = Event("title", browser);
    event["title"] = title.ToString();
    Emit(event);
  }
  bool OnConsoleMessage(CefRefPtr<CefBrowser> browser,
                        cef_log_severity_t level,
                        const CefString& message,
                        const CefString& source,
                        int line) override {
    json event = Event("console", browser);
    event["message"] = message.ToString();
    Emit(event);
    return true;
  }

  // CefLifeSpanHandler methods:
  bool OnBeforePopup(CefRefPtr<CefBrowser> browser,
                     CefRefPtr<CefFrame> frame,
                     int popup_id,
                     const CefString& target_url,
                     const CefString& target_frame_name,
                     cef_window_open_disposition_t target_disposition,
                     bool user_gesture,
                     const CefPopupFeatures& features,
                     CefWindowInfo& window_info,
                     CefRefPtr<CefClient>& client,
                     CefBrowserSettings& settings,
                     CefRefPtr<CefDictionaryValue>& extra_info,
                     bool* no_javascript_access) override {
    json event = Event("before_popup", browser);
    event["popup_id"] = popup_id;
    event["url"] = target_url.ToString();
    event["disposition"] = static_cast<int>(target_disposition);
    event["user_gesture"] = user_gesture;
    event["features"] = {{"x", features.x},
                         {"y", features.y},
                         {"width", features.width},
                         {"height", features.height},
                         {"widthSet", features.widthSet != 0},
                         {"isPopup", features.isPopup != 0}};
    event["frame"] = FrameInfo(frame);
    Emit(event);
    // Place the popup where the page asked, as a client of a plain window
    // would.
    window_info.bounds =
        CefRect(features.x, features.y, features.width, features.height);
    return g_policy.Get("popup", "allow") != "allow";
  }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    browsers_[browser->GetIdentifier()] = browser;
    json event = Event("after_created", browser);
    event["popup"] = browser->IsPopup();
    event["opener"] = browser->GetHost()->GetOpenerIdentifier();
    Emit(event);
  }
  bool DoClose(CefRefPtr<CefBrowser> browser) override {
    Emit(Event("do_close", browser));
    return g_policy.Get("do_close", "false") == "true";
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    browsers_.erase(browser->GetIdentifier());
    json event = Event("before_close", browser);
    event["remaining"] = browsers_.size();
    Emit(event);
  }

  // CefLoadHandler methods:
  void OnLoadingStateChange(CefRefPtr<CefBrowser> browser,
                            bool is_loading,
                            bool can_go_back,
                            bool can_go_forward) override {
    json event = Event("loading_state", browser);
    event["loading"] = is_loading;
    Emit(event);
  }
  void OnLoadStart(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   TransitionType transition) override {
    json event = Event("load_start", browser);
    event["frame"] = FrameInfo(frame);
    event["transition"] = static_cast<int>(transition);
    Emit(event);
  }
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int status) override {
    json event = Event("load_end", browser);
    event["frame"] = FrameInfo(frame);
    event["status"] = status;
    Emit(event);
  }
  void OnLoadError(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   ErrorCode code,
                   const CefString& text,
                   const CefString& failed_url) override {
    json event = Event("load_error", browser);
    event["frame"] = FrameInfo(frame);
    event["code"] = static_cast<int>(code);
    event["text"] = text.ToString();
    event["url"] = failed_url.ToString();
    Emit(event);
    // As the shell does: its own error page replaces the failed one, loaded
    // from inside this callback.
    if (g_policy.Get("error_page") == "true" && frame->IsMain() &&
        code != ERR_ABORTED) {
      frame->LoadURL("data:text/html,<title>error page</title>failed");
    }
  }

  // CefRequestHandler methods:
  bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                      CefRefPtr<CefFrame> frame,
                      CefRefPtr<CefRequest> request,
                      bool user_gesture,
                      bool is_redirect) override {
    const std::string url = request->GetURL().ToString();
    json event = Event("before_browse", browser);
    event["url"] = url;
    event["frame"] = FrameInfo(frame);
    event["resource_type"] = static_cast<int>(request->GetResourceType());
    event["transition"] = static_cast<int>(request->GetTransitionType());
    event["read_only"] = request->IsReadOnly();
    event["user_gesture"] = user_gesture;
    event["is_redirect"] = is_redirect;
    Emit(event);
    if (!g_policy.Matches("block_navigation", url)) {
      return false;
    }
    // As the shell does: a refused first navigation closes its browser.
    if (g_policy.Get("close_on_refuse") == "true" && frame->IsMain() &&
        !browser->CanGoBack()) {
      browser->GetHost()->CloseBrowser(false);
    }
    return true;
  }
  bool OnOpenURLFromTab(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefFrame> frame,
                        const CefString& target_url,
                        cef_window_open_disposition_t disposition,
                        bool user_gesture) override {
    json event = Event("open_url_from_tab", browser);
    event["url"] = target_url.ToString();
    event["disposition"] = static_cast<int>(disposition);
    event["user_gesture"] = user_gesture;
    Emit(event);
    return g_policy.Get("open_url_from_tab", "allow") != "allow";
  }
  CefRefPtr<CefResourceRequestHandler> GetResourceRequestHandler(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      CefRefPtr<CefRequest> request,
      bool is_navigation,
      bool is_download,
      const CefString& request_initiator,
      bool& disable_default_handling) override {
    return this;
  }

  // CefResourceRequestHandler methods:
  ReturnValue OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser,
                                   CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefRequest> request,
                                   CefRefPtr<CefCallback> callback) override {
    const std::string url = request->GetURL().ToString();
    json event = Event("resource", browser);
    event["url"] = url;
    event["resource_type"] = static_cast<int>(request->GetResourceType());
    event["id"] = request->GetIdentifier();
    event["io_thread"] = CefCurrentlyOn(TID_IO);
    Emit(event);
    if (g_policy.Matches("block_resource", url)) {
      return RV_CANCEL;
    }
    if (g_policy.Matches("rewrite_resource", url)) {
      request->SetURL(g_policy.Get("rewrite_to"));
    }
    if (g_policy.Matches("async_allow", url) ||
        g_policy.Matches("async_cancel", url)) {
      const bool allow = g_policy.Matches("async_allow", url);
      // Answer later, from another thread, as an asynchronous check would.
      std::thread([callback, allow] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (allow) {
          callback->Continue();
        } else {
          callback->Cancel();
        }
      }).detach();
      return RV_CONTINUE_ASYNC;
    }
    return RV_CONTINUE;
  }

  // CefJSDialogHandler methods:
  bool OnJSDialog(CefRefPtr<CefBrowser> browser,
                  const CefString& origin_url,
                  JSDialogType type,
                  const CefString& message,
                  const CefString& default_prompt,
                  CefRefPtr<CefJSDialogCallback> callback,
                  bool& suppress_message) override {
    json event = Event("js_dialog", browser);
    event["type"] = static_cast<int>(type);
    event["message"] = message.ToString();
    event["default_prompt"] = default_prompt.ToString();
    Emit(event);
    const std::string answer = g_policy.Get("dialog", "accept");
    if (answer == "later") {
      // Answered from another thread after a while: the page waits.
      std::thread([callback] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        callback->Continue(true, "later answer");
      }).detach();
      return true;
    }
    if (answer == "drop") {
      return true;
    }
    callback->Continue(answer == "accept", g_policy.Get("prompt_text"));
    return true;
  }
  bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser,
                            const CefString& message,
                            bool is_reload,
                            CefRefPtr<CefJSDialogCallback> callback) override {
    json event = Event("before_unload", browser);
    event["message"] = message.ToString();
    event["is_reload"] = is_reload;
    Emit(event);
    const std::string answer = g_policy.Get("unload", "drop");
    if (answer == "leave") {
      callback->Continue(true, CefString());
    } else if (answer == "stay") {
      callback->Continue(false, CefString());
    }
    // "drop": released without an answer.
    return true;
  }
  void OnDialogClosed(CefRefPtr<CefBrowser> browser) override {
    Emit(Event("dialog_closed", browser));
  }

  // CefPermissionHandler methods:
  bool OnRequestMediaAccessPermission(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      const CefString& origin,
      uint32_t requested,
      CefRefPtr<CefMediaAccessCallback> callback) override {
    json event = Event("media_request", browser);
    event["requested"] = requested;
    Emit(event);
    if (g_policy.Get("media", "grant") == "grant") {
      callback->Continue(requested);
    } else {
      callback->Cancel();
    }
    return true;
  }
  bool OnShowPermissionPrompt(
      CefRefPtr<CefBrowser> browser,
      uint64_t prompt_id,
      const CefString& origin,
      uint32_t requested,
      CefRefPtr<CefPermissionPromptCallback> callback) override {
    json event = Event("permission_prompt", browser);
    event["prompt_id"] = prompt_id;
    event["origin"] = origin.ToString();
    event["requested"] = requested;
    Emit(event);
    callback->Continue(g_policy.Get("prompt", "accept") == "accept"
                           ? CEF_PERMISSION_RESULT_ACCEPT
                           : CEF_PERMISSION_RESULT_DENY);
    return true;
  }
  void OnDismissPermissionPrompt(
      CefRefPtr<CefBrowser> browser,
      uint64_t prompt_id,
      cef_permission_request_result_t result) override {
    json event = Event("permission_dismissed", browser);
    event["prompt_id"] = prompt_id;
    event["result"] = static_cast<int>(result);
    Emit(event);
  }

 private:
  std::map<int, CefRefPtr<CefBrowser>> browsers_;

  IMPLEMENT_REFCOUNTING(TestClient);
};

class TestApp : public engine_test_app::JsonCommandApp {
 public:
  TestApp() = default;

  // CefApp methods:
  void OnBeforeCommandLineProcessing(
      const CefString& process_type,
      CefRefPtr<CefCommandLine> command_line) override {
    // Capture devices for media requests on machines without any; access
    // is still decided by the permission handler.
    command_line->AppendSwitch("use-fake-device-for-media-stream");
  }

 private:
  // JsonCommandApp methods:
  void Start() override { client_ = new TestClient(); }

  CefRefPtr<CefBrowser> Browser(const json& command) {
    const int id = command.value("browser", 1);
    auto it = client_->browsers().find(id);
    return it == client_->browsers().end() ? nullptr : it->second;
  }

  void Run(const json& command, json& reply) override {
    const std::string name = command.at("cmd");
    CefRefPtr<CefBrowser> browser = Browser(command);
    if (name == "policy") {
      g_policy.Merge(command.at("values"));
    } else if (name == "create") {
      CefWindowInfo info;
      info.bounds = CefRect(0, 0, 640, 480);
      CefRefPtr<CefBrowser> created = CefBrowserHost::CreateBrowserSync(
          info, client_, command.value("url", ""), CefBrowserSettings(),
          nullptr, nullptr);
      reply["browser"] = created ? created->GetIdentifier() : 0;
    } else if (!browser && name != "quit") {
      reply["error"] = "no such browser";
    } else if (name == "load") {
      browser->GetMainFrame()->LoadURL(command.at("url").get<std::string>());
    } else if (name == "js") {
      browser->GetMainFrame()->ExecuteJavaScript(
          command.at("code").get<std::string>(), "", 0);
    } else if (name == "edit") {
      const std::string op = command.at("op");
      CefRefPtr<CefFrame> frame = browser->GetFocusedFrame();
      if (op == "selectall")
        frame->SelectAll();
      if (op == "cut")
        frame->Cut();
      if (op == "paste")
        frame->Paste();
      if (op == "delete")
        frame->Delete();
      if (op == "undo")
        frame->Undo();
    } else if (name == "reload") {
      browser->Reload();
    } else if (name == "stop") {
      browser->StopLoad();
    } else if (name == "back") {
      browser->GoBack();
    } else if (name == "close") {
      browser->GetHost()->CloseBrowser(command.value("force", false));
    } else if (name == "try_close") {
      reply["result"] = browser->GetHost()->TryCloseBrowser();
      reply["ready"] = browser->GetHost()->IsReadyToBeClosed();
    } else if (name == "set_zoom") {
      browser->GetHost()->SetZoomLevel(command.at("level").get<double>());
    } else if (name == "set_zoom_off_thread") {
      // From another thread: the engine must hop to the UI thread itself.
      CefRefPtr<CefBrowserHost> host = browser->GetHost();
      const double level = command.at("level").get<double>();
      std::thread([host, level] { host->SetZoomLevel(level); }).join();
    } else if (name == "state") {
      CefRefPtr<CefBrowserHost> host = browser->GetHost();
      reply["valid"] = browser->IsValid();
      reply["loading"] = browser->IsLoading();
      reply["can_go_back"] = browser->CanGoBack();
      reply["has_document"] = browser->HasDocument();
      reply["zoom"] = host->GetZoomLevel();
      reply["window"] = host->GetWindowHandle();
      reply["frame"] = FrameInfo(browser->GetMainFrame());
    } else if (name == "quit") {
      CefQuitMessageLoop();
    }
  }

  CefRefPtr<TestClient> client_;

  IMPLEMENT_REFCOUNTING(TestApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  return engine_test_app::AppMain(argc, argv, new TestApp());
}
