#include "browser/process/context.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QWebEngineProfile>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/command_line_global.h"
#include "browser/bridge/script_bridge.h"
#include "browser/browser/browser_registry.h"
#include "browser/prefs/prefs_service.h"
#include "browser/process/process_singleton.h"
#include "browser/process/profile.h"
#include "browser/process/renderer_host.h"
#include "browser/process/settings_switches.h"
#include "browser/views/window_impl.h"
#include "common/logging.h"
#include "common/qt_task_queue.h"
#include "common/switches.h"
#include "common/tasks.h"
#include "common/thread_registry.h"
#include "include/base/cef_logging.h"
#include "include/cef_browser.h"

namespace cefengine {

namespace {

// Exit codes CefGetExitCode reports (CEF's result code values).
constexpr int kResultNormalExit = 0;
constexpr int kResultProfileInUse = 21;
constexpr int kResultProcessNotified = 24;

// How long a second launch waits for the running instance to answer.
constexpr int kRelaunchTimeoutMs = 10000;
// How long CefShutdown waits for the renderer role to exit by itself.
constexpr int kRendererExitTimeoutMs = 3000;

// Switches the renderer-role process inherits from the browser's command
// line, so both processes log alike.
const char* const kRendererSwitches[] = {
    switches::kLogFile,
    switches::kLogSeverity,
    switches::kVerboseLevel,
    "vmodule",
    "lang",
    switches::kNoSandbox,
};

struct Context {
  CefRefPtr<CefApp> app;
  CefSettings settings;
  CefRefPtr<CefCommandLine> command_line;
  // Qt keeps pointers into argc/argv for the life of the application.
  std::vector<std::string> qt_arg_storage;
  std::vector<char*> qt_argv;
  int qt_argc = 0;
  std::unique_ptr<QApplication> owned_app;
  QWebEngineProfile* profile = nullptr;
  std::shared_ptr<QtTaskQueue> ui_queue;
  std::shared_ptr<ThreadTaskQueue> io_queue;
  std::unique_ptr<ProcessSingleton> singleton;
  std::unique_ptr<RendererHost> renderer;
  bool loop_running = false;
  bool quit_requested = false;
};

// Read by any thread, written on the UI thread in CefInitialize/CefShutdown.
std::atomic<Context*> g_context{nullptr};
std::atomic<bool> g_initialized{false};
int g_exit_code = kResultNormalExit;

const CefSettings& EmptySettings() {
  static const CefSettings* settings = new CefSettings();
  return *settings;
}

std::string CurrentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

std::vector<std::string> GetArgvStrings(CefRefPtr<CefCommandLine> line) {
  std::vector<CefString> argv;
  line->GetArgv(argv);
  std::vector<std::string> result;
  for (const CefString& arg : argv)
    result.push_back(arg.ToString());
  return result;
}

void DeliverRelaunch(std::vector<std::string> argv,
                     std::string cwd,
                     std::function<void()> done) {
  CefRefPtr<CefBrowserProcessHandler> handler = GetBrowserProcessHandler();
  bool handled = false;
  if (handler) {
    std::vector<const char*> args;
    for (const std::string& arg : argv)
      args.push_back(arg.c_str());
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->InitFromArgv(static_cast<int>(args.size()), args.data());
    handled = handler->OnAlreadyRunningAppRelaunch(line, cwd);
  }
  if (!handled) {
    // As the production engine does: an unhandled relaunch gets a new
    // default-styled browser window, served by the application's default
    // client.
    LOG(INFO) << "Relaunch from " << cwd << " opens a default window";
    CefBrowserHost::CreateBrowserSync(
        CefWindowInfo(), handler ? handler->GetDefaultClient() : nullptr,
        "about:blank", CefBrowserSettings(), nullptr, nullptr);
  }
  done();
}

bool StartRenderer(Context* context) {
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->SetProgram(context->command_line->GetProgram());
  line->AppendSwitchWithValue(switches::kProcessType,
                              switches::kRendererProcess);
  for (const char* name : kRendererSwitches) {
    if (!context->command_line->HasSwitch(name))
      continue;
    const CefString value = context->command_line->GetSwitchValue(name);
    if (value.empty())
      line->AppendSwitch(name);
    else
      line->AppendSwitchWithValue(name, value);
  }
  CefRefPtr<CefBrowserProcessHandler> handler =
      context->app ? context->app->GetBrowserProcessHandler() : nullptr;
  if (handler)
    handler->OnBeforeChildProcessLaunch(line);
  context->renderer = std::make_unique<RendererHost>();
  if (!context->renderer->Start(GetArgvStrings(line))) {
    context->renderer.reset();
    return false;
  }
  return true;
}

// A free TCP port on the loopback interface, or 0.
int PickLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return 0;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

// Chromium opens its DevTools endpoint for any remote-debugging-port from
// 0 to 65535, 0 meaning a port of the system's choice; Qt's own reading of
// the switch ignores 0, so the engine chooses the port instead.
void ResolveDebuggingPort(std::vector<std::string>& args) {
  const std::string zero = std::string(switches::kRemoteDebuggingPort) + "=0";
  for (std::string& arg : args) {
    const size_t dashes = arg.find_first_not_of('-');
    if (dashes >= 1 && dashes <= 2 &&
        arg.compare(dashes, zero.size(), zero) == 0 &&
        arg.size() == dashes + zero.size()) {
      arg = "--" + std::string(switches::kRemoteDebuggingPort) + "=" +
            std::to_string(PickLoopbackPort());
    }
  }
}

void CreateQtApplication(Context* context) {
  // Qt hands Chromium what follows "--webEngineArgs", so Chromium sees the
  // command line the application configured.
  context->qt_arg_storage = GetArgvStrings(context->command_line);
  ResolveDebuggingPort(context->qt_arg_storage);
  context->qt_arg_storage.insert(context->qt_arg_storage.begin() + 1,
                                 "--webEngineArgs");
  // The engine draws and reads X11 windows (cef_get_xdisplay, WM_CLASS);
  // an explicit QT_QPA_PLATFORM still wins.
  if (!getenv("QT_QPA_PLATFORM")) {
    context->qt_arg_storage.insert(context->qt_arg_storage.begin() + 1,
                                   {"-platform", "xcb"});
  }
  for (std::string& arg : context->qt_arg_storage)
    context->qt_argv.push_back(&arg[0]);
  context->qt_argv.push_back(nullptr);
  context->qt_argc = static_cast<int>(context->qt_arg_storage.size());

  // Chromium also sees --no-sandbox among the switches; Qt itself only
  // looks at its variable. This is the engine's only change to the
  // environment: other threads (the embedder's) may already run and read it.
  if (context->command_line->HasSwitch(switches::kNoSandbox))
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (!QCoreApplication::instance()) {
    context->owned_app = std::make_unique<QApplication>(
        context->qt_argc, context->qt_argv.data());
  }
  // Only CefQuitMessageLoop ends the loop, never closing a window.
  QApplication::setQuitOnLastWindowClosed(false);
}

// Stops what CefInitialize started, in reverse order.
void TearDown(Context* context) {
  if (context->singleton)
    context->singleton->StopListening();
  if (context->renderer)
    context->renderer->Stop(kRendererExitTimeoutMs);
  context->renderer.reset();
  if (context->io_queue) {
    UnregisterThread(TID_IO);
    context->io_queue->Stop();
  }
  if (context->ui_queue) {
    UnregisterThread(TID_UI);
    context->ui_queue->StopAccepting();
  }
  delete context->profile;
  context->profile = nullptr;
  context->ui_queue.reset();
  context->owned_app.reset();
  // The profile's files are closed now; a successor may take the directory.
  context->singleton.reset();
}

}  // namespace

bool IsInitialized() {
  return g_initialized;
}

CefRefPtr<CefApp> GetApp() {
  Context* context = g_context;
  return context ? context->app : nullptr;
}

CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() {
  CefRefPtr<CefApp> app = GetApp();
  return app ? app->GetBrowserProcessHandler() : nullptr;
}

const CefSettings& GetSettings() {
  Context* context = g_context;
  return context ? context->settings : EmptySettings();
}

CefRefPtr<CefCommandLine> GetCommandLine() {
  Context* context = g_context;
  return context ? context->command_line : nullptr;
}

QWebEngineProfile* GetProfile() {
  Context* context = g_context;
  return context ? context->profile : nullptr;
}

std::string GetWindowName() {
  CefRefPtr<CefCommandLine> line = GetCommandLine();
  if (!line)
    return std::string();
  if (line->HasSwitch(switches::kWindowClass))
    return line->GetSwitchValue(switches::kWindowClass).ToString();
  std::string program = line->GetProgram().ToString();
  const size_t slash = program.rfind('/');
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

std::string GetWindowClass() {
  CefRefPtr<CefCommandLine> line = GetCommandLine();
  std::string name = GetWindowName();
  if (line && !line->HasSwitch(switches::kWindowClass) && !name.empty() &&
      name[0] >= 'a' && name[0] <= 'z') {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
  }
  return name;
}

RendererHost* GetRendererHost() {
  Context* context = g_context;
  return context ? context->renderer.get() : nullptr;
}

}  // namespace cefengine

using cefengine::Context;
using cefengine::g_context;

bool CefInitialize(const CefMainArgs& args,
                   const CefSettings& given_settings,
                   CefRefPtr<CefApp> application,
                   void* windows_sandbox_info) {
  if (g_context) {
    LOG(ERROR) << "CefInitialize called twice";
    return false;
  }
  auto context = std::make_unique<Context>();
  context->app = application;
  CefSettings settings = given_settings;

  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  if (settings.command_line_args_disabled) {
    if (args.argc > 0)
      line->SetProgram(args.argv[0]);
  } else {
    line->InitFromArgv(args.argc, args.argv);
  }
  cefengine::ApplySettingsSwitches(settings, line);
  if (application)
    application->OnBeforeCommandLineProcessing(CefString(), line);
  context->command_line = line;
  cef_base::SetGlobalCommandLine(line);
  cefengine::DropRelativeCachePaths(settings);
  const std::string root = cefengine::ResolveRootCachePath(settings);
  cefengine::CreateCachePath(settings, root);
  cefengine::InitLogging(line);
  context->settings = settings;

  context->singleton = std::make_unique<cefengine::ProcessSingleton>(root);
  const auto owner = context->singleton->Acquire(
      cefengine::GetArgvStrings(line), cefengine::CurrentDirectory(),
      cefengine::kRelaunchTimeoutMs);
  if (owner != cefengine::ProcessSingleton::Result::kPrimary) {
    cefengine::g_exit_code =
        owner == cefengine::ProcessSingleton::Result::kNotified
            ? cefengine::kResultProcessNotified
            : cefengine::kResultProfileInUse;
    LOG(INFO) << "Another browser process owns " << root;
    cefengine::RefusePublicTasks();
    // The log stays open for whatever the application does before exiting.
    cefengine::TearDown(context.get());
    return false;
  }

  cefengine::CreateQtApplication(context.get());
  context->ui_queue = std::make_shared<cefengine::QtTaskQueue>();
  cefengine::RegisterThread(TID_UI, context->ui_queue);
  context->io_queue = std::make_shared<cefengine::ThreadTaskQueue>();
  context->io_queue->Start();
  cefengine::RegisterThread(TID_IO, context->io_queue);
  // The renderer-role process starts before the web engine, whose start-up
  // it then overlaps instead of following: pages wait for its extensions.
  if (!cefengine::StartRenderer(context.get()))
    LOG(ERROR) << "Continuing without a renderer process";
  context->profile = cefengine::CreateProfile(
      settings, cefengine::ResolveProfilePath(settings, root));

  Context* published = context.release();
  g_context = published;
  published->singleton->StartListening([](std::vector<std::string> argv,
                                          std::string cwd,
                                          std::function<void()> done) {
    cefengine::PostTask(TID_UI, [argv = std::move(argv), cwd = std::move(cwd),
                                 done = std::move(done)]() mutable {
      cefengine::DeliverRelaunch(std::move(argv), std::move(cwd),
                                 std::move(done));
    });
  });
  // After publishing: it calls the application's handler.
  cefengine::StartPreferenceService(settings);

  cefengine::g_initialized = true;
  cefengine::g_exit_code = cefengine::kResultNormalExit;
  // Pages may load once the renderer's script extensions are in place.
  cefengine::StartScriptBridge(
      published->renderer.get(), published->profile, [] {
        if (CefRefPtr<CefBrowserProcessHandler> handler =
                cefengine::GetBrowserProcessHandler()) {
          handler->OnContextInitialized();
        }
      });
  return true;
}

int CefGetExitCode() {
  return cefengine::g_exit_code;
}

void CefRunMessageLoop() {
  Context* context = g_context;
  if (!context || !cefengine::g_initialized)
    return;
  if (context->quit_requested) {
    context->quit_requested = false;
    return;
  }
  context->loop_running = true;
  QCoreApplication::exec();
  context->loop_running = false;
}

void CefQuitMessageLoop() {
  Context* context = g_context;
  if (!context)
    return;
  if (!CefCurrentlyOn(TID_UI)) {
    cefengine::PostTask(TID_UI, [] { CefQuitMessageLoop(); });
    return;
  }
  if (context->loop_running) {
    // exit(), unlike quit(), does not first try to close every window.
    QCoreApplication::exit(0);
  } else {
    context->quit_requested = true;
  }
}

void CefDoMessageLoopWork() {
  Context* context = g_context;
  if (!context || !cefengine::g_initialized)
    return;
  QCoreApplication::processEvents();
  context->ui_queue->RunPending();
}

void CefShutdown() {
  Context* context = g_context;
  if (!context)
    return;
  cefengine::g_initialized = false;
  // Whatever the application left open goes now: pages must not outlive the
  // profile, and windows must not outlive their pages.
  cefengine::DestroyAllBrowsers();
  cefengine::CefWindowImpl::DestroyAll();
  // Windows and pages closed in the last loop iteration may still wait for
  // their deferred deletion; they must go before the profile does.
  for (int i = 0; i < 3; ++i)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  cefengine::TearDown(context);
  g_context = nullptr;
  delete context;
  cefengine::ShutdownLogging();
}
