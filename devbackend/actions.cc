#include "devbackend/actions.h"

#include <unistd.h>

#include <functional>

#include "devbackend/lifecycle.h"
#include "devbackend/output.h"
#include "devbackend/recording_server.h"
#include "devbackend/signals.h"

namespace {

void Schedule(int delayMs, bool inRequest, std::function<void()> task) {
  if (!inRequest) {
    RunAfter(delayMs, std::move(task));
    return;
  }
  RecordingServer::AfterResponse(
      [delayMs, task = std::move(task)] { RunAfter(delayMs, task); });
}

}  // namespace

void StartActions(const PendingActions& actions,
                  BackendState& state,
                  bool inRequest) {
  if (actions.stdoutText)
    WriteText(STDOUT_FILENO, *actions.stdoutText);
  if (actions.stderrText)
    WriteText(STDERR_FILENO, *actions.stderrText);

  if (actions.reopenAfterMs) {
    const ReopenMode mode = actions.reopenMode;
    const bool toStderr = actions.reopenToStderr;
    const std::string text = actions.reopenText;
    if (*actions.reopenAfterMs == 0) {
      WriteReopenToken(mode, toStderr, text);
    } else {
      RunAfter(*actions.reopenAfterMs, [mode, toStderr, text] {
        WriteReopenToken(mode, toStderr, text);
      });
    }
  }

  // The port hold is read when the process ends, so a later change counts.
  if (actions.crashAfterMs) {
    const int signal = SignalFromName(actions.crashSignal);
    Schedule(*actions.crashAfterMs, inRequest, [signal, &state] {
      CrashBackend(signal, state.GetSettings().holdPortMs);
    });
  } else if (actions.exitAfterMs) {
    const int status = actions.exitStatus;
    Schedule(*actions.exitAfterMs, inRequest, [status, &state] {
      ExitBackend(status, state.GetSettings().holdPortMs);
    });
  }
}
