#ifndef KORVEL_BACKEND_READINESS_H_
#define KORVEL_BACKEND_READINESS_H_

#include <chrono>
#include <cstdint>
#include <string>

// What the application URL waits use: 50 probes, 50 ms apart.
constexpr int backendProbeAttempts = 50;
constexpr int backendProbeIntervalMs = 50;

// Path of the backend's readiness endpoint.
constexpr char readyPath[] = "/ready";

// A valid answer of the readiness endpoint.
struct ReadyInfo {
  bool ready = false;
  int32_t version = 0;
  std::string versionName;
  std::string entryPath;
};

// How long WaitForBackendReady polls, and how often.
struct ReadyWaitTimings {
  std::chrono::milliseconds budget{15000};
  std::chrono::milliseconds interval{200};
};

// Probes `url` up to `attempts` times, `intervalMs` apart, and returns true
// on the first 200 answer. Blocks for the whole budget in the worst case:
// run it on a worker thread.
bool WaitForBackend(const std::string& url, int attempts, int intervalMs);

// Reads a readiness body: a JSON object with a boolean "ready" and optional
// integer "version", strings "versionName" and "entryPath" (other types read
// as absent). False when the body is not such an object.
bool ParseReadyResponse(const std::string& body, ReadyInfo& info);

// Whether a valid readiness answer is the backend the caller waits for:
// status 200, ready, and the version and name asked for (0 and an empty name
// accept any).
bool AcceptsReadyResponse(int status,
                          const ReadyInfo& info,
                          int32_t expectedVersion,
                          const std::string& expectedVersionName);

// The message of a readiness wait that ran out of time, from whether a valid
// answer was seen, the last one seen and the last failed attempt's message.
std::string ReadyTimeoutMessage(bool sawValidAnswer,
                                const ReadyInfo& lastSeen,
                                int32_t expectedVersion,
                                const std::string& lastAttemptError);

// Polls the backend's readiness endpoint until it reports ready with the
// expected version and name, the backend is gone, or the time is up. On
// success `info` holds the answer; on failure `error` says why:
// "backend exited before it became ready", "failed to query backend
// readiness", "invalid backend readiness response" or "backend ready check
// timed out" (with the expected and reported versions when they differ).
// Blocks up to 15 s: run it on a worker thread.
bool WaitForBackendReady(int32_t expectedVersion,
                         const std::string& expectedVersionName,
                         ReadyInfo& info,
                         std::string& error,
                         const ReadyWaitTimings& timings = ReadyWaitTimings());

#endif  // KORVEL_BACKEND_READINESS_H_
