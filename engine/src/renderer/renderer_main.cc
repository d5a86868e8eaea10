#include "renderer/renderer_main.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <memory>
#include <string>

#include "base/command_line_global.h"
#include "common/logging.h"
#include "common/qt_task_queue.h"
#include "common/switches.h"
#include "common/thread_registry.h"
#include "include/base/cef_logging.h"
#include "renderer/extension_registry.h"
#include "renderer/renderer_bridge.h"
#include "renderer/renderer_channel.h"

namespace cefengine {

namespace {

int g_signal_pipe[2] = {-1, -1};

void OnTerminateSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here; the main loop does the rest.
  if (write(g_signal_pipe[1], &byte, 1) < 0) {
  }
}

int SwitchAsInt(CefRefPtr<CefCommandLine> command_line, const char* name) {
  const std::string value = command_line->GetSwitchValue(name).ToString();
  if (value.empty())
    return -1;
  char* end = nullptr;
  const long number = strtol(value.c_str(), &end, 10);
  return (*end == '\0' && number >= 0 && number <= 0x7fffffff)
             ? static_cast<int>(number)
             : -1;
}

}  // namespace

int RunRendererProcess(const CefMainArgs& args, CefRefPtr<CefApp> application) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromArgv(args.argc, args.argv);
  const int channel_fd = SwitchAsInt(command_line, switches::kRendererChannel);
  const int browser_pid = SwitchAsInt(command_line, switches::kBrowserPid);

  // Die with the browser process even if something keeps the channel open;
  // the check closes the window in which the parent died before prctl.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (browser_pid > 0 && getppid() != browser_pid)
    return 0;

  if (application) {
    application->OnBeforeCommandLineProcessing(switches::kRendererProcess,
                                               command_line);
  }
  cef_base::SetGlobalCommandLine(command_line);
  InitLogging(command_line);
  if (channel_fd < 0 || fcntl(channel_fd, F_GETFD) < 0) {
    LOG(ERROR) << "Renderer process started without a channel";
    ShutdownLogging();
    return 1;
  }

  if (pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    PLOG(ERROR) << "pipe2";
    ShutdownLogging();
    return 1;
  }
  struct sigaction action = {};
  action.sa_handler = OnTerminateSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  int argc = args.argc;
  int exit_code = 0;
  {
    QCoreApplication app(argc, args.argv);
    auto queue = std::make_shared<QtTaskQueue>();
    RegisterThread(TID_RENDERER, queue);

    QSocketNotifier terminate(g_signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(&terminate, &QSocketNotifier::activated,
                     [] { QCoreApplication::exit(0); });
    {
      RendererChannel channel(channel_fd, [] { QCoreApplication::exit(0); });
      // Answers the browser's liveness checks with the message unchanged.
      channel.SetHandler(MessageType::kEcho, [](const ChannelMessage& message) {
        RendererChannel::Get()->Send(message);
      });

      CefRefPtr<CefRenderProcessHandler> handler =
          application ? application->GetRenderProcessHandler() : nullptr;
      InstallRendererBridge(&channel, handler);
      if (handler)
        handler->OnWebKitInitialized();

      // The browser injects the extensions into documents from now on.
      ChannelMessage ready;
      ready.type = MessageType::kRendererReady;
      ready.args = SealExtensions();
      channel.Send(ready);

      exit_code = app.exec();
    }
    UnregisterThread(TID_RENDERER);
    queue->StopAccepting();
  }
  // The browser's death sends SIGTERM (parent-death signal) at about the
  // same time as it closes the channel; a late one must not turn this
  // orderly end into a kill.
  signal(SIGTERM, SIG_IGN);
  signal(SIGINT, SIG_IGN);
  close(g_signal_pipe[0]);
  close(g_signal_pipe[1]);
  ShutdownLogging();
  return exit_code;
}

}  // namespace cefengine
