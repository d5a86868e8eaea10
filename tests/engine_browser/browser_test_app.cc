// A small engine application for the browser tests: it creates browsers on
// request and reports every handler call as one JSON object per line on
// standard output. Commands arrive as JSON lines on standard input; handler
// answers are set by the "policy" command.
//
// Usage: browser_test_app --cache-root=DIR

#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_task.h"
#include "tests/support/engine_app/command_app.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

using json = nlohmann::json;

// Reports the handler call |name| about |browser| with |fields|.
void Report(const std::string& name,
            CefRefPtr<CefBrowser> browser,
            const json& fields = json::object()) {
  json event = engine_test_app::BrowserEvent(name, browser);
  event.update(fields);
  engine_test_app::Emit(event);
}

json FrameInfo(CefRefPtr<CefFrame> frame) {
  if (!frame) {
    return nullptr;
  }
  return {{"main", frame->IsMain()}, {"url", frame->GetURL().ToString()}};
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
    const std::string part = Get(key);
    return !part.empty() && url.find(part) != std::string::npos;
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
                   public CefJSDialogHandler {
 public:
  TestClient() = default;

  std::map<int, CefRefPtr<CefBrowser>>& browsers() { return browsers_; }

  // CefClient methods:
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
  CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() override { return this; }

  // CefDisplayHandler methods:
  void OnTitleChange(CefRefPtr<CefBrowser> browser,
                     const CefString& title) override {
    Report("title", browser, {{"title", title.ToString()}});
  }
  bool OnConsoleMessage(CefRefPtr<CefBrowser> browser,
                        cef_log_severity_t level,
                        const CefString& message,
                        const CefString& source,
                        int line) override {
    Report("console", browser, {{"message", message.ToString()}});
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
    Report("before_popup", browser,
           {{"url", target_url.ToString()},
            {"disposition", static_cast<int>(target_disposition)}});
    return g_policy.Get("popup", "allow") != "allow";
  }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    browsers_[browser->GetIdentifier()] = browser;
    Report("after_created", browser);
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    browsers_.erase(browser->GetIdentifier());
  }

  // CefLoadHandler methods:
  void OnLoadStart(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   TransitionType transition) override {
    Report("load_start", browser);
  }
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int status) override {
    Report("load_end", browser,
           {{"frame", FrameInfo(frame)}, {"status", status}});
  }
  void OnLoadError(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   ErrorCode code,
                   const CefString& text,
                   const CefString& failed_url) override {
    Report("load_error", browser,
           {{"frame", FrameInfo(frame)},
            {"code", static_cast<int>(code)},
            {"url", failed_url.ToString()}});
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
    Report("before_browse", browser,
           {{"url", url}, {"is_redirect", is_redirect}});
    return g_policy.Matches("block_navigation", url);
  }
  bool OnOpenURLFromTab(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefFrame> frame,
                        const CefString& target_url,
                        cef_window_open_disposition_t disposition,
                        bool user_gesture) override {
    Report("open_url_from_tab", browser,
           {{"url", target_url.ToString()},
            {"disposition", static_cast<int>(disposition)}});
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
    Report("resource", browser,
           {{"url", url}, {"io_thread", CefCurrentlyOn(TID_IO)}});
    if (g_policy.Matches("block_resource", url)) {
      return RV_CANCEL;
    }
    if (g_policy.Matches("async_cancel", url)) {
      // Refused later, from another thread, as an asynchronous check would:
      // the page goes on loading meanwhile.
      std::thread([callback] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        callback->Cancel();
      }).detach();
      return RV_CONTINUE_ASYNC;
    }
    return RV_CONTINUE;
  }

  // CefJSDialogHandler methods:
  bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser,
                            const CefString& message,
                            bool is_reload,
                            CefRefPtr<CefJSDialogCallback> callback) override {
    Report("before_unload", browser,
           {{"message", message.ToString()}, {"is_reload", is_reload}});
    // As the shell does: the callback is released without an answer.
    return true;
  }

 private:
  std::map<int, CefRefPtr<CefBrowser>> browsers_;

  IMPLEMENT_REFCOUNTING(TestClient);
};

class TestApp : public engine_test_app::JsonCommandApp {
 public:
  TestApp() = default;

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
    } else if (name == "quit") {
      CefQuitMessageLoop();
    } else if (!browser) {
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
    } else if (name == "reload") {
      browser->Reload();
    } else if (name == "try_close") {
      reply["result"] = browser->GetHost()->TryCloseBrowser();
    } else if (name == "set_zoom") {
      browser->GetHost()->SetZoomLevel(command.at("level").get<double>());
    } else if (name == "state") {
      reply["valid"] = browser->IsValid();
      reply["window"] = browser->GetHost()->GetWindowHandle();
      reply["frame"] = FrameInfo(browser->GetMainFrame());
    }
  }

  CefRefPtr<TestClient> client_;

  IMPLEMENT_REFCOUNTING(TestApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  return engine_test_app::AppMain(argc, argv, new TestApp());
}
