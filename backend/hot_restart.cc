#include "backend/hot_restart.h"

#include <mutex>
#include <thread>

#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "backend/http_client.h"
#include "include/cef_parser.h"
#include "include/cef_values.h"

namespace {

// Ends a restart: the flags go back under the lock and waiters learn of it.
bool GiveUp(const std::string& text,
            bool clearExpectedExit,
            std::string& message) {
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    backendState.restartInProgress = false;
    if (clearExpectedExit) {
      backendState.expectedExit = false;
    }
  }
  backendStateChanged.notify_all();
  message = text;
  return false;
}

// True once the old backend's port is closed, within `timings.portWait`.
// Each probe is bounded too, so that the wait keeps its deadline.
bool WaitForPortClosed(const RestartTimings& timings) {
  auto deadline = std::chrono::steady_clock::now() + timings.portWait;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!IsBackendPortOpen()) {
      return true;
    }
    // Resumes after a signal for the remaining time.
    std::this_thread::sleep_for(timings.portPoll);
  }
  return !IsBackendPortOpen();
}

}  // namespace

std::string HandshakeRefusalMessage(const std::string& body) {
  const std::string fallback = "backend shutdown handshake failed";
  if (body.empty()) {
    return fallback;
  }
  CefRefPtr<CefValue> value =
      CefParseJSON(body.data(), body.size(), JSON_PARSER_RFC);
  if (!value || value->GetType() != VTYPE_DICTIONARY) {
    return fallback;
  }
  CefRefPtr<CefDictionaryValue> object = value->GetDictionary();
  if (object->GetType("message") != VTYPE_STRING) {
    return fallback;
  }
  std::string text = object->GetString("message").ToString();
  return text.empty() ? fallback : text;
}

bool RestartBackend(const std::string& reloadUrl,
                    int32_t expectedVersion,
                    const std::string& expectedVersionName,
                    std::string& message,
                    const RestartTimings& timings) {
  bool wasRunning;
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    if (backendState.restartInProgress) {
      message = "backend restart already in progress";
      return false;
    }
    wasRunning = backendState.running;
    backendState.restartInProgress = true;
    if (wasRunning) {
      backendState.expectedExit = true;
    }
  }

  if (wasRunning) {
    HttpResponse response;
    bool sent = SendHttpRequest(
        BackendBaseUrl() + prepareRestartPath, "POST",
        {{"Origin", BackendBaseUrl()}, {"Content-Type", "application/json"}},
        "{}", response);
    if (!sent) {
      return GiveUp("failed to request backend shutdown", true, message);
    }
    if (response.status != 200) {
      return GiveUp(HandshakeRefusalMessage(response.body), true, message);
    }

    if (!WaitForBackendState(false, timings.exitWaitMs)) {
      KillBackend();
      if (!WaitForBackendState(false, timings.killWaitMs)) {
        return GiveUp("backend did not exit in time", true, message);
      }
    }
    if (!WaitForPortClosed(timings)) {
      return GiveUp("backend port did not close", false, message);
    }
  }

  StartBackend();
  if (!WaitForBackendState(true, timings.startWaitMs)) {
    return GiveUp("backend failed to start", false, message);
  }
  ReadyInfo info;
  std::string readyError;
  if (!WaitForBackendReady(expectedVersion, expectedVersionName, info,
                           readyError, timings.ready)) {
    return GiveUp(readyError, false, message);
  }
  if (!reloadUrl.empty() && !WaitForBackend(reloadUrl, timings.reloadAttempts,
                                            timings.reloadIntervalMs)) {
    return GiveUp("app url did not become ready", false, message);
  }
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    backendState.restartInProgress = false;
  }
  backendStateChanged.notify_all();
  return true;
}
