#ifndef KORVEL_DEVBACKEND_SETTINGS_H_
#define KORVEL_DEVBACKEND_SETTINGS_H_

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// Everything that steers the substitute backend. Each field has one JSON key
// (used by the control endpoint and by the settings file) and one environment
// variable, KORVEL_BACKEND_ followed by the key in upper snake case, read at
// start. devbackend/README.md lists them all with their meaning.
//
//   key                   environment variable                    default
//   port                  KORVEL_BACKEND_PORT                     35580
//   listenDelayMs         KORVEL_BACKEND_LISTEN_DELAY_MS          0
//   quiet                 KORVEL_BACKEND_QUIET                    false
//   requestLog            KORVEL_BACKEND_REQUEST_LOG              ""
//   version               KORVEL_BACKEND_VERSION                  505
//   versionName           KORVEL_BACKEND_VERSION_NAME             "dev"
//   entryPath             KORVEL_BACKEND_ENTRY_PATH               "/"
//   readyAfterMs          KORVEL_BACKEND_READY_AFTER_MS           0 (<0 never)
//   readyStatus           KORVEL_BACKEND_READY_STATUS             200
//   notReadyStatus        KORVEL_BACKEND_NOT_READY_STATUS         200
//   notReadyFlag          KORVEL_BACKEND_NOT_READY_FLAG           false
//   readyBody             KORVEL_BACKEND_READY_BODY               unset
//   appStatus             KORVEL_BACKEND_APP_STATUS               200
//   appPage               KORVEL_BACKEND_APP_PAGE                 "/index.html"
//   handshakeStatus       KORVEL_BACKEND_HANDSHAKE_STATUS         200
//   handshakeBody         KORVEL_BACKEND_HANDSHAKE_BODY           unset
//   handshakeMessage      KORVEL_BACKEND_HANDSHAKE_MESSAGE        unset
//   handshakeExit         KORVEL_BACKEND_HANDSHAKE_EXIT           true
//   handshakeExitDelayMs  KORVEL_BACKEND_HANDSHAKE_EXIT_DELAY_MS  100
//   handshakeExitStatus   KORVEL_BACKEND_HANDSHAKE_EXIT_STATUS    0
//   holdPortMs            KORVEL_BACKEND_HOLD_PORT_MS             0
//   startLog              KORVEL_BACKEND_START_LOG                ""
// One-shot actions, started when read (at start, or when posted):
//   exitAfterMs, exitStatus              exit by itself
//   crashAfterMs, crashSignal            die by a signal ("segv", "abort"...)
//   reopenAfterMs, reopenMode, reopenStream, reopenText
//                                        write the reopen token
//   stdoutText, stderrText               write text, one write(2) each
// KORVEL_BACKEND_SETTINGS_FILE names a JSON object with the same keys, read
// after the environment, so that a test can change what the next backend
// started by the shell does.

// How the reopen token is placed within its single write.
enum class ReopenMode {
  kAlone,   // the token only
  kAfter,   // other text, then the token
  kBefore,  // the token, then other text
  kMiddle,  // the token between two texts (the shell must not react)
  kSplit,   // the token cut over two writes 200 ms apart (likewise)
};

struct PendingActions {
  std::optional<int> exitAfterMs;
  int exitStatus = 0;
  std::optional<int> crashAfterMs;
  std::string crashSignal = "segv";
  std::optional<int> reopenAfterMs;
  ReopenMode reopenMode = ReopenMode::kAlone;
  bool reopenToStderr = false;
  std::string reopenText = "korvel-backend: second start\n";
  std::optional<std::string> stdoutText;
  std::optional<std::string> stderrText;
};

struct Settings {
  int port = 35580;
  int listenDelayMs = 0;
  bool quiet = false;
  std::string requestLog;

  int version = 505;
  std::string versionName = "dev";
  std::string entryPath = "/";
  // Applied as a point in time when read; kept here only until then.
  std::optional<int> readyAfterMs;
  int readyStatus = 200;
  int notReadyStatus = 200;
  bool notReadyFlag = false;
  std::optional<std::string> readyBody;

  int appStatus = 200;
  // The embedded page that "/" serves.
  std::string appPage = "/index.html";

  int handshakeStatus = 200;
  std::optional<std::string> handshakeBody;
  bool handshakeExit = true;
  int handshakeExitDelayMs = 100;
  int handshakeExitStatus = 0;
  int holdPortMs = 0;
  // File that gets one JSON line once the port listens, with the time from
  // the process's start to then (benchmarks subtract it from a restart).
  std::string startLog;

  PendingActions actions;
};

// Applies every known key of `object` to `settings`. Unknown keys, values of
// the wrong type and out-of-range numbers fail with a message naming the key;
// `settings` is then left unchanged. "readyBody" and "handshakeBody" accept
// null to go back to the generated body.
bool ApplySettingsJson(const nlohmann::json& object,
                       Settings& settings,
                       std::string& error);

// Reads the KORVEL_BACKEND_* variables from `environ`, then the settings file
// if one is named. Fails on a malformed value so that a typo in a test setup
// is not silently ignored.
bool ReadSettingsFromEnvironment(Settings& settings, std::string& error);

// The persistent part of `settings` as JSON (what GET /__control/settings
// answers). Actions are not included: they have been started already.
nlohmann::json SettingsToJson(const Settings& settings);

#endif  // KORVEL_DEVBACKEND_SETTINGS_H_
