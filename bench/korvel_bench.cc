// The benchmark behind bench/run: the korvel executable as users start it
// (from a folder holding it, the substitute backend and the splash picture)
// against bare_engine, on the X server of tests/support/with-x, in a private
// home and network namespace. Every comparison is made in this one run, the
// two programs taking turns (A B A B ...).
//
// Usage: korvel_bench --app-dir DIR --bare PATH --bridge-bench PATH
//                     --results DIR [--quick]
// Writes DIR/results.jsonl (every sample), DIR/summary.txt (the table, also
// printed) and DIR/latency.svg.

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "backend/http_client.h"
#include "bench/proc_tree.h"
#include "bench/report.h"
#include "bench/x_watch.h"

namespace bench {
namespace {

using nlohmann::json;

// The colour of devbackend/pages/bench/app.html.
constexpr uint32_t kPageColour = 0x1f8f5f;
constexpr char kAppPage[] = "/bench/app.html";
// How long the shell is left alone after a growth step before its cost is
// read.
constexpr int kGrowthSettleMs = 3000;
// The address the shell loads its application from (kAppUrl), so the bare
// engine resolves and connects exactly as the shell's engine does.
constexpr char kAppUrl[] = "http://localhost:35580";
constexpr char kShellClass[] = "KorVel";
constexpr char kBareClass[] = "KorvelBare";

struct Options {
  std::string appDir;
  std::string bare;
  std::string bridgeBench;
  std::string results;
  bool quick = false;
  // Derived from quick.
  int pairs = 10;
  int bridgeCalls = 2000;
  int bridgeRounds = 3;
  int growthQueries = 10000;
  int growthSyncSeconds = 60;
  int growthRestarts = 50;
  int growthReloads = 20;
};

void Say(const std::string& text) {
  static const double start = NowMs();
  std::fprintf(stderr, "korvel_bench: [%4.0f s] %s\n", (NowMs() - start) / 1000,
               text.c_str());
}

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// A program in a process group of its own, its output in a log file.
class Proc {
 public:
  Proc(const std::vector<std::string>& argv,
       const std::string& cwd,
       const std::string& log,
       const std::map<std::string, std::string>& env) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    startedAtMs_ = NowMs();
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      for (const auto& [name, value] : env) {
        setenv(name.c_str(), value.c_str(), 1);
      }
      const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      const int in = open("/dev/null", O_RDONLY);
      if (out >= 0 && in >= 0) {
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
      }
      if (!cwd.empty() && chdir(cwd.c_str()) != 0) {
        _exit(126);
      }
      execv(args[0], args.data());
      _exit(127);
    }
    if (pid_ > 0) {
      setpgid(pid_, pid_);
    }
  }
  ~Proc() { Kill(); }
  Proc(const Proc&) = delete;
  Proc& operator=(const Proc&) = delete;

  pid_t pid() const { return pid_; }
  double startedAtMs() const { return startedAtMs_; }

  bool Running() {
    if (reaped_ || pid_ <= 0) {
      return false;
    }
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      reaped_ = true;
      return false;
    }
    return true;
  }
  // Waits for the program itself to end; false when it still runs.
  bool WaitExit(int ms) {
    const double deadline = NowMs() + ms;
    while (Running()) {
      if (NowMs() > deadline) {
        return false;
      }
      SleepMs(10);
    }
    return true;
  }
  // Ends the whole group and waits until none of it is left.
  void Kill() {
    if (pid_ <= 0) {
      return;
    }
    kill(-pid_, SIGKILL);
    WaitExit(10000);
    const double deadline = NowMs() + 10000;
    while (kill(-pid_, 0) == 0 && NowMs() < deadline) {
      SleepMs(10);
    }
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  double startedAtMs_ = 0;
};

// The shell's log in the (private) home it runs in.
std::string DataLog() {
  const passwd* user = getpwuid(getuid());
  return std::string(user ? user->pw_dir : "") + "/.korvel/korvel.log";
}

bool PortOpen() {
  return IsBackendPortOpen();
}

bool WaitPort(bool open, int ms) {
  const double deadline = NowMs() + ms;
  while (PortOpen() != open) {
    if (NowMs() > deadline) {
      return false;
    }
    SleepMs(5);
  }
  return true;
}

class Bench {
 public:
  explicit Bench(const Options& options)
      : o_(options), results_(options.results + "/results.jsonl") {
    startLog_ = o_.results + "/backend-starts.jsonl";
    std::remove(startLog_.c_str());
  }

  int Run();

 private:
  std::map<std::string, std::string> BackendEnv(int listenDelayMs) const {
    return {{"KORVEL_BACKEND_APP_PAGE", kAppPage},
            {"KORVEL_BACKEND_QUIET", "true"},
            {"KORVEL_BACKEND_LISTEN_DELAY_MS", std::to_string(listenDelayMs)},
            // The old backend exits as soon as it has answered, so that a
            // restart's time is the shell's and the new backend's only.
            {"KORVEL_BACKEND_HANDSHAKE_EXIT_DELAY_MS", "0"},
            {"KORVEL_BACKEND_START_LOG", startLog_}};
  }
  void Record(json line) {
    results_ << line.dump() << "\n";
    results_.flush();
  }

  std::unique_ptr<Proc> StartShell(int listenDelayMs);
  void StopShell(std::unique_ptr<Proc>& shell);
  std::unique_ptr<Proc> StartBackend(int listenDelayMs);
  void StopBackend(std::unique_ptr<Proc>& backend);
  // Times one start of the shell or of the bare engine, with the backend
  // already warm or started at the same moment; the memory of the settled
  // program when asked.
  json TimeStart(bool shell,
                 int pair,
                 const std::string& scenario,
                 int listenDelayMs,
                 bool warmBackend,
                 bool measureMemory);
  json RunInPage(const std::string& code, int timeoutMs);
  TreeCost SettledCost(pid_t root, const std::string& skip);

  void StartupPhase();
  void BridgePhase();
  void GrowthPhase();
  void Summary();

  Options o_;
  std::ofstream results_;
  std::string startLog_;
  XWatch x_;
  int seq_ = 1000;
  // What the summary is made of.
  std::map<std::string, std::map<std::string, std::vector<double>>> startup_;
  std::map<std::string, std::vector<double>> startupSplash_;
  // Memory of each start-up pair, by program.
  std::map<int, std::map<std::string, TreeCost>> memory_;
  std::map<std::string, std::vector<double>> calls_;
  std::map<std::string, std::vector<double>> engineMedians_, engineP99_,
      engineMeans_;
  std::map<std::string, std::vector<double>> batchMean_;
  std::vector<double> restartTotal_, restartShell_, restartBackend_;
  std::vector<double> execGaps_;
  std::map<pid_t, double> backendSpawns_;
  std::vector<json> growth_;
  std::vector<std::string> failures_;
};

std::unique_ptr<Proc> Bench::StartShell(int listenDelayMs) {
  return std::make_unique<Proc>(std::vector<std::string>{o_.appDir + "/korvel"},
                                o_.appDir, o_.results + "/korvel.log",
                                BackendEnv(listenDelayMs));
}

void Bench::StopShell(std::unique_ptr<Proc>& shell) {
  // Stopping the backend ends the shell, as a user's backend would.
  for (pid_t backend : ChildrenNamed(shell->pid(), "korvel-backend")) {
    kill(backend, SIGTERM);
  }
  if (!shell->WaitExit(15000)) {
    failures_.push_back("the shell did not end after its backend");
  }
  shell.reset();
  // A backend left behind would hold the port for the next start.
  if (!WaitPort(false, 5000)) {
    failures_.push_back("the backend's port stayed open after the shell");
  }
}

std::unique_ptr<Proc> Bench::StartBackend(int listenDelayMs) {
  return std::make_unique<Proc>(
      std::vector<std::string>{o_.appDir + "/korvel-backend"}, o_.appDir,
      o_.results + "/backend.log", BackendEnv(listenDelayMs));
}

void Bench::StopBackend(std::unique_ptr<Proc>& backend) {
  kill(backend->pid(), SIGTERM);
  backend->WaitExit(5000);
  backend.reset();
  WaitPort(false, 5000);
}

json Bench::TimeStart(bool shell,
                      int pair,
                      const std::string& scenario,
                      int listenDelayMs,
                      bool warmBackend,
                      bool measureMemory) {
  json line = {{"kind", "startup"},
               {"scenario", scenario},
               {"program", shell ? "korvel" : "bare"},
               {"pair", pair}};
  std::unique_ptr<Proc> backend;
  if (!shell && warmBackend) {
    backend = StartBackend(0);
    HttpResponse page;
    if (!WaitPort(true, 10000) ||
        !SendHttpRequest(BackendBaseUrl() + "/", "GET", {}, "", page)) {
      failures_.push_back("the warm backend did not answer");
    }
  }
  x_.Reset();
  const double t0 = NowMs();
  std::unique_ptr<Proc> program;
  if (shell) {
    program = StartShell(listenDelayMs);
  } else {
    std::vector<std::string> argv = {o_.bare, kAppUrl};
    if (!warmBackend) {
      backend = StartBackend(listenDelayMs);
      argv.push_back("--wait-for-server");
    }
    program = std::make_unique<Proc>(argv, o_.results, o_.results + "/bare.log",
                                     std::map<std::string, std::string>());
  }
  XWatch::Target main{shell ? kShellClass : kBareClass};
  XWatch::Target dock{""};
  x_.WaitForMaps(main, shell ? &dock : nullptr, t0 + 30000);
  double drawn = 0;
  if (main.window) {
    drawn = x_.WaitForColour(main.window, kPageColour, t0 + 30000);
  }
  if (!main.window || !drawn) {
    // What the user would have seen, and the shell's own log, to tell a
    // window never shown from one shown but never drawn.
    const std::string name = o_.results + "/failed-" +
                             (shell ? "korvel-" : "bare-") +
                             std::to_string(failures_.size());
    x_.SaveScreen(name + ".ppm");
    if (shell) {
      std::ifstream log(DataLog(), std::ios::binary);
      std::ofstream(name + ".log", std::ios::binary) << log.rdbuf();
    }
    failures_.push_back(std::string(shell ? "korvel" : "bare") + " " +
                        (main.window ? "showed its window but never the page"
                                     : "never showed its window") +
                        " (" + scenario + ", pair " + std::to_string(pair) +
                        (shell && dock.window ? ", splash seen" : "") +
                        "): " + name + ".ppm");
    line["failed"] = true;
    line["windowShown"] = main.window != 0;
  } else {
    line["execToMappedMs"] = main.mappedAtMs - t0;
    line["execToDrawnMs"] = drawn - t0;
    startup_[scenario][shell ? "korvel" : "bare"].push_back(drawn - t0);
    if (shell && dock.window) {
      line["execToSplashMs"] = dock.mappedAtMs - t0;
      startupSplash_[scenario].push_back(dock.mappedAtMs - t0);
    }
  }
  if (backend) {
    line["backendExecMs"] = backend->startedAtMs() - t0;
    line["backendPid"] = backend->pid();
    backendSpawns_[backend->pid()] = backend->startedAtMs();
  }
  if (measureMemory && drawn) {
    const TreeCost cost =
        SettledCost(program->pid(), shell ? "korvel-backend" : "");
    line["processes"] = cost.processes;
    line["pssMb"] = cost.pssMb;
    line["ussMb"] = cost.ussMb;
    line["anonPssMb"] = cost.anonMb;
    line["fds"] = cost.fds;
    line["threads"] = cost.threads;
    memory_[pair][shell ? "korvel" : "bare"] = cost;
  }
  if (shell) {
    StopShell(program);
  } else {
    kill(program->pid(), SIGTERM);
    program->WaitExit(10000);
    program.reset();
    StopBackend(backend);
  }
  Record(line);
  return line;
}

json Bench::RunInPage(const std::string& code, int timeoutMs) {
  // Numbered here, so that a result posted to the next backend after a
  // restart is still this command's.
  const int seq = ++seq_;
  const HttpHeaderList headers = {{"Content-Type", "application/json"}};
  HttpResponse posted;
  if (!SendHttpRequest(
          BackendBaseUrl() + "/__control/page/command", "POST", headers,
          json{{"code", code}, {"target", "main"}, {"seq", seq}}.dump(),
          posted) ||
      posted.status != 200) {
    return json{{"error", "the backend took no command"}};
  }
  const double deadline = NowMs() + timeoutMs;
  while (NowMs() < deadline) {
    SleepMs(250);
    HttpResponse answer;
    if (SendHttpRequest(BackendBaseUrl() +
                            "/__control/page/result?seq=" + std::to_string(seq),
                        "GET", {}, "", answer) &&
        answer.status == 200) {
      return json::parse(answer.body, nullptr, false);
    }
  }
  return json{{"error", "no answer within " + std::to_string(timeoutMs) +
                            " ms: " + code}};
}

TreeCost Bench::SettledCost(pid_t root, const std::string& skip) {
  // Settled: two readings 500 ms apart within 1 MB of each other.
  TreeCost last = MeasureTree(ProcessTree(root, skip));
  for (int i = 0; i < 20; ++i) {
    SleepMs(500);
    TreeCost now = MeasureTree(ProcessTree(root, skip));
    const bool steady = std::abs(now.pssMb - last.pssMb) < 1.0 &&
                        now.processes == last.processes;
    last = now;
    if (steady) {
      break;
    }
  }
  return last;
}

void Bench::StartupPhase() {
  struct Scenario {
    const char* name;
    int listenDelayMs;
    bool warm;
  };
  const Scenario scenarios[] = {
      {"warm", 0, true}, {"cold 0 ms", 0, false}, {"cold 500 ms", 500, false}};
  for (const Scenario& scenario : scenarios) {
    Say(std::string("start-up, ") + scenario.name + ": " +
        std::to_string(o_.pairs) + " pairs");
    for (int pair = 0; pair < o_.pairs; ++pair) {
      for (bool shell : {true, false}) {
        TimeStart(shell, pair, scenario.name, scenario.listenDelayMs,
                  scenario.warm, scenario.warm);
      }
    }
  }
  // How long the kernel's exec and the dynamic loader take before the
  // backend's own start time: what its start log leaves out.
  std::ifstream starts(startLog_);
  for (std::string text; std::getline(starts, text);) {
    const json start = json::parse(text, nullptr, false);
    if (start.is_object() && backendSpawns_.count(start["pid"].get<pid_t>())) {
      execGaps_.push_back(start["startedAtMs"].get<double>() -
                          backendSpawns_[start["pid"].get<pid_t>()]);
    }
  }
}

void Bench::BridgePhase() {
  std::unique_ptr<Proc> shell = StartShell(0);
  XWatch::Target main{kShellClass};
  x_.WaitForMaps(main, nullptr, NowMs() + 60000);
  if (!main.window ||
      !x_.WaitForColour(main.window, kPageColour, NowMs() + 60000)) {
    failures_.push_back("bridge: the shell never showed its page");
    StopShell(shell);
    return;
  }
  const std::string n = std::to_string(o_.bridgeCalls);
  for (int round = 0; round < o_.bridgeRounds; ++round) {
    Say("bridge, round " + std::to_string(round + 1) + " of " +
        std::to_string(o_.bridgeRounds));
    // The engine's own figures, in a program of its own, in turn with the
    // shell's.
    const std::string engineOut = o_.results + "/bridge_bench.out";
    std::unique_ptr<Proc> engine = std::make_unique<Proc>(
        std::vector<std::string>{o_.bridgeBench, "--json", n, n}, o_.results,
        engineOut, std::map<std::string, std::string>());
    engine->WaitExit(300000);
    engine.reset();
    std::ifstream engineFile(engineOut);
    std::string lastLine;
    for (std::string text; std::getline(engineFile, text);) {
      if (!text.empty() && text[0] == '{') {
        lastLine = text;
      }
    }
    std::remove(engineOut.c_str());
    const json engineData = json::parse(lastLine, nullptr, false);
    if (!engineData.is_object()) {
      failures_.push_back("bridge_bench gave no result");
    } else {
      for (const char* kind : {"sync", "trip"}) {
        const json& stats = engineData[kind];
        engineMedians_[kind].push_back(stats["median"].get<double>());
        engineP99_[kind].push_back(stats["p99"].get<double>());
        engineMeans_[kind].push_back(stats["mean"].get<double>());
        for (double v : stats["samples"]) {
          calls_[std::string("engine ") + kind].push_back(v);
        }
      }
      Record({{"kind", "bridge_engine"},
              {"round", round},
              {"sync", engineData["sync"]},
              {"trip", engineData["trip"]}});
    }
    for (const char* name : {"version", "hostname", "getZoom", "isVisible"}) {
      const bool sync = name[0] == 'v' || name[0] == 'h';
      const json result = RunInPage(
          std::string("return ") + (sync ? "benchSync('" : "benchQuery('") +
              name + "', " + n + ");",
          120000);
      if (!result.contains("value")) {
        failures_.push_back(std::string("bridge ") + name + ": " +
                            result.dump());
        continue;
      }
      const json& value = result["value"];
      Record({{"kind", "bridge"},
              {"call", name},
              {"round", round},
              {"stats", value["stats"]},
              {"samples", value["samples"]}});
      if (sync) {
        batchMean_[name].push_back(value["stats"]["batchMean"].get<double>());
      }
      for (double v : value["samples"]) {
        calls_[name].push_back(v);
      }
    }
  }
  StopShell(shell);
}

void Bench::GrowthPhase() {
  std::unique_ptr<Proc> shell = StartShell(0);
  XWatch::Target main{kShellClass};
  x_.WaitForMaps(main, nullptr, NowMs() + 60000);
  if (!main.window ||
      !x_.WaitForColour(main.window, kPageColour, NowMs() + 60000)) {
    failures_.push_back("growth: the shell never showed its page");
    StopShell(shell);
    return;
  }
  auto costJson = [&] {
    const TreeCost cost = SettledCost(shell->pid(), "korvel-backend");
    return json{{"processes", cost.processes},
                {"pssMb", cost.pssMb},
                {"ussMb", cost.ussMb},
                {"anonPssMb", cost.anonMb},
                {"fds", cost.fds},
                {"threads", cost.threads}};
  };
  auto mean = [](const std::vector<double>& v, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count && i < v.size(); ++i) {
      sum += v[i];
    }
    return count ? sum / count : 0;
  };
  auto record = [&](const std::string& step, int ops, double firstMs,
                    double lastMs, const json& before) {
    // A step's last operation leaves the engine's transient descriptors
    // and threads (a navigation's shared memory, a new page's sockets);
    // what is left once they have gone is what the step cost.
    SleepMs(kGrowthSettleMs);
    json line = {{"kind", "growth"},   {"step", step},     {"ops", ops},
                 {"firstMs", firstMs}, {"lastMs", lastMs}, {"before", before},
                 {"after", costJson()}};
    Record(line);
    growth_.push_back(line);
  };

  // Queries, each awaited.
  Say("growth: " + std::to_string(o_.growthQueries) + " awaited queries");
  json before = costJson();
  json result = RunInPage(
      "return benchQueryGrowth(" + std::to_string(o_.growthQueries) + ", 500);",
      600000);
  if (result.contains("value")) {
    const json& v = result["value"];
    if (v["settled"] != v["calls"]) {
      failures_.push_back("growth: not every query settled");
    }
    record("awaited queries", v["settled"].get<int>(),
           v["firstMs"].get<double>(), v["lastMs"].get<double>(), before);
    growth_.back()["tenthsMs"] = v["tenthsMs"];
    Record({{"kind", "growth_queries_tenths"}, {"tenthsMs", v["tenthsMs"]}});
  } else {
    failures_.push_back("growth queries: " + result.dump());
  }

  // Synchronous calls at full speed.
  Say("growth: " + std::to_string(o_.growthSyncSeconds) + " s of sync calls");
  before = costJson();
  result = RunInPage(
      "return benchSyncFor(" + std::to_string(o_.growthSyncSeconds) + ");",
      o_.growthSyncSeconds * 1000 + 120000);
  if (result.contains("value")) {
    const json& v = result["value"];
    record("sync calls", v["calls"].get<int>(), v["firstMs"].get<double>(),
           v["lastMs"].get<double>(), before);
  } else {
    failures_.push_back("growth sync calls: " + result.dump());
  }

  // Hot restarts in a row; the new backends report their start.
  Say("growth: " + std::to_string(o_.growthRestarts) + " hot restarts");
  std::ofstream(startLog_, std::ios::trunc).close();
  before = costJson();
  result = RunInPage(
      "return benchRestarts(" + std::to_string(o_.growthRestarts) + ");",
      o_.growthRestarts * 20000 + 60000);
  if (result.contains("value")) {
    for (double v : result["value"]) {
      restartTotal_.push_back(v);
    }
    std::ifstream starts(startLog_);
    std::vector<double> backendMs;
    const double gap = Summarize(execGaps_).median;
    for (std::string text; std::getline(starts, text);) {
      const json start = json::parse(text, nullptr, false);
      if (start.is_object()) {
        backendMs.push_back(start["startToListeningMs"].get<double>() + gap);
      }
    }
    if (backendMs.size() != restartTotal_.size()) {
      failures_.push_back("restarts: " + std::to_string(backendMs.size()) +
                          " backend starts reported for " +
                          std::to_string(restartTotal_.size()) + " restarts");
    }
    for (size_t i = 0; i < restartTotal_.size() && i < backendMs.size(); ++i) {
      restartBackend_.push_back(backendMs[i]);
      restartShell_.push_back(restartTotal_[i] - backendMs[i]);
      Record({{"kind", "restart"},
              {"index", i},
              {"totalMs", restartTotal_[i]},
              {"backendExecToListeningMs", backendMs[i]},
              {"shellMs", restartShell_.back()}});
    }
    const size_t edge = std::min<size_t>(5, restartTotal_.size());
    record("hot restarts", static_cast<int>(restartTotal_.size()),
           mean(restartTotal_, 0, edge),
           mean(restartTotal_, restartTotal_.size() - edge, edge), before);
  } else {
    failures_.push_back("growth restarts: " + result.dump());
  }

  // Reloads of the application by loadApp.
  Say("growth: " + std::to_string(o_.growthReloads) + " loadApp reloads");
  before = costJson();
  result = RunInPage(
      "return benchReloadStart(" + std::to_string(o_.growthReloads) + ");",
      30000);
  json reloads;
  const double deadline = NowMs() + o_.growthReloads * 15000.0 + 30000;
  while (result.contains("value") && NowMs() < deadline) {
    SleepMs(1000);
    const json state = RunInPage("return benchReloadResult();", 30000);
    if (state.contains("value") && state["value"].is_array()) {
      reloads = state["value"];
      break;
    }
  }
  if (reloads.is_array()) {
    std::vector<double> samples = reloads.get<std::vector<double>>();
    const size_t edge = std::min<size_t>(3, samples.size());
    record("loadApp reloads", static_cast<int>(samples.size()),
           mean(samples, 0, edge), mean(samples, samples.size() - edge, edge),
           before);
  } else {
    failures_.push_back("growth reloads did not finish");
  }
  StopShell(shell);
}

std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

std::string Fmt(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Verdict(bool met) {
  return met ? "met" : "MISSED";
}

void Bench::Summary() {
  std::ostringstream out;
  out << "Start-up: exec -> application drawn (ms; korvel vs bare_engine, "
         "interleaved pairs)\n";
  out << "  scenario        n   korvel median  p90     p99    | bare median  "
         "p90     p99    | ratio  target<=1.10\n";
  for (const char* scenario : {"warm", "cold 0 ms", "cold 500 ms"}) {
    const Stats k = Summarize(startup_[scenario]["korvel"]);
    const Stats b = Summarize(startup_[scenario]["bare"]);
    const double ratio = b.median > 0 ? k.median / b.median : 0;
    char line[256];
    std::snprintf(line, sizeof line,
                  "  %-14s %3d   %7.1f   %7.1f %7.1f  |  %7.1f  %7.1f %7.1f  "
                  "| %5.2f  %s\n",
                  scenario, std::min(k.n, b.n), k.median, k.p90, k.p99,
                  b.median, b.p90, b.p99, ratio,
                  Verdict(ratio > 0 && ratio <= 1.10).c_str());
    out << line;
  }
  out << "  korvel exec -> splash mapped, median:";
  for (const char* scenario : {"warm", "cold 0 ms", "cold 500 ms"}) {
    out << " " << scenario << " "
        << Fmt("%.1f", Summarize(startupSplash_[scenario]).median);
  }
  out << " ms\n\n";

  out << "Bridge (ms per call, timed in the page; engine = bridge_bench in "
         "turn with it)\n";
  out << "  call               n     median  p90    p99    mean  | engine "
         "median  p99    mean  | ratio median  mean  target\n";
  struct Row {
    const char* name;
    const char* engine;
  };
  for (const Row row : {Row{"version", "sync"}, Row{"hostname", "sync"},
                        Row{"getZoom", "trip"}, Row{"isVisible", "trip"}}) {
    const Stats k = Summarize(calls_[row.name]);
    const Stats e = Summarize(calls_[std::string("engine ") + row.engine]);
    const bool trip = row.engine[0] == 't';
    const double ratioMedian = e.median > 0 ? k.median / e.median : 0;
    const double ratioMean = e.mean > 0 ? k.mean / e.mean : 0;
    const bool met =
        ratioMedian > 0 && ratioMedian <= 1.2 && (!trip || k.p99 < 2.0);
    char line[256];
    std::snprintf(line, sizeof line,
                  "  %-14s %6d  %6.3f %6.3f %6.3f %6.3f  |  %6.3f %6.3f "
                  "%6.3f  |  %5.2f  %5.2f   %s\n",
                  (std::string("korvel.") + row.name + "()").c_str(), k.n,
                  k.median, k.p90, k.p99, k.mean, e.median, e.p99, e.mean,
                  ratioMedian, ratioMean, Verdict(met).c_str());
    out << line;
  }
  for (const char* name : {"version", "hostname"}) {
    if (!batchMean_[name].empty()) {
      out << "  korvel." << name << "() mean over each whole batch: "
          << Fmt("%.4f", Summarize(batchMean_[name]).median) << " ms\n";
    }
  }
  out << "\n";

  out << "Hot restart (ms; restartBackend() call to resolution, backend "
         "exits on its answer)\n";
  out << "  part                               n   median  p90     p99\n";
  const Stats gap = Summarize(execGaps_);
  for (const auto& [label, values] :
       std::vector<std::pair<std::string, std::vector<double>*>>{
           {"total", &restartTotal_},
           {"backend exec -> listening", &restartBackend_},
           {"shell's own part", &restartShell_}}) {
    const Stats s = Summarize(*values);
    char line[200];
    std::snprintf(line, sizeof line, "  %-32s %4d  %7.1f %7.1f %7.1f\n",
                  label.c_str(), s.n, s.median, s.p90, s.p99);
    out << line;
  }
  const Stats shellPart = Summarize(restartShell_);
  out << "  (exec -> the backend's own start time: median "
      << Fmt("%.2f", gap.median) << " ms over " << gap.n
      << " starts, included above)  target: shell's part < 300: "
      << Verdict(shellPart.n > 0 && shellPart.median < 300) << "\n\n";

  out << "Memory (MB, application open and settled; shell's tree without the "
         "backend; difference = median of the pairs' differences)\n";
  struct Measure {
    const char* name;
    double TreeCost::*field;
  };
  for (const Measure measure :
       {Measure{"PSS", &TreeCost::pssMb},
        Measure{"PSS anonymous+shmem", &TreeCost::anonMb},
        Measure{"USS", &TreeCost::ussMb}}) {
    std::vector<double> korvel, bare, differences;
    for (const auto& [pair, programs] : memory_) {
      const auto k = programs.find("korvel");
      const auto b = programs.find("bare");
      if (k != programs.end()) {
        korvel.push_back(k->second.*measure.field);
      }
      if (b != programs.end()) {
        bare.push_back(b->second.*measure.field);
      }
      if (k != programs.end() && b != programs.end()) {
        differences.push_back(k->second.*measure.field -
                              b->second.*measure.field);
      }
    }
    const Stats difference = Summarize(differences);
    char line[200];
    std::snprintf(line, sizeof line,
                  "  %-20s korvel %6.1f  bare %6.1f  difference %+6.1f "
                  "(%d pairs)",
                  measure.name, Summarize(korvel).median,
                  Summarize(bare).median, difference.median, difference.n);
    out << line;
    if (measure.field == &TreeCost::pssMb) {
      out << "  target <= +20: "
          << Verdict(difference.n > 0 && difference.median <= 20);
    }
    out << "\n";
  }
  out << "\n";

  out << "Growth (one shell, one step after the other)\n";
  out << "  step               ops     per-op ms first -> last | PSS MB before "
         "-> after | anon PSS MB      | fds          | threads    | "
         "processes\n";
  for (const json& g : growth_) {
    const json& b = g["before"];
    const json& a = g["after"];
    char line[300];
    std::snprintf(
        line, sizeof line,
        "  %-16s %7d   %8.3f -> %8.3f   | %7.1f -> %7.1f  | %6.1f -> %6.1f | "
        "%4d -> %4d | %4d -> %4d | %d -> %d\n",
        g["step"].get<std::string>().c_str(), g["ops"].get<int>(),
        g["firstMs"].get<double>(), g["lastMs"].get<double>(),
        b["pssMb"].get<double>(), a["pssMb"].get<double>(),
        b["anonPssMb"].get<double>(), a["anonPssMb"].get<double>(),
        b["fds"].get<int>(), a["fds"].get<int>(), b["threads"].get<int>(),
        a["threads"].get<int>(), b["processes"].get<int>(),
        a["processes"].get<int>());
    out << line;
  }
  for (const json& g : growth_) {
    if (g.contains("tenthsMs")) {
      out << "  awaited queries, mean ms of each tenth:";
      for (double v : g["tenthsMs"]) {
        out << " " << Fmt("%.2f", v);
      }
      out << "\n";
    }
  }
  if (!failures_.empty()) {
    out << "\nFailures:\n";
    for (const std::string& failure : failures_) {
      out << "  " << failure << "\n";
    }
  }
  std::ofstream(o_.results + "/summary.txt", std::ios::app) << out.str();
  std::cout << out.str();

  std::vector<std::pair<std::string, std::vector<Series>>> startups;
  for (const char* scenario : {"warm", "cold 0 ms", "cold 500 ms"}) {
    startups.push_back({scenario,
                        {{"korvel", startup_[scenario]["korvel"]},
                         {"bare", startup_[scenario]["bare"]}}});
  }
  std::vector<Series> latencies;
  for (const char* name : {"engine sync", "version", "hostname", "engine trip",
                           "getZoom", "isVisible"}) {
    latencies.push_back({name, calls_[name]});
  }
  WriteSvg(o_.results + "/latency.svg", startups, latencies);
}

int Bench::Run() {
  if (!x_.ok()) {
    Say("no X display");
    return 1;
  }
  if (PortOpen()) {
    Say("something already listens on the backend's port");
    return 1;
  }
  const std::string loadBefore = LoadAverage();
  {
    std::ofstream summary(o_.results + "/summary.txt", std::ios::trunc);
    summary << "load average at start: " << loadBefore << "\n";
  }
  StartupPhase();
  BridgePhase();
  GrowthPhase();
  const std::string loadAfter = LoadAverage();
  std::ofstream(o_.results + "/summary.txt", std::ios::app)
      << "load average at end: " << loadAfter << "\n\n";
  Record({{"kind", "load"}, {"before", loadBefore}, {"after", loadAfter}});
  std::cout << "load average (1, 5, 15 min) at start: " << loadBefore
            << "; at end: " << loadAfter << "\n\n";
  Summary();
  return failures_.empty() ? 0 : 1;
}

}  // namespace
}  // namespace bench

int main(int argc, char* argv[]) {
  bench::Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--app-dir") {
      options.appDir = next();
    } else if (arg == "--bare") {
      options.bare = next();
    } else if (arg == "--bridge-bench") {
      options.bridgeBench = next();
    } else if (arg == "--results") {
      options.results = next();
    } else if (arg == "--quick") {
      options.quick = true;
    } else {
      std::fprintf(stderr, "korvel_bench: unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  if (options.appDir.empty() || options.bare.empty() ||
      options.bridgeBench.empty() || options.results.empty()) {
    std::fprintf(stderr,
                 "usage: korvel_bench --app-dir DIR --bare PATH "
                 "--bridge-bench PATH --results DIR [--quick]\n");
    return 2;
  }
  if (options.quick) {
    options.pairs = 3;
    options.bridgeCalls = 1000;
    options.bridgeRounds = 1;
    options.growthQueries = 2000;
    options.growthSyncSeconds = 10;
    options.growthRestarts = 10;
    options.growthReloads = 5;
  }
  // The shell and its backend end by signals of their own; a broken pipe
  // must not end the benchmark.
  signal(SIGPIPE, SIG_IGN);
  bench::Bench bench(options);
  return bench.Run();
}
