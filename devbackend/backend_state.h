#ifndef KORVEL_DEVBACKEND_BACKEND_STATE_H_
#define KORVEL_DEVBACKEND_BACKEND_STATE_H_

#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "devbackend/settings.h"

// One request as it arrived on the wire, split for convenience. Headers keep
// their order, spelling and duplicates.
struct RecordedRequest {
  std::string method;
  std::string target;
  std::string version;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::string raw;
  double atMs = 0;  // since the backend started
};

// Splits raw request bytes. Whatever follows the blank line is the body, as
// received; a request cut short keeps what arrived.
RecordedRequest ParseRawRequest(const std::string& raw);

nlohmann::json RecordedRequestToJson(const RecordedRequest& request);

// JSON text of `value`; bytes that are not UTF-8 become U+FFFD, because
// recorded requests may carry any bytes.
std::string DumpJson(const nlohmann::json& value);

// The state that the handlers share: the settings, readiness and the log of
// received requests. Every member may be called from any thread.
class BackendState {
 public:
  explicit BackendState(const Settings& settings);

  Settings GetSettings() const;

  // Applies `object` (see ApplySettingsJson) for the control endpoint, which
  // may not set "requestLog" or "startLog". A "readyAfterMs" in it counts from
  // now; the one-shot actions in it are handed back to be started and are not
  // kept.
  bool UpdateSettings(const nlohmann::json& object,
                      PendingActions& actions,
                      std::string& error);

  // Ready from `ms` milliseconds after now on; never when `ms` is negative.
  void SetReadyAfter(int ms);
  bool IsReady() const;

  double MillisSinceStart() const;

  // Keeps the last 1000 requests, and appends each as one JSON line to the
  // request log file when one is set, so that requests made just before an
  // exit can still be read afterwards.
  void Record(const std::string& raw);
  nlohmann::json RecordedRequests() const;
  void ClearRecordedRequests();

 private:
  using Clock = std::chrono::steady_clock;

  mutable std::mutex mutex_;
  const Clock::time_point start_;
  Settings settings_;
  std::optional<Clock::time_point> readyAt_;
  std::deque<RecordedRequest> requests_;
};

#endif  // KORVEL_DEVBACKEND_BACKEND_STATE_H_
