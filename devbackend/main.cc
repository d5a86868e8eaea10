// korvel-backend: a substitute for the application's backend server, for
// development and tests. It serves the application page and the endpoints
// the shell relies on, on 127.0.0.1:35580, and can be steered by environment
// variables (see settings.h and README.md) and by the control endpoints below
// "/__control/" to misbehave in every way the shell must survive.
//
// Exit status: 0 after a restart handshake, a signal or a requested exit
// (unless another status was asked for), 2 for malformed settings, 3 when
// the port cannot be bound, 1 when accepting connections fails.

#include <unistd.h>

#include <time.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "devbackend/actions.h"
#include "devbackend/backend_state.h"
#include "devbackend/lifecycle.h"
#include "devbackend/output.h"
#include "devbackend/page_driver.h"
#include "devbackend/recording_server.h"
#include "devbackend/routes.h"
#include "devbackend/settings.h"

namespace {

double MonotonicMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Taken before any static object of the program is built: as close to the
// exec as the process itself can see (the kernel's exec and the dynamic
// loader come before it; bench/run measures that part separately).
double g_startedAtMs = 0;
__attribute__((constructor(101))) void NoteStart() {
  g_startedAtMs = MonotonicMs();
}

// One JSON line for whoever measures the backend's start (see startLog).
void ReportListening(const std::string& file) {
  const double listeningAtMs = MonotonicMs();
  std::ofstream(file, std::ios::app)
      << nlohmann::json{{"pid", getpid()},
                        {"startedAtMs", g_startedAtMs},
                        {"listeningAtMs", listeningAtMs},
                        {"startToListeningMs", listeningAtMs - g_startedAtMs}}
             .dump()
      << "\n";
}

}  // namespace

int main() {
  Settings settings;
  std::string error;
  if (!ReadSettingsFromEnvironment(settings, error)) {
    LogLine(error);
    return 2;
  }
  SetQuiet(settings.quiet);

  // Lives until the process ends: detached threads keep using it.
  static BackendState state(settings);
  StartSignalWatcher([](int signal) {
    LogLine("signal " + std::to_string(signal) + " received");
    ExitBackend(0, state.GetSettings().holdPortMs);
  });
  StartActions(settings.actions, state, /*inRequest=*/false);

  if (settings.listenDelayMs > 0) {
    std::this_thread::sleep_for(
        std::chrono::milliseconds(settings.listenDelayMs));
  }

  static RecordingServer server(state);
  InstallControlRoutes(server, state);
  InstallPageDriverRoutes(server);
  InstallAppRoutes(server, state);
  if (!server.Bind(settings.port)) {
    LogLine("cannot listen on 127.0.0.1:" + std::to_string(settings.port) +
            ": the port is taken");
    ExitBackend(3, 0);
  }
  SetListeningSocket(server.ListeningSocket());
  if (!settings.startLog.empty()) {
    ReportListening(settings.startLog);
  }
  LogLine("listening on 127.0.0.1:" + std::to_string(settings.port) + " (pid " +
          std::to_string(getpid()) + ")");
  server.listen_after_bind();
  LogLine("accepting connections failed");
  ExitBackend(1, 0);
}
