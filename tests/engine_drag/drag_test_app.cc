// An engine application with one frameless window showing a page that
// reports drag and drop through its title. Its drag handler reports every
// OnDragEnter and refuses the drag when started with --refuse; with
// --regions the page has draggable regions instead, and every report of
// them is printed; with --drag-out=FILE the page has a link whose drag the
// render handler turns into a drag of FILE. One JSON object per line on stdout;
// it leaves when stdin closes.
//
// Usage: drag_test_app --cache-root=DIR [--refuse | --regions |
//                                         --drag-out=FILE]

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_command_line.h"
#include "include/cef_drag_handler.h"
#include "include/cef_render_handler.h"
#include "include/cef_task.h"
#include "include/views/cef_browser_view.h"
#include "include/views/cef_window.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"
#include "tests/support/engine_app/stdin_lines.h"

namespace {

using json = nlohmann::json;

using engine_test_app::Emit;

// The page sets its title on dragenter and on drop, the dropped files'
// names included, so the test sees what reached the page.
const char kPage[] =
    "data:text/html,<html><body style='margin:0;height:100vh;"
    "background:%2388cc88'><script>"
    "document.title='page';"
    "addEventListener('dragenter',e=>{document.title='dragenter';});"
    "addEventListener('dragover',e=>{e.preventDefault();});"
    "addEventListener('drop',e=>{e.preventDefault();"
    "document.title='drop:'+JSON.stringify("
    "Array.from(e.dataTransfer.files).map(f=>f.name));});"
    "</script></body></html>";

// A drag bar with a no-drag button in it; after the first report the page
// makes the bar taller, then drops the bar's style (and its drag region).
const char kRegionsPage[] =
    "data:text/html,<html><body style='margin:0'>"
    "<div id=bar style='-webkit-app-region:drag;height:40px'>"
    "<button style='-webkit-app-region:no-drag;margin-left:100px;"
    "width:50px;height:20px;border:0;padding:0'>x</button></div>"
    "<script>document.title='regions';"
    "setTimeout(()=>{bar.style.height='60px';"
    "setTimeout(()=>{bar.style.cssText='';},800);},800);"
    "</script></body></html>";

// A big link whose drag carries a list of files in its URL.
const char kDragOutPage[] =
    "data:text/html,<html><body style='margin:0'>"
    "<a href='x-test://drag?files' style='display:block;width:300px;"
    "height:100px;font-size:60px;background:%23ccccff'>drag me</a>"
    "<script>document.title='dragout';</script></body></html>";

std::vector<std::string> ToStrings(const std::vector<CefString>& strings) {
  std::vector<std::string> result;
  for (const CefString& s : strings) {
    result.push_back(s.ToString());
  }
  return result;
}

class Client : public CefClient,
               public CefDragHandler,
               public CefRenderHandler,
               public CefLoadHandler,
               public CefDisplayHandler {
 public:
  Client(bool refuse, const std::string& out_file)
      : refuse_(refuse), out_file_(out_file) {}

  CefRefPtr<CefDragHandler> GetDragHandler() override { return this; }
  CefRefPtr<CefRenderHandler> GetRenderHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }

  bool OnDragEnter(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefDragData> data,
                   CefDragHandler::DragOperationsMask mask) override {
    std::vector<CefString> paths;
    std::vector<CefString> names;
    const bool have_paths = data->GetFilePaths(paths);
    data->GetFileNames(names);
    // Writes to read-only data must not stick.
    data->SetLinkURL("http://example.test/");
    Emit({{"event", "drag_enter"},
          {"browser", browser->GetIdentifier()},
          {"is_file", data->IsFile()},
          {"is_link", data->IsLink()},
          {"read_only", data->IsReadOnly()},
          {"have_paths", have_paths},
          {"paths", ToStrings(paths)},
          {"names", ToStrings(names)},
          {"link_after_write", data->GetLinkURL().ToString()},
          {"mask", static_cast<unsigned>(mask)}});
    return refuse_;
  }

  // Turns a drag of the test link into a drag of |out_file_|.
  bool StartDragging(CefRefPtr<CefBrowser> browser,
                     CefRefPtr<CefDragData> data,
                     CefRenderHandler::DragOperationsMask allowed_ops,
                     int x,
                     int y) override {
    Emit({{"event", "start_dragging"},
          {"link", data->GetLinkURL().ToString()},
          {"read_only", data->IsReadOnly()},
          {"mask", static_cast<unsigned>(allowed_ops)},
          {"x", x},
          {"y", y}});
    if (!out_file_.empty() &&
        data->GetLinkURL().ToString() == "x-test://drag?files") {
      data->SetLinkURL("");
      data->SetFragmentText("");
      data->SetFragmentHtml("");
      data->ClearFilenames();
      data->AddFile(out_file_, "out");
    }
    return false;
  }
  void GetViewRect(CefRefPtr<CefBrowser> browser, CefRect& rect) override {}
  void OnPaint(CefRefPtr<CefBrowser> browser,
               PaintElementType type,
               const RectList& dirtyRects,
               const void* buffer,
               int width,
               int height) override {}

  void OnDraggableRegionsChanged(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      const std::vector<CefDraggableRegion>& regions) override {
    json list = json::array();
    for (const CefDraggableRegion& region : regions) {
      list.push_back({region.bounds.x, region.bounds.y, region.bounds.width,
                      region.bounds.height, region.draggable != 0});
    }
    Emit({{"event", "regions"},
          {"main_frame", frame && frame->IsMain()},
          {"regions", list}});
  }

  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int httpStatusCode) override {
    if (frame->IsMain()) {
      Emit({{"event", "load_end"}});
    }
  }

  void OnTitleChange(CefRefPtr<CefBrowser> browser,
                     const CefString& title) override {
    Emit({{"event", "title"}, {"title", title.ToString()}});
  }

 private:
  const bool refuse_;
  const std::string out_file_;
  IMPLEMENT_REFCOUNTING(Client);
};

class WindowDelegate : public CefWindowDelegate {
 public:
  explicit WindowDelegate(CefRefPtr<CefBrowserView> view) : view_(view) {}

  void OnWindowCreated(CefRefPtr<CefWindow> window) override {
    window->AddChildView(view_);
    window->Show();
    Emit({{"event", "window_created"}, {"xid", window->GetWindowHandle()}});
  }
  void OnWindowDestroyed(CefRefPtr<CefWindow> window) override {
    view_ = nullptr;
    CefQuitMessageLoop();
  }
  bool IsFrameless(CefRefPtr<CefWindow> window) override { return true; }
  CefRect GetInitialBounds(CefRefPtr<CefWindow> window) override {
    return CefRect(400, 40, 400, 300);
  }

 private:
  CefRefPtr<CefBrowserView> view_;
  IMPLEMENT_REFCOUNTING(WindowDelegate);
};

class App;
CefRefPtr<App>& TheApp();

class App : public CefApp, public CefBrowserProcessHandler {
 public:
  App(bool refuse, bool regions, const std::string& out_file)
      : refuse_(refuse), regions_(regions), out_file_(out_file) {}

  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }
  void OnContextInitialized() override {
    CefRefPtr<CefBrowserView> view = CefBrowserView::CreateBrowserView(
        new Client(refuse_, out_file_),
        regions_             ? kRegionsPage
        : !out_file_.empty() ? kDragOutPage
                             : kPage,
        CefBrowserSettings(), nullptr, nullptr, nullptr);
    window_ = CefWindow::CreateTopLevelWindow(new WindowDelegate(view));
    // Leaves when the test closes stdin.
    engine_test_app::WatchStdinLines([](const std::string&) {},
                                     [] { TheApp()->Close(); });
  }
  void Close() {
    if (window_) {
      window_->Close();
      window_ = nullptr;
    }
  }

 private:
  const bool refuse_;
  const bool regions_;
  const std::string out_file_;
  CefRefPtr<CefWindow> window_;
  IMPLEMENT_REFCOUNTING(App);
};

CefRefPtr<App>& TheApp() {
  static CefRefPtr<App> app;
  return app;
}

}  // namespace

int main(int argc, char* argv[]) {
  CefMainArgs args(argc, argv);
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromArgv(argc, argv);
  CefRefPtr<App> app = new App(command_line->HasSwitch("refuse"),
                               command_line->HasSwitch("regions"),
                               command_line->GetSwitchValue("drag-out"));
  TheApp() = app;
  const int exit_code = CefExecuteProcess(args, app, nullptr);
  if (exit_code >= 0) {
    return exit_code;
  }

  const int code = engine_test_app::RunBrowserProcess(
      args, app, command_line->GetSwitchValue("cache-root"),
      [] { TheApp() = nullptr; });
  if (code == 0) {
    Emit({{"event", "exit"}});
  }
  return code;
}
