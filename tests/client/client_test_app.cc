// Test application for ShellClient: browser views whose client is the
// shell's own, in frameless windows, driven by JSON commands on stdin:
//   client   {"allow": TEXT}  creates the ShellClient with that allow-list;
//   open     {"url": URL}     opens a window on URL; answers its browser and
//                             X window;
//   load / js {"browser", "url" | "code"}  in the main frame;
//   state    {"browser"}      the main frame's URL;
//   close    {"browser"}      closes that browser;
//   close_all                 CloseAllBrowsersOnBackendExit from a thread of
//                             its own, as backend supervision calls it;
//   closing                   the client's closing flag and open browsers;
//   quit.
// Fake media devices stand in for a camera and a microphone.
// Events: browser_created / browser_destroyed and popup_view_created from
// the view delegate; ended with the browser process's exit code once its
// run is over.

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "client/shell_client.h"
#include "include/cef_app.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "instance/client_actions.h"
#include "tests/support/engine_app/browser_window.h"
#include "tests/support/engine_app/command_app.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

using engine_test_app::BrowserEvent;
using engine_test_app::Emit;
using json = nlohmann::json;

std::map<int, CefRefPtr<CefBrowser>> g_browsers;

CefRefPtr<CefWindowDelegate> HostWindow(CefRefPtr<CefBrowserView> view) {
  return new engine_test_app::BrowserWindowDelegate(view, CefSize(800, 600),
                                                    /*frameless=*/true);
}

class ViewDelegate : public CefBrowserViewDelegate {
 public:
  void OnBrowserCreated(CefRefPtr<CefBrowserView> view,
                        CefRefPtr<CefBrowser> browser) override {
    g_browsers[browser->GetIdentifier()] = browser;
    Emit(BrowserEvent("browser_created", browser));
  }
  void OnBrowserDestroyed(CefRefPtr<CefBrowserView> view,
                          CefRefPtr<CefBrowser> browser) override {
    g_browsers.erase(browser->GetIdentifier());
    Emit(BrowserEvent("browser_destroyed", browser));
  }
  bool OnPopupBrowserViewCreated(CefRefPtr<CefBrowserView> view,
                                 CefRefPtr<CefBrowserView> popup_view,
                                 bool is_devtools) override {
    json event = BrowserEvent("popup_view_created", view->GetBrowser());
    event["popup"] = popup_view->GetBrowser()
                         ? popup_view->GetBrowser()->GetIdentifier()
                         : 0;
    Emit(event);
    CefWindow::CreateTopLevelWindow(HostWindow(popup_view));
    return true;
  }

 private:
  IMPLEMENT_REFCOUNTING(ViewDelegate);
};

class TestApp : public engine_test_app::JsonCommandApp {
 public:
  // CefApp methods:
  void OnBeforeCommandLineProcessing(
      const CefString& process_type,
      CefRefPtr<CefCommandLine> command_line) override {
    // A camera and microphone that exist, so that pages get as far as
    // asking for them.
    command_line->AppendSwitch("use-fake-device-for-media-stream");
  }

 private:
  // JsonCommandApp methods:
  void Start() override {}
  void Run(const json& command, json& reply) override {
    const std::string name = command.at("cmd");
    auto found = g_browsers.find(command.value("browser", 0));
    CefRefPtr<CefBrowser> browser =
        found == g_browsers.end() ? nullptr : found->second;
    if (name == "client") {
      client_ = new ShellClient(true, "http://localhost:35580",
                                command.at("allow").get<std::string>());
      reply["instance"] = ShellClient::GetInstance() == client_;
    } else if (name == "open") {
      CefRefPtr<CefBrowserView> view = CefBrowserView::CreateBrowserView(
          client_, command.at("url").get<std::string>(), CefBrowserSettings(),
          nullptr, nullptr, new ViewDelegate());
      CefRefPtr<CefWindow> window =
          CefWindow::CreateTopLevelWindow(HostWindow(view));
      reply["browser"] =
          view->GetBrowser() ? view->GetBrowser()->GetIdentifier() : 0;
      reply["xid"] = window->GetWindowHandle();
    } else if (name == "close_all") {
      std::thread(CloseAllBrowsersOnBackendExit).detach();
    } else if (name == "closing") {
      reply["closing"] = client_->closing;
      reply["browsers"] = client_->browsers.size();
    } else if (name == "quit") {
      g_browsers.clear();
      client_ = nullptr;
      CefQuitMessageLoop();
    } else if (!browser) {
      reply["error"] = "no such browser";
    } else if (name == "load") {
      browser->GetMainFrame()->LoadURL(command.at("url").get<std::string>());
    } else if (name == "js") {
      browser->GetMainFrame()->ExecuteJavaScript(
          command.at("code").get<std::string>(), "", 0);
    } else if (name == "close") {
      browser->GetHost()->CloseBrowser(false);
    } else if (name == "state") {
      reply["url"] = browser->GetMainFrame()->GetURL().ToString();
    }
  }

  CefRefPtr<ShellClient> client_;

  IMPLEMENT_REFCOUNTING(TestApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  const int code = engine_test_app::AppMain(argc, argv, new TestApp());
  // The browser process (the one without a --type) tells how its run ended.
  if (std::none_of(argv, argv + argc, [](const char* arg) {
        return std::strncmp(arg, "--type=", 7) == 0;
      })) {
    Emit({{"event", "ended"}, {"code", code}});
  }
  return code;
}
