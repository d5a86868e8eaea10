// The global request context in a running engine: preferences kept across a
// restart, refusals, custom preferences, the renderer-role process's view
// of the context, and content settings that a page can observe.

#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "gtest/gtest.h"
#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/page_server.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

using engine_test::PageServer;
using engine_test::TempDir;
using json = nlohmann::json;

// One run of prefs_test_app to its end. The app and everything it started
// run in their own process group, which is killed and reaped whatever
// happens to the test.
class AppRun : public engine_test::JsonLineChild {
 public:
  explicit AppRun(std::vector<std::string> args)
      : JsonLineChild(WithProgram(std::move(args))) {}

  // Reads events until the app closes its output (60 s at most); then its
  // exit status, -1 when it had to be killed.
  int Finish() {
    const bool ended = ReadUntil([&] { return process().output_ended(); },
                                 std::chrono::seconds(60));
    // Whatever is left of the group (a lingering renderer) goes too.
    process().SignalGroup(ended ? SIGTERM : SIGKILL);
    const std::optional<int> status =
        process().WaitForExit(std::chrono::seconds(10));
    if (!ended || !status || !WIFEXITED(*status)) {
      return -1;
    }
    return WEXITSTATUS(*status);
  }

  // The first event named |name|, null if none came.
  json Event(const std::string& name) const {
    std::vector<json> found = Events(name);
    return found.empty() ? json() : found.front();
  }
  // The |index|th "set" event about preference |name|.
  json Set(const std::string& name, size_t index = 0) const {
    std::vector<json> found =
        Events("set", [&](const json& event) { return event["name"] == name; });
    return index < found.size() ? found[index] : json();
  }

 private:
  static std::vector<std::string> WithProgram(std::vector<std::string> args) {
    args.insert(args.begin(), PREFS_TEST_APP);
    return args;
  }
};

// Engine and custom preferences set through the global context come back
// in the next start from the cache directory. (Each name the shell sets
// reaching the file: BridgeTest.PageDrivesTheWindowAndItsQueriesAnswer; an
// unknown name refused: BridgeTest.LocalAnswersAndEditCommands.)
TEST(EnginePrefsTest, PreferencesPersistAcrossARestart) {
  TempDir root;
  const std::string cache = "--cache-root=" + root.path();
  {
    AppRun run({cache, "--scenario=persist"});
    ASSERT_EQ(run.Finish(), 0) << run.Transcript();
    // A fresh cache directory starts from the defaults.
    EXPECT_EQ(run.Event("values")["values"]["prefs_test.text"], "");
    for (const char* name : {"credentials_enable_service", "prefs_test.text",
                             "prefs_test.count"}) {
      EXPECT_EQ(run.Set(name)["ok"], true) << name << run.Transcript();
    }
    EXPECT_EQ(run.Event("cache_path")["path"], root.path());
  }

  AppRun run({cache, "--scenario=persist"});
  ASSERT_EQ(run.Finish(), 0) << run.Transcript();
  const json values = run.Event("values")["values"];
  EXPECT_EQ(values["credentials_enable_service"], false) << values;
  EXPECT_EQ(values["prefs_test.text"], "written");
  EXPECT_EQ(values["prefs_test.count"], 42);
}

// A relative cache path (the shell's, for a user without a home entry) is
// ignored as by the production engine: nothing is kept below the working
// directory; the profile goes to the per-user default and the global
// context reports no cache path of its own.
TEST(EnginePrefsTest, RelativeCachePathsAreIgnored) {
  TempDir dir;
  const std::string home = dir.path() + "/home";
  const char* saved_home = getenv("HOME");
  const std::string previous_home = saved_home ? saved_home : "";
  char previous_cwd[PATH_MAX];
  ASSERT_NE(getcwd(previous_cwd, sizeof previous_cwd), nullptr);
  setenv("HOME", home.c_str(), 1);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  json cache_path;
  int status;
  {
    AppRun run({"--cache-root=cache", "--scenario=persist"});
    status = run.Finish();
    cache_path = run.Event("cache_path");
  }
  ASSERT_EQ(chdir(previous_cwd), 0);
  setenv("HOME", previous_home.c_str(), 1);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(cache_path["path"], "");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/cache"));
  EXPECT_TRUE(std::filesystem::exists(home + "/.config/cef_user_data"));
}

// The page's preferences go through the renderer-role process's context:
// its changes reach the browser's store, refusals come back with the
// browser's texts, and a synchronous round trip stays short.
TEST(EnginePrefsTest, RendererReachesTheBrowsersContext) {
  TempDir root;
  AppRun run({"--cache-root=" + root.path(), "--scenario=renderer"});
  ASSERT_EQ(run.Finish(), 0) << run.Transcript();

  const json renderer = run.Event("renderer");
  ASSERT_EQ(renderer["present"], true) << run.Transcript();
  EXPECT_EQ(run.Set("prefs_test.text")["ok"], true);
  EXPECT_EQ(run.Set("no.such.preference")["error"],
            "Trying to modify an unregistered preference");
  EXPECT_EQ(run.Set("prefs_test.text", 1)["error"],
            "Trying to set a preference of type STRING to value of type "
            "INTEGER");
  EXPECT_EQ(renderer["text"], "from renderer");
  EXPECT_EQ(run.Event("browser_sees")["text"], "from renderer");

  const json timing = run.Event("renderer_timing");
  ASSERT_TRUE(timing.is_object());
  std::printf("renderer round trip: median %.3f ms, p99 %.3f ms\n",
              timing["median_ms"].get<double>(),
              timing["p99_ms"].get<double>());
  EXPECT_LT(timing["median_ms"].get<double>(), 5.0);
}

// Permission requests follow content settings: without one nobody allows
// notifications, pasting or autoplay; with them the page gets all three.
TEST(EnginePrefsTest, ContentSettingsReachThePage) {
  PageServer server;
  server.Page("/", "<!doctype html><title>page</title><body></body>");
  ASSERT_GT(server.port(), 0);
  const int port = server.port();
  const std::string url =
      "--url=http://127.0.0.1:" + std::to_string(port) + "/";

  {
    TempDir root;
    AppRun run({"--cache-root=" + root.path(), "--scenario=content", url});
    ASSERT_EQ(run.Finish(), 0) << run.Transcript();
    const json result = run.Event("result")["result"];
    EXPECT_EQ(result["notify"], "denied") << run.Transcript();
    EXPECT_EQ(result["paste"], false);
    EXPECT_EQ(result["autoplay"], "NotAllowedError");
  }
  // The rights stay with the origin: the same page on another origin
  // loses them.
  TempDir root;
  AppRun run({"--cache-root=" + root.path(), "--scenario=content", url,
              "--grant",
              "--second-url=http://localhost:" + std::to_string(port) + "/"});
  ASSERT_EQ(run.Finish(), 0) << run.Transcript();
  const std::vector<json> results = run.Events("result");
  ASSERT_EQ(results.size(), 2u) << run.Transcript();
  EXPECT_EQ(results[0]["result"]["notify"], "granted") << run.Transcript();
  EXPECT_EQ(results[0]["result"]["paste"], true);
  EXPECT_EQ(results[0]["result"]["autoplay"], "played");
  EXPECT_EQ(results[1]["url"],
            "http://localhost:" + std::to_string(port) + "/");
  EXPECT_EQ(results[1]["result"]["notify"], "denied") << run.Transcript();
  EXPECT_EQ(results[1]["result"]["paste"], false);
}

}  // namespace
