#include "backend/readiness.h"

#include <mutex>
#include <thread>

#include "backend/backend_state.h"
#include "backend/http_client.h"
#include "include/cef_parser.h"
#include "include/cef_values.h"

namespace {

// std::this_thread::sleep_for resumes after a signal for the remaining time.
void Pause(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

bool BackendAlive() {
  std::lock_guard<std::mutex> lock(backendMutex);
  return backendState.running || backendState.starting;
}

}  // namespace

bool WaitForBackend(const std::string& url, int attempts, int intervalMs) {
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    if (ProbeUrl(url)) {
      return true;
    }
    if (attempt < attempts && intervalMs > 0) {
      Pause(std::chrono::milliseconds(intervalMs));
    }
  }
  return false;
}

bool ParseReadyResponse(const std::string& body, ReadyInfo& info) {
  if (body.empty()) {
    return false;
  }
  CefRefPtr<CefValue> value =
      CefParseJSON(body.data(), body.size(), JSON_PARSER_RFC);
  if (!value || value->GetType() != VTYPE_DICTIONARY) {
    return false;
  }
  CefRefPtr<CefDictionaryValue> object = value->GetDictionary();
  if (object->GetType("ready") != VTYPE_BOOL) {
    return false;
  }
  info = ReadyInfo();
  info.ready = object->GetBool("ready");
  if (object->GetType("version") == VTYPE_INT) {
    info.version = object->GetInt("version");
  }
  if (object->GetType("versionName") == VTYPE_STRING) {
    info.versionName = object->GetString("versionName").ToString();
  }
  if (object->GetType("entryPath") == VTYPE_STRING) {
    info.entryPath = object->GetString("entryPath").ToString();
  }
  return true;
}

bool AcceptsReadyResponse(int status,
                          const ReadyInfo& info,
                          int32_t expectedVersion,
                          const std::string& expectedVersionName) {
  bool versionMatches = expectedVersion == 0 || expectedVersion == info.version;
  bool nameMatches =
      expectedVersionName.empty() || expectedVersionName == info.versionName;
  return status == 200 && info.ready && versionMatches && nameMatches;
}

std::string ReadyTimeoutMessage(bool sawValidAnswer,
                                const ReadyInfo& lastSeen,
                                int32_t expectedVersion,
                                const std::string& lastAttemptError) {
  std::string message = "backend ready check timed out";
  if (sawValidAnswer) {
    if (expectedVersion != 0 && lastSeen.version != 0 &&
        lastSeen.version != expectedVersion) {
      message += " (expected version " + std::to_string(expectedVersion) +
                 ", got " + std::to_string(lastSeen.version) + ")";
    }
    return message;
  }
  return lastAttemptError.empty() ? message : lastAttemptError;
}

bool WaitForBackendReady(int32_t expectedVersion,
                         const std::string& expectedVersionName,
                         ReadyInfo& info,
                         std::string& error,
                         const ReadyWaitTimings& timings) {
  auto deadline = std::chrono::steady_clock::now() + timings.budget;
  ReadyInfo lastSeen;
  bool sawValidAnswer = false;
  error.clear();
  const std::string url = BackendBaseUrl() + readyPath;
  const HttpHeaderList headers = {{"Origin", BackendBaseUrl()}};

  while (std::chrono::steady_clock::now() < deadline) {
    // A starting backend is waited for; a vanished one ends the wait early.
    if (!BackendAlive()) {
      error = "backend exited before it became ready";
      return false;
    }
    HttpResponse response;
    if (!SendHttpRequest(url, "GET", headers, std::string(), response)) {
      error = "failed to query backend readiness";
    } else {
      ReadyInfo seen;
      if (!ParseReadyResponse(response.body, seen)) {
        error = "invalid backend readiness response";
      } else {
        lastSeen = seen;
        sawValidAnswer = true;
        if (AcceptsReadyResponse(response.status, seen, expectedVersion,
                                 expectedVersionName)) {
          info = seen;
          return true;
        }
      }
    }
    Pause(timings.interval);
  }
  error = ReadyTimeoutMessage(sawValidAnswer, lastSeen, expectedVersion, error);
  return false;
}
