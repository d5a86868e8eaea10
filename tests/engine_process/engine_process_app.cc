// An engine application for the process-model tests. The first argument
// names a scenario; the app reports what happens as one JSON object per line
// on stdout and takes commands ("quit") as lines on stdin. The renderer
// role (started by the engine with the same executable) logs a record.

#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QtGlobal>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "browser/process/context.h"
#include "include/base/cef_logging.h"
#include "include/cef_app.h"
#include "include/cef_task.h"
#include "include/wrapper/cef_helpers.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/stdin_lines.h"
#include "tests/support/engine_app/tasks.h"

using json = nlohmann::json;

namespace {

using Clock = std::chrono::steady_clock;

std::string g_scenario;
std::string g_extra_js_flags;
std::string g_extra_port;
Clock::time_point g_start;

int64_t ElapsedMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                               g_start)
      .count();
}

json ThreadFlags() {
  return json{{"on_ui", CefCurrentlyOn(TID_UI)},
              {"on_io", CefCurrentlyOn(TID_IO)}};
}

using engine_test_app::Emit;
using engine_test_app::Task;

// Records the order and timing of posted tasks.
void PostRecorded(CefThreadId thread,
                  const std::string& thread_name,
                  const std::string& name,
                  int64_t delay_ms,
                  std::shared_ptr<std::atomic<int>> pending) {
  const int64_t posted = ElapsedMs();
  auto task = Task([=] {
    json event = {{"event", "task"},       {"thread", thread_name},
                  {"name", name},          {"delay_ms", delay_ms},
                  {"posted_ms", posted},   {"ran_ms", ElapsedMs()},
                  {"flags", ThreadFlags()}};
    Emit(event);
    if (--*pending == 0)
      CefPostTask(TID_UI, Task([] { CefQuitMessageLoop(); }));
  });
  const bool ok = delay_ms ? CefPostDelayedTask(thread, task, delay_ms)
                           : CefPostTask(thread, task);
  if (!ok)
    Emit({{"event", "post_failed"}, {"name", name}});
}

void RunTaskScenario() {
  auto pending = std::make_shared<std::atomic<int>>(12);
  for (auto [thread, name] : {std::make_pair(TID_UI, std::string("ui")),
                              std::make_pair(TID_IO, std::string("io"))}) {
    PostRecorded(thread, name, name + "-delay-80", 80, pending);
    PostRecorded(thread, name, name + "-delay-30a", 30, pending);
    PostRecorded(thread, name, name + "-a", 0, pending);
    PostRecorded(thread, name, name + "-b", 0, pending);
    PostRecorded(thread, name, name + "-delay-30b", 30, pending);
    PostRecorded(thread, name, name + "-c", 0, pending);
  }
}

// Loads a blank page in the engine's profile and asks it whether gc() is
// exposed, which only --js-flags=--expose_gc does.
void CheckJsFlags() {
  auto* page = new QWebEnginePage(cefengine::GetProfile());
  QObject::connect(page, &QWebEnginePage::loadFinished, [page](bool ok) {
    page->runJavaScript("typeof gc", [page, ok](const QVariant& result) {
      Emit({{"event", "js"},
            {"load_ok", ok},
            {"typeof_gc", result.toString().toStdString()}});
      page->deleteLater();
    });
  });
  page->setHtml("<html><body>engine</body></html>");
}

class BrowserApp : public CefApp, public CefBrowserProcessHandler {
 public:
  // CefApp methods:
  void OnBeforeCommandLineProcessing(
      const CefString& process_type,
      CefRefPtr<CefCommandLine> command_line) override {
    Emit({{"event", "before_command_line"},
          {"log_file", command_line->GetSwitchValue("log-file").ToString()},
          {"remote_debugging_port",
           command_line->GetSwitchValue("remote-debugging-port").ToString()},
          {"no_sandbox", command_line->HasSwitch("no-sandbox")}});
    if (!g_extra_js_flags.empty())
      command_line->AppendSwitchWithValue("js-flags", g_extra_js_flags);
    if (!g_extra_port.empty())
      command_line->AppendSwitchWithValue("remote-debugging-port",
                                          g_extra_port);
  }
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }

  // CefBrowserProcessHandler methods:
  void OnContextInitialized() override {
    CEF_REQUIRE_UI_THREAD();
    Display* display = reinterpret_cast<Display*>(cef_get_xdisplay());
    Emit({{"event", "context_initialized"},
          {"initialized", cefengine::IsInitialized()},
          {"xdisplay", display ? DisplayString(display) : ""},
          {"profile_path",
           cefengine::GetProfile()->persistentStoragePath().toStdString()},
          {"flags", ThreadFlags()}});
    engine_test_app::WatchStdinLines(
        [](const std::string& line) {
          if (line == "quit")
            CefQuitMessageLoop();
        },
        [] {});
    if (g_scenario == "tasks") {
      RunTaskScenario();
    } else if (g_scenario == "require_ui_on_io") {
      CefPostTask(TID_IO, Task([] {
                    Emit({{"event", "asserting"}});
                    CEF_REQUIRE_UI_THREAD();
                    Emit({{"event", "assertion_passed"}});
                  }));
    } else if (g_scenario == "js") {
      CheckJsFlags();
    } else if (g_scenario == "logging") {
      LOG(INFO) << "info-marker";
      LOG(WARNING) << "warning-marker";
      LOG(ERROR) << "error-marker";
      VLOG(1) << "verbose-marker";
      cef_log("direct.cc", 7, cef::logging::LOG_INFO, "direct-info-marker");
      qInfo("qt-info-marker");
      qWarning("qt-warning-marker");
      Emit({{"event", "logged"},
            {"min_level", cef_get_min_log_level()},
            {"tid", static_cast<long>(syscall(SYS_gettid))}});
      CefQuitMessageLoop();
    } else if (g_scenario == "quit") {
      CefQuitMessageLoop();
    }
  }
  // Handled, so that the engine opens no window of its own for it.
  bool OnAlreadyRunningAppRelaunch(
      CefRefPtr<CefCommandLine> command_line,
      const CefString& current_directory) override {
    Emit({{"event", "relaunch"}, {"flags", ThreadFlags()}});
    return true;
  }

 private:
  IMPLEMENT_REFCOUNTING(BrowserApp);
};

class RendererApp : public CefApp, public CefRenderProcessHandler {
 public:
  // CefApp methods:
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override {
    return this;
  }

  // CefRenderProcessHandler methods:
  void OnWebKitInitialized() override { LOG(WARNING) << "renderer-marker"; }

 private:
  IMPLEMENT_REFCOUNTING(RendererApp);
};

}  // namespace

int main(int argc, char** argv) {
  g_start = Clock::now();
  CefMainArgs args(argc, argv);
  std::string type;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]).rfind("--type=", 0) == 0)
      type = argv[i] + 7;
  }
  if (type == "renderer")
    return CefExecuteProcess(args, new RendererApp(), nullptr);

  CefRefPtr<BrowserApp> app = new BrowserApp();
  const int code = CefExecuteProcess(args, app, nullptr);
  if (code >= 0)
    return code;
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(argc, argv);
  auto Option = [&](const char* name) {
    return line->GetSwitchValue(name).ToString();
  };
  g_scenario = argc > 1 ? argv[1] : "";
  g_extra_js_flags = Option("app-js-flags");
  g_extra_port = Option("app-debug-port");

  CefSettings settings;
  settings.no_sandbox = true;
  CefString(&settings.root_cache_path) = Option("root");
  CefString(&settings.cache_path) = Option("cache");
  CefString(&settings.log_file) = Option("log");

  const bool ok = CefInitialize(args, settings, app, nullptr);
  Emit({{"event", "initialized"}, {"ok", ok}});
  if (!ok) {
    // Forbidden after a refusal; the engine must refuse and say so.
    if (g_scenario == "post-after-refusal")
      Emit({{"event", "posted"}, {"ok", CefPostTask(TID_UI, Task([] {}))}});
    return 1;
  }
  app = nullptr;
  // Posted before the loop runs: must run once it does.
  CefPostTask(TID_UI, Task([] {
                Emit({{"event", "pre_loop_task"}, {"flags", ThreadFlags()}});
              }));
  CefRunMessageLoop();
  Emit({{"event", "loop_returned"}});
  CefShutdown();
  Emit({{"event", "shutdown"},
        {"post_ui_after", CefPostTask(TID_UI, Task([] {}))},
        {"post_io_after", CefPostTask(TID_IO, Task([] {}))},
        {"initialized_after", cefengine::IsInitialized()},
        {"xdisplay_after", cef_get_xdisplay() != nullptr}});
  return 0;
}
