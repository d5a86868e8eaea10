// A small engine application that drives windows and browser views on
// command. It reads one command per line on stdin and writes one JSON object
// per line on stdout: the answer to each command and the events the engine
// reports (window and browser life cycle, loads, titles, close decisions).
//
// Usage: views_test_app --cache-root=DIR

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_command_line.h"
#include "include/cef_task.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"
#include "tests/support/engine_app/stdin_lines.h"

namespace {

using json = nlohmann::json;

using engine_test_app::Emit;

// key=value words after a command.
std::map<std::string, std::string> ParseOptions(std::istringstream& in) {
  std::map<std::string, std::string> options;
  std::string word;
  while (in >> word) {
    const size_t equals = word.find('=');
    if (equals != std::string::npos) {
      options[word.substr(0, equals)] = word.substr(equals + 1);
    }
  }
  return options;
}

int IntOption(const std::map<std::string, std::string>& options,
              const std::string& key,
              int fallback) {
  auto it = options.find(key);
  return it == options.end() ? fallback : std::stoi(it->second);
}

class Client : public CefClient,
               public CefLifeSpanHandler,
               public CefLoadHandler,
               public CefDisplayHandler {
 public:
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }

  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    // The production engine hands the browser to its view first.
    Emit({{"event", "after_created"},
          {"browser", browser->GetIdentifier()},
          {"has_view", CefBrowserView::GetForBrowser(browser) != nullptr}});
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    Emit({{"event", "before_close"}, {"browser", browser->GetIdentifier()}});
  }
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int httpStatusCode) override {
    if (frame->IsMain()) {
      Emit({{"event", "load_end"}, {"browser", browser->GetIdentifier()}});
    }
  }
  void OnTitleChange(CefRefPtr<CefBrowser> browser,
                     const CefString& title) override {
    Emit({{"event", "title"},
          {"browser", browser->GetIdentifier()},
          {"title", title.ToString()}});
  }

 private:
  IMPLEMENT_REFCOUNTING(Client);
};

struct WindowEntry;
std::map<int, WindowEntry>& Windows();
void OnWindowGone();

class WindowDelegate : public CefWindowDelegate {
 public:
  WindowDelegate(int id,
                 const std::map<std::string, std::string>& options,
                 CefRefPtr<CefBrowserView> view)
      : id_(id), options_(options), view_(view) {
    can_close_ = IntOption(options, "canclose", 1) != 0;
  }

  void set_can_close(bool can_close) { can_close_ = can_close; }

  void OnWindowCreated(CefRefPtr<CefWindow> window) override {
    if (view_) {
      window->AddChildView(view_);
    }
    Emit({{"event", "window_created"},
          {"window", id_},
          {"xid", window->GetWindowHandle()}});
  }
  void OnWindowClosing(CefRefPtr<CefWindow> window) override {
    Emit({{"event", "window_closing"}, {"window", id_}});
  }
  void OnWindowDestroyed(CefRefPtr<CefWindow> window) override {
    view_ = nullptr;
    Emit({{"event", "window_destroyed"}, {"window", id_}});
    Windows().erase(id_);
    OnWindowGone();
  }
  bool IsFrameless(CefRefPtr<CefWindow> window) override {
    return IntOption(options_, "frameless", 1) != 0;
  }
  bool CanClose(CefRefPtr<CefWindow> window) override {
    bool answer = can_close_;
    // A window showing a page closes the way a browser does: the page's
    // leave handling first, then the window.
    CefRefPtr<CefBrowser> browser = view_ ? view_->GetBrowser() : nullptr;
    if (answer && browser) {
      answer = browser->GetHost()->TryCloseBrowser();
    }
    Emit({{"event", "can_close"}, {"window", id_}, {"answer", answer}});
    return answer;
  }
  CefSize GetMinimumSize(CefRefPtr<CefView> view) override {
    return CefSize(IntOption(options_, "minw", 0),
                   IntOption(options_, "minh", 0));
  }
  CefRect GetInitialBounds(CefRefPtr<CefWindow> window) override {
    return CefRect(IntOption(options_, "x", 0), IntOption(options_, "y", 0),
                   IntOption(options_, "w", 0), IntOption(options_, "h", 0));
  }

 private:
  const int id_;
  const std::map<std::string, std::string> options_;
  CefRefPtr<CefBrowserView> view_;
  bool can_close_ = true;

  IMPLEMENT_REFCOUNTING(WindowDelegate);
};

class ViewDelegate : public CefBrowserViewDelegate {
 public:
  void OnBrowserDestroyed(CefRefPtr<CefBrowserView> browser_view,
                          CefRefPtr<CefBrowser> browser) override {
    Emit({{"event", "view_browser_destroyed"},
          {"browser", browser->GetIdentifier()}});
  }

 private:
  IMPLEMENT_REFCOUNTING(ViewDelegate);
};

struct WindowEntry {
  CefRefPtr<CefWindow> window;
  CefRefPtr<WindowDelegate> delegate;
  CefRefPtr<CefBrowserView> view;
};

std::map<int, WindowEntry>& Windows() {
  static std::map<int, WindowEntry> windows;
  return windows;
}

CefRefPtr<Client>& TheClient() {
  static CefRefPtr<Client> client;
  return client;
}

bool quitting = false;

void OnWindowGone() {
  if (quitting && Windows().empty()) {
    CefQuitMessageLoop();
  }
}

int CreateWindowEntry(int id,
                      const std::map<std::string, std::string>& options,
                      CefRefPtr<CefBrowserView> view) {
  WindowEntry& entry = Windows()[id];
  entry.view = view;
  entry.delegate = new WindowDelegate(id, options, view);
  entry.window = CefWindow::CreateTopLevelWindow(entry.delegate);
  return id;
}

json WindowState(int id, CefRefPtr<CefWindow> window) {
  const CefRect bounds = window->GetBounds();
  json state = {{"event", "state"},
                {"window", id},
                {"visible", window->IsVisible()},
                {"drawn", window->IsDrawn()},
                {"minimized", window->IsMinimized()},
                {"maximized", window->IsMaximized()},
                {"fullscreen", window->IsFullscreen()},
                {"on_top", window->IsAlwaysOnTop()},
                {"active", window->IsActive()},
                {"closed", window->IsClosed()},
                {"xid", window->GetWindowHandle()},
                {"bounds", {bounds.x, bounds.y, bounds.width, bounds.height}}};
  auto it = Windows().find(id);
  if (it != Windows().end() && it->second.view) {
    CefRefPtr<CefBrowserView> view = it->second.view;
    CefRefPtr<CefBrowser> browser = view->GetBrowser();
    state["browser"] = browser ? browser->GetIdentifier() : 0;
    state["view_in_window"] =
        view->GetWindow() && view->GetWindow()->IsSame(window);
    state["view_for_browser"] =
        browser && CefBrowserView::GetForBrowser(browser) &&
        CefBrowserView::GetForBrowser(browser)->IsSame(view);
    state["view_focused"] = view->HasFocus();
  }
  return state;
}

// Sets WM_CLASS the way an application does on its own, through Xlib on the
// engine's display: six bytes without a terminating zero.
void SetClassLikeShell(CefWindowHandle xid, const std::string& value) {
  Display* display = cef_get_xdisplay();
  if (!display) {
    return;
  }
  Atom wm_class = XInternAtom(display, "WM_CLASS", False);
  Atom string_type = XInternAtom(display, "STRING", False);
  XChangeProperty(display, xid, wm_class, string_type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(value.data()),
                  static_cast<int>(value.size()));
  XFlush(display);
}

std::vector<CefDraggableRegion> ParseRegions(const std::string& text) {
  // x,y,w,h,draggable;...
  std::vector<CefDraggableRegion> regions;
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ';')) {
    int x = 0, y = 0, w = 0, h = 0, drag = 0;
    if (sscanf(item.c_str(), "%d,%d,%d,%d,%d", &x, &y, &w, &h, &drag) == 5) {
      regions.emplace_back(CefRect(x, y, w, h), drag != 0);
    }
  }
  return regions;
}

void RunCommand(const std::string& line) {
  std::istringstream in(line);
  std::string command;
  in >> command;
  if (command == "quit") {
    quitting = true;
    if (Windows().empty()) {
      CefQuitMessageLoop();
      return;
    }
    for (auto& [id, entry] : std::map<int, WindowEntry>(Windows())) {
      entry.delegate->set_can_close(true);
      entry.window->Close();
    }
    return;
  }

  int id = 0;
  in >> id;
  if (command == "create") {
    std::map<std::string, std::string> options = ParseOptions(in);
    CefRefPtr<CefBrowserView> view;
    if (options.count("url")) {
      view = CefBrowserView::CreateBrowserView(TheClient(), options["url"],
                                               CefBrowserSettings(), nullptr,
                                               nullptr, new ViewDelegate());
    }
    CreateWindowEntry(id, options, view);
    if (IntOption(options, "show", 0)) {
      Windows()[id].window->Show();
    }
    Emit({{"event", "done"}, {"command", command}});
    return;
  }

  auto it = Windows().find(id);
  if (it == Windows().end()) {
    Emit({{"event", "error"}, {"line", line}, {"what", "no such window"}});
    return;
  }
  CefRefPtr<CefWindow> window = it->second.window;
  int a = 0, b = 0, c = 0, d = 0;
  if (command == "state") {
    Emit(WindowState(id, window));
    return;
  } else if (command == "show") {
    window->Show();
  } else if (command == "hide") {
    window->Hide();
  } else if (command == "maximize") {
    window->Maximize();
  } else if (command == "minimize") {
    window->Minimize();
  } else if (command == "restore") {
    window->Restore();
  } else if (command == "fullscreen") {
    in >> a;
    window->SetFullscreen(a != 0);
  } else if (command == "ontop") {
    in >> a;
    window->SetAlwaysOnTop(a != 0);
  } else if (command == "bounds") {
    in >> a >> b >> c >> d;
    window->SetBounds(CefRect(a, b, c, d));
  } else if (command == "center") {
    in >> a >> b;
    window->CenterWindow(CefSize(a, b));
  } else if (command == "close") {
    window->Close();
  } else if (command == "activate") {
    window->Activate();
  } else if (command == "bringtotop") {
    window->BringToTop();
  } else if (command == "focus") {
    window->RequestFocus();
  } else if (command == "drag") {
    std::string regions;
    in >> regions;
    window->SetDraggableRegions(ParseRegions(regions));
  } else if (command == "canclose") {
    in >> a;
    it->second.delegate->set_can_close(a != 0);
  } else if (command == "setclass") {
    std::string value;
    in >> value;
    SetClassLikeShell(window->GetWindowHandle(), value);
  } else if (command == "js") {
    std::string code;
    std::getline(in >> std::ws, code);
    CefRefPtr<CefBrowserView> view = it->second.view;
    if (view && view->GetBrowser()) {
      view->GetBrowser()->GetMainFrame()->ExecuteJavaScript(code, "", 0);
    }
  } else {
    Emit({{"event", "error"}, {"line", line}, {"what", "unknown command"}});
    return;
  }
  Emit({{"event", "done"}, {"command", command}});
}

class App : public CefApp, public CefBrowserProcessHandler {
 public:
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }
  void OnContextInitialized() override {
    TheClient() = new Client;
    engine_test_app::WatchStdinLines(RunCommand,
                                     // The test went away: leave as if told
                                     // to.
                                     [] { RunCommand("quit"); });
    Emit({{"event", "ready"}});
  }

 private:
  IMPLEMENT_REFCOUNTING(App);
};

}  // namespace

int main(int argc, char* argv[]) {
  CefMainArgs args(argc, argv);
  CefRefPtr<App> app = new App;
  const int exit_code = CefExecuteProcess(args, app, nullptr);
  if (exit_code >= 0) {
    return exit_code;
  }

  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromArgv(argc, argv);
  const int code = engine_test_app::RunBrowserProcess(
      args, app, command_line->GetSwitchValue("cache-root"),
      [] { TheClient() = nullptr; });
  if (code == 0) {
    Emit({{"event", "exit"}});
  }
  return code;
}
