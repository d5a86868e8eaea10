#ifndef KORVEL_BACKEND_HOT_RESTART_H_
#define KORVEL_BACKEND_HOT_RESTART_H_

#include <chrono>
#include <cstdint>
#include <string>

#include "backend/readiness.h"

// The backend endpoint that asks it to exit for a restart.
constexpr char prepareRestartPath[] = "/hot-update/prepare-restart";

// The bounds of each restart step.
struct RestartTimings {
  // Wait for the old backend to exit after it accepted the handshake...
  int exitWaitMs = 8000;
  // ...and again after it was sent SIGKILL.
  int killWaitMs = 5000;
  // Wait for its port to close, probing at `portPoll`.
  std::chrono::milliseconds portWait{5000};
  std::chrono::milliseconds portPoll{100};
  // Wait for the new backend's fork.
  int startWaitMs = 5000;
  ReadyWaitTimings ready;
  // Probes of the page's reload URL.
  int reloadAttempts = 80;
  int reloadIntervalMs = 50;
};

// The message of a refused handshake: the string "message" of a JSON object
// body when it is not empty, else "backend shutdown handshake failed".
std::string HandshakeRefusalMessage(const std::string& body);

// Replaces the running backend (or starts one when none runs): handshake,
// exit wait, port wait, start, readiness with the expected version and name,
// then `reloadUrl` answering 200 when it is not empty. One restart at a time;
// the old backend's exit during it does not close the application. On
// failure `message` says which step failed. Blocks for up to about 40 s: run
// it on a thread of its own.
bool RestartBackend(const std::string& reloadUrl,
                    int32_t expectedVersion,
                    const std::string& expectedVersionName,
                    std::string& message,
                    const RestartTimings& timings = RestartTimings());

#endif  // KORVEL_BACKEND_HOT_RESTART_H_
