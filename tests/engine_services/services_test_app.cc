// A small engine application for the page-service tests: downloads, file
// dialogs and developer tools. It speaks the browser test harness's protocol:
// commands as JSON lines on standard input, one JSON event per line on
// standard output.
//
// Usage: services_test_app --cache-root=DIR

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_download_handler.h"
#include "include/cef_task.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "tests/support/engine_app/browser_window.h"
#include "tests/support/engine_app/command_app.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

using json = nlohmann::json;

using engine_test_app::Emit;

json Event(const std::string& name, CefRefPtr<CefBrowser> browser) {
  return engine_test_app::BrowserEvent(name, browser);
}

// Where the download handler proposes to save; set by the "policy" command.
json g_policy = json::object();

class TestClient : public CefClient,
                   public CefLifeSpanHandler,
                   public CefLoadHandler,
                   public CefDownloadHandler {
 public:
  std::map<int, CefRefPtr<CefBrowser>>& browsers() { return browsers_; }

  // CefClient methods:
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }

  // CefLifeSpanHandler methods:
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    browsers_[browser->GetIdentifier()] = browser;
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    browsers_.erase(browser->GetIdentifier());
  }

  // CefLoadHandler methods:
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int status) override {
    Emit(Event("load_end", browser));
  }

  // CefDownloadHandler methods:
  bool CanDownload(CefRefPtr<CefBrowser> browser,
                   const CefString& url,
                   const CefString& request_method) override {
    json event = Event("can_download", browser);
    event["url"] = url.ToString();
    Emit(event);
    return true;
  }
  bool OnBeforeDownload(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefDownloadItem> item,
      const CefString& suggested_name,
      CefRefPtr<CefBeforeDownloadCallback> callback) override {
    json event = Event("before_download", browser);
    event["suggested_name"] = suggested_name.ToString();
    event["item"] = Item(item);
    Emit(event);
    // As the shell does: a proposed path, and the save dialog.
    callback->Continue(
        g_policy.value("download_dir", "") + "/" + suggested_name.ToString(),
        true);
    return true;
  }
  void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefDownloadItem> item,
                         CefRefPtr<CefDownloadItemCallback> callback) override {
    json event = Event("download_updated", browser);
    event["item"] = Item(item);
    Emit(event);
  }

 private:
  static json Item(CefRefPtr<CefDownloadItem> item) {
    return {{"id", item->GetId()},
            {"path", item->GetFullPath().ToString()},
            {"total", item->GetTotalBytes()},
            {"received", item->GetReceivedBytes()},
            {"complete", item->IsComplete()},
            {"canceled", item->IsCanceled()},
            {"interrupted", item->IsInterrupted()}};
  }

  std::map<int, CefRefPtr<CefBrowser>> browsers_;

  IMPLEMENT_REFCOUNTING(TestClient);
};

// A framed window for the developer tools, a frameless one otherwise, as
// the shell does.
CefRefPtr<CefWindowDelegate> HostWindow(CefRefPtr<CefBrowserView> view,
                                        bool framed) {
  return new engine_test_app::BrowserWindowDelegate(view, CefSize(800, 600),
                                                    /*frameless=*/!framed);
}

class TestViewDelegate : public CefBrowserViewDelegate {
 public:
  bool OnPopupBrowserViewCreated(CefRefPtr<CefBrowserView> view,
                                 CefRefPtr<CefBrowserView> popup_view,
                                 bool is_devtools) override {
    CefRefPtr<CefBrowser> popup = popup_view->GetBrowser();
    json event = Event("popup_view_created", view->GetBrowser());
    event["popup"] = popup ? popup->GetIdentifier() : 0;
    event["is_devtools"] = is_devtools;
    Emit(event);
    CefWindow::CreateTopLevelWindow(HostWindow(popup_view, is_devtools));
    return true;
  }

 private:
  IMPLEMENT_REFCOUNTING(TestViewDelegate);
};

class DialogCallback : public CefRunFileDialogCallback {
 public:
  explicit DialogCallback(int tag) : tag_(tag) {}

  void OnFileDialogDismissed(const std::vector<CefString>& paths) override {
    json files = json::array();
    for (const CefString& path : paths) {
      files.push_back(path.ToString());
    }
    Emit({{"event", "file_dialog_dismissed"},
          {"tag", tag_},
          {"paths", files},
          {"ui_thread", CefCurrentlyOn(TID_UI)}});
  }

 private:
  const int tag_;

  IMPLEMENT_REFCOUNTING(DialogCallback);
};

class TestApp : public engine_test_app::JsonCommandApp {
 private:
  // JsonCommandApp methods:
  void Start() override { client_ = new TestClient(); }
  void Run(const json& command, json& reply) override {
    const std::string name = command.at("cmd");
    auto found = client_->browsers().find(command.value("browser", 1));
    CefRefPtr<CefBrowser> browser =
        found == client_->browsers().end() ? nullptr : found->second;
    if (name == "policy") {
      g_policy.update(command.at("values"));
    } else if (name == "create") {
      CefRefPtr<CefBrowserView> view = CefBrowserView::CreateBrowserView(
          client_, command.value("url", ""), CefBrowserSettings(), nullptr,
          nullptr, new TestViewDelegate());
      CefWindow::CreateTopLevelWindow(HostWindow(view, false));
      reply["browser"] =
          view->GetBrowser() ? view->GetBrowser()->GetIdentifier() : 0;
    } else if (name == "quit") {
      CefQuitMessageLoop();
    } else if (!browser) {
      reply["error"] = "no such browser";
    } else if (name == "js") {
      browser->GetMainFrame()->ExecuteJavaScript(
          command.at("code").get<std::string>(), "", 0);
    } else if (name == "file_dialog") {
      browser->GetHost()->RunFileDialog(
          FILE_DIALOG_OPEN, command.value("title", ""), "", {},
          new DialogCallback(command.value("tag", 0)));
    } else if (name == "show_devtools") {
      browser->GetHost()->ShowDevTools(CefWindowInfo(), client_,
                                       CefBrowserSettings(), CefPoint());
    }
  }

  CefRefPtr<TestClient> client_;

  IMPLEMENT_REFCOUNTING(TestApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  return engine_test_app::AppMain(argc, argv, new TestApp());
}
