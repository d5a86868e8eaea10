// A small engine application that drives one frameless window, with or
// without a browser view, on JSON commands (the browser test harness's
// protocol) and reports the window's and browser's life cycle as JSON lines.
//
// Usage: views_test_app --cache-root=DIR

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "tests/support/engine_app/command_app.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

using engine_test_app::BrowserEvent;
using engine_test_app::Emit;
using json = nlohmann::json;

class Client : public CefClient,
               public CefLifeSpanHandler,
               public CefLoadHandler {
 public:
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }

  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    // The production engine hands the browser to its view first.
    json event = BrowserEvent("after_created", browser);
    event["has_view"] = CefBrowserView::GetForBrowser(browser) != nullptr;
    Emit(event);
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    Emit(BrowserEvent("before_close", browser));
  }
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int httpStatusCode) override {
    if (frame->IsMain()) {
      Emit(BrowserEvent("load_end", browser));
    }
  }

 private:
  IMPLEMENT_REFCOUNTING(Client);
};

bool g_quitting = false;

class WindowDelegate : public CefWindowDelegate {
 public:
  WindowDelegate(const json& options, CefRefPtr<CefBrowserView> view)
      : options_(options), view_(view) {}

  void OnWindowCreated(CefRefPtr<CefWindow> window) override {
    if (view_) {
      window->AddChildView(view_);
    }
    Emit({{"event", "window_created"}, {"xid", window->GetWindowHandle()}});
  }
  void OnWindowDestroyed(CefRefPtr<CefWindow> window) override;
  bool IsFrameless(CefRefPtr<CefWindow> window) override { return true; }
  bool CanClose(CefRefPtr<CefWindow> window) override {
    CefRefPtr<CefBrowser> browser = view_ ? view_->GetBrowser() : nullptr;
    return !browser || browser->GetHost()->TryCloseBrowser();
  }
  CefSize GetMinimumSize(CefRefPtr<CefView> view) override {
    return CefSize(options_.value("minw", 0), options_.value("minh", 0));
  }
  CefRect GetInitialBounds(CefRefPtr<CefWindow> window) override {
    const json& b = options_.at("bounds");
    return CefRect(b[0], b[1], b[2], b[3]);
  }

 private:
  const json options_;
  CefRefPtr<CefBrowserView> view_;

  IMPLEMENT_REFCOUNTING(WindowDelegate);
};

// The one window and its view, while they exist.
CefRefPtr<CefWindow> g_window;
CefRefPtr<CefBrowserView> g_view;

void WindowDelegate::OnWindowDestroyed(CefRefPtr<CefWindow> window) {
  view_ = nullptr;
  g_window = nullptr;
  g_view = nullptr;
  Emit({{"event", "window_destroyed"}});
  if (g_quitting) {
    CefQuitMessageLoop();
  }
}

class TestApp : public engine_test_app::JsonCommandApp {
 private:
  // JsonCommandApp methods:
  void Start() override { client_ = new Client(); }
  void Run(const json& command, json& reply) override {
    const std::string name = command.at("cmd");
    if (name == "quit") {
      g_quitting = true;
      if (g_window) {
        g_window->Close();
      } else {
        CefQuitMessageLoop();
      }
    } else if (name == "create") {
      if (command.contains("url")) {
        g_view = CefBrowserView::CreateBrowserView(
            client_, command["url"].get<std::string>(), CefBrowserSettings(),
            nullptr, nullptr, nullptr);
      }
      g_window =
          CefWindow::CreateTopLevelWindow(new WindowDelegate(command, g_view));
      g_window->Show();
    } else if (!g_window) {
      reply["error"] = "no window";
    } else if (name == "state") {
      const CefRect bounds = g_window->GetBounds();
      reply["visible"] = g_window->IsVisible();
      reply["minimized"] = g_window->IsMinimized();
      reply["maximized"] = g_window->IsMaximized();
      reply["on_top"] = g_window->IsAlwaysOnTop();
      reply["bounds"] = {bounds.x, bounds.y, bounds.width, bounds.height};
    } else if (name == "show") {
      g_window->Show();
    } else if (name == "hide") {
      g_window->Hide();
    } else if (name == "maximize") {
      g_window->Maximize();
    } else if (name == "minimize") {
      g_window->Minimize();
    } else if (name == "restore") {
      g_window->Restore();
    } else if (name == "fullscreen") {
      g_window->SetFullscreen(command.at("on"));
    } else if (name == "ontop") {
      g_window->SetAlwaysOnTop(command.at("on"));
    } else if (name == "bounds") {
      const json& b = command.at("bounds");
      g_window->SetBounds(CefRect(b[0], b[1], b[2], b[3]));
    } else if (name == "js") {
      if (g_view && g_view->GetBrowser()) {
        g_view->GetBrowser()->GetMainFrame()->ExecuteJavaScript(
            command.at("code").get<std::string>(), "", 0);
      }
    }
  }

  CefRefPtr<Client> client_;

  IMPLEMENT_REFCOUNTING(TestApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  return engine_test_app::AppMain(argc, argv, new TestApp());
}
