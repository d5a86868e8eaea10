// Runs engine_process_app through the engine's start-up, message loop and
// shutdown and checks what it reports and the log file it writes.

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"

using json = nlohmann::json;

namespace {

using engine_test::ReadFile;

constexpr auto kStartTimeout = std::chrono::seconds(30);

using engine_test::TempDir;
using std::chrono::milliseconds;

// One run of the app, its events read as JSON lines from every process it
// starts (see JsonLineChild).
class App {
 public:
  // |home| replaces HOME (and the XDG directories derived from it).
  App(const std::vector<std::string>& args, const std::string& home = "")
      : app_(Argv(args, home)) {}

  pid_t pid() { return app_.process().pid(); }

  void Send(const std::string& line) {
    if (!app_.process().SendLine(line))
      ADD_FAILURE() << "app stdin closed";
  }

  // The first event named |name|, from any process.
  json WaitFor(const std::string& name) {
    return app_.WaitForEvent(name, nullptr, kStartTimeout);
  }

  std::vector<json> Events(const std::string& name) {
    app_.Collect();
    return app_.Events(name);
  }

  // Wait status of the app, or -1 when it did not exit in time. Its output
  // is read meanwhile: a full pipe would hold it. The output can end a
  // moment before the exit; the time left is for that.
  int Wait(milliseconds timeout = std::chrono::seconds(20)) {
    engine_test::ChildProcess& process = app_.process();
    const auto start = std::chrono::steady_clock::now();
    app_.ReadUntil(
        [&] { return process.WaitForExit(milliseconds(0)).has_value(); },
        timeout);
    const auto left = timeout - std::chrono::duration_cast<milliseconds>(
                                    std::chrono::steady_clock::now() - start);
    return process.WaitForExit(std::max(left, milliseconds(0))).value_or(-1);
  }

  // Runs to the end and returns the exit code (-1 for a signal/timeout).
  int Finish() {
    const int status = Wait();
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  static std::vector<std::string> Argv(const std::vector<std::string>& args,
                                       const std::string& home) {
    std::vector<std::string> argv = {"/usr/bin/env"};
    if (!home.empty()) {
      // The standard places under that home. Mesa keeps no shader cache:
      // it is not the engine's, and without XDG_CACHE_HOME it would find
      // the real home through the password database.
      argv.insert(argv.end(), {"MESA_SHADER_CACHE_DISABLE=true", "HOME=" + home,
                               "XDG_DATA_HOME=" + home + "/.local/share",
                               "XDG_CACHE_HOME=" + home + "/.cache",
                               "XDG_CONFIG_HOME=" + home + "/.config"});
    }
    argv.push_back(ENGINE_PROCESS_APP);
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
  }

  engine_test::JsonLineChild app_;
};

// The body of GET |path| on 127.0.0.1:|port|; "" when nothing answers.
std::string HttpGet(int port, const std::string& path) {
  httplib::Client client("127.0.0.1", port);
  client.set_connection_timeout(5);
  client.set_read_timeout(5);
  httplib::Result result = client.Get(path);
  return result && result->status == 200 ? result->body : std::string();
}

class EngineProcessTest : public ::testing::Test {
 protected:
  std::vector<std::string> BaseArgs(const std::string& scenario,
                                    const std::string& root) {
    return {scenario, "--root=" + root, "--log=" + log_path()};
  }
  std::string log_path() const { return dir_.path() + "/engine.log"; }

  TempDir dir_;
  // The renderers of a killed or aborted app are adopted and ended here,
  // before the directory goes.
  engine_test::Reaper reaper_;
};

// A normal run: settings reach the command line before the application sees
// it, OnContextInitialized runs on the UI thread inside the loop, tasks
// posted before the loop run in it, and nothing is accepted after shutdown.
// (The window class: BridgeTest.PageDrivesTheWindowAndItsQueriesAnswer;
// nothing left running: EndingTest.EveryExitPathLeavesNoProcess.)
TEST_F(EngineProcessTest, StartsRunsAndShutsDown) {
  const std::string root = dir_.path() + "/root";
  const std::string home = dir_.path() + "/home";
  ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
  {
    App app(BaseArgs("quit", root), home);
    const json before = app.WaitFor("before_command_line");
    EXPECT_EQ(before["log_file"], log_path());
    EXPECT_EQ(before["no_sandbox"], true);
    // A settings port of 0 leaves remote debugging off.
    EXPECT_EQ(before["remote_debugging_port"], "");

    EXPECT_EQ(app.WaitFor("initialized")["ok"], true);
    const json context = app.WaitFor("context_initialized");
    EXPECT_EQ(context["initialized"], true);
    EXPECT_EQ(context["flags"]["on_ui"], true);
    EXPECT_EQ(context["flags"]["on_io"], false);
    EXPECT_EQ(context["xdisplay"], getenv("DISPLAY"));
    // Without cache_path the profile persists in the root directory.
    EXPECT_EQ(context["profile_path"], root);

    const json pre = app.WaitFor("pre_loop_task");
    EXPECT_EQ(pre["flags"]["on_ui"], true);
    const json shutdown = app.WaitFor("shutdown");
    EXPECT_EQ(shutdown["post_ui_after"], false);
    EXPECT_EQ(shutdown["post_io_after"], false);
    EXPECT_EQ(shutdown["initialized_after"], false);
    EXPECT_EQ(shutdown["xdisplay_after"], false);
    EXPECT_EQ(app.Finish(), 0);
    EXPECT_TRUE(app.Events("loop_returned").size() == 1);
    // The profile keeps everything in the cache root, nothing in the home
    // directory.
    EXPECT_TRUE(std::filesystem::is_empty(home));
    EXPECT_TRUE(std::filesystem::exists(root + "/user_prefs.json"));
    EXPECT_FALSE(std::filesystem::exists(root + "/.engine-profile-seed"));
  }
  {
    App app({"quit", "--root=" + root, "--cache=" + root + "/app",
             "--log=" + log_path()});
    EXPECT_EQ(app.WaitFor("context_initialized")["profile_path"],
              root + "/app");
    EXPECT_EQ(app.Finish(), 0);
  }
}

// UI and IO tasks run on their threads, undelayed ones first in posting
// order, delayed ones no earlier than asked and equal delays in posting
// order.
TEST_F(EngineProcessTest, TasksRunInOrderOnTheirThreads) {
  App app(BaseArgs("tasks", dir_.path() + "/root"));
  ASSERT_EQ(app.Finish(), 0);

  for (const std::string thread : {"ui", "io"}) {
    std::vector<std::string> order;
    for (const json& task : app.Events("task")) {
      if (task["thread"] != thread)
        continue;
      order.push_back(task["name"]);
      EXPECT_EQ(task["flags"]["on_ui"], thread == "ui") << task;
      EXPECT_EQ(task["flags"]["on_io"], thread == "io") << task;
      // Both times are truncated to whole milliseconds.
      EXPECT_GE(task["ran_ms"].get<int>() - task["posted_ms"].get<int>(),
                task["delay_ms"].get<int>() - 1)
          << task;
    }
    EXPECT_EQ(order, (std::vector<std::string>{
                         thread + "-a", thread + "-b", thread + "-c",
                         thread + "-delay-30a", thread + "-delay-30b",
                         thread + "-delay-80"}));
  }
  EXPECT_TRUE(app.Events("post_failed").empty());
}

// CEF_REQUIRE_UI_THREAD on the IO thread stops the process with a FATAL
// record naming the failed check.
TEST_F(EngineProcessTest, ThreadAssertionStopsTheProcess) {
  App app(BaseArgs("require_ui_on_io", dir_.path() + "/root"));
  ASSERT_FALSE(app.WaitFor("asserting").is_null());
  const int status = app.Wait();
  ASSERT_NE(status, -1);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT);
  EXPECT_TRUE(app.Events("assertion_passed").empty());
  const std::string log = ReadFile(log_path());
  EXPECT_NE(log.find(":FATAL:engine_process_app.cc("), std::string::npos);
  EXPECT_NE(log.find("Check failed: CefCurrentlyOn(TID_UI)"), std::string::npos)
      << log;
}

// Switches the application adds in OnBeforeCommandLineProcessing reach
// Chromium: the script engine's flags and the DevTools server.
TEST_F(EngineProcessTest, CommandLineSwitchesReachChromium) {
  const int port = engine_test::ClosedPort();
  App app({"js", "--root=" + dir_.path() + "/root", "--log=" + log_path(),
           "--app-js-flags=--expose_gc",
           "--app-debug-port=" + std::to_string(port)});
  const json js = app.WaitFor("js");
  EXPECT_EQ(js["load_ok"], true);
  EXPECT_EQ(js["typeof_gc"], "function");
  const std::string version = HttpGet(port, "/json/version");
  EXPECT_TRUE(json::parse(version, nullptr, false).contains("Browser"))
      << version;
  app.Send("quit");
  EXPECT_EQ(app.Finish(), 0);
}

// Records at or above the minimum severity (info by default, as the shell
// leaves it) reach the log file in Chromium's format, from the engine, from
// Qt and from the renderer process; verbose ones do not. The log lies beside
// the cache directories in a data directory that does not exist yet, as on a
// user's first start: the cache path is created before the log opens.
TEST_F(EngineProcessTest, LogFileHonoursMinimumSeverity) {
  const std::string data = dir_.path() + "/data";
  App app({"logging", "--root=" + data + "/cache",
           "--cache=" + data + "/cache/app", "--log=" + data + "/engine.log"});
  const json logged = app.WaitFor("logged");
  EXPECT_EQ(logged["min_level"], 0);
  ASSERT_EQ(app.Finish(), 0);
  const std::string log = ReadFile(data + "/engine.log");
  for (const char* present :
       {"] info-marker", "] direct-info-marker", "] qt-info-marker",
        "] error-marker", "] qt-warning-marker"}) {
    EXPECT_NE(log.find(present), std::string::npos) << present << "\n" << log;
  }
  EXPECT_EQ(log.find("verbose-marker"), std::string::npos) << log;
  const std::regex record(
      "\\[" + std::to_string(app.pid()) + ":" +
      std::to_string(logged["tid"].get<long>()) +
      ":[0-9]{4}/[0-9]{6}\\.[0-9]{3}:WARNING:engine_process_app\\.cc\\("
      "[0-9]+\\)\\] warning-marker\n");
  EXPECT_TRUE(std::regex_search(log, record)) << log;
  const std::regex renderer_record(
      "\\[([0-9]+):[0-9]+:[^\\]]*:WARNING:engine_process_app\\.cc\\([0-9]+"
      "\\)\\] renderer-marker\n");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(log, match, renderer_record)) << log;
  EXPECT_NE(match[1].str(), std::to_string(app.pid()));
}

// A second instance on the same root is refused, and the running instance
// hears of it even when an owner killed by SIGKILL left its socket behind.
// cef_app.h allows no engine call after the refusal: one is refused, and
// logged, so that a program that makes one shows it
// (EndingTest.SecondStartsLeaveNothing reads that log for the shell).
TEST_F(EngineProcessTest, SecondInstanceIsRefusedAndReported) {
  const std::string root = dir_.path() + "/root";
  {
    App killed(BaseArgs("wait", root));
    ASSERT_EQ(killed.WaitFor("context_initialized")["initialized"], true);
    kill(killed.pid(), SIGKILL);
    ASSERT_NE(killed.Wait(), -1);
  }
  App first(BaseArgs("wait", root));
  ASSERT_EQ(first.WaitFor("context_initialized")["initialized"], true);

  App second(BaseArgs("post-after-refusal", root));
  EXPECT_EQ(second.WaitFor("initialized")["ok"], false);
  EXPECT_EQ(second.WaitFor("posted")["ok"], false);
  EXPECT_EQ(second.Finish(), 1);
  EXPECT_NE(ReadFile(log_path())
                .find("CefPostTask called after CefInitialize returned false"),
            std::string::npos);
  EXPECT_TRUE(second.Events("context_initialized").empty());
  EXPECT_EQ(first.WaitFor("relaunch")["flags"]["on_ui"], true);

  first.Send("quit");
  EXPECT_EQ(first.Finish(), 0);
}

}  // namespace
