#include "tests/bridge/korvel_fixture.h"

#include <linux/magic.h>
#include <stdlib.h>
#include <sys/statfs.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/data_paths.h"
#include "backend/http_client.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {

namespace {

using nlohmann::json;

void Write(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

bool Request(const std::string& method,
             const std::string& path,
             const std::string& body,
             HttpResponse& response) {
  return SendHttpRequest(BackendBaseUrl() + path, method,
                         {{"Content-Type", "application/json"}}, body,
                         response);
}

}  // namespace

void KorvelFixture::SetUp() {
  // Never the real user's files: the data directory must be on the private
  // tmpfs home.
  const std::string data = GetDataDir();
  ASSERT_FALSE(data.empty());
  struct statfs home;
  ASSERT_EQ(statfs(std::filesystem::path(data).parent_path().c_str(), &home),
            0);
  ASSERT_EQ(home.f_type, static_cast<decltype(home.f_type)>(TMPFS_MAGIC))
      << "not a private home: " << data;
  // A release of the substitute backend, as an installer leaves it.
  const std::filesystem::path runtime =
      std::filesystem::path(data) / ".korvel-cn" / "runtime";
  Write(runtime / "current.production.json",
        R"({"entryPath": "releases/600/entry.json", "version": 600})");
  Write(runtime / "releases/600/entry.json",
        R"({"relativeExecutable": "korvel-backend"})");
  std::filesystem::create_symlink(KORVEL_BACKEND_PATH,
                                  runtime / "releases/600/korvel-backend");
  work_.Write("loading.pixel", std::string("\x40\x00\x20\x00", 4) +
                                   std::string(64 * 32 * 4, '\x7f'));
  SetNextBackend(json::object());
  setenv("KORVEL_BACKEND_SETTINGS_FILE",
         (work_.path() + "/backend.json").c_str(), 1);
  setenv("KORVEL_BACKEND_QUIET", "true", 1);
}

void KorvelFixture::TearDown() {
  runs_.clear();
  std::filesystem::remove_all(GetDataDir());
}

ChildProcess& KorvelFixture::Start(const std::string& appPage) {
  setenv("KORVEL_BACKEND_APP_PAGE", appPage.c_str(), 1);
  runs_.push_back(std::make_unique<ChildProcess>(
      std::vector<std::string>{"/usr/bin/env", "--chdir=" + work_.path(),
                               KORVEL_EXECUTABLE},
      work_.path() + "/stderr-" + std::to_string(runs_.size()) + ".log"));
  return *runs_.back();
}

unsigned long KorvelFixture::WaitForMainWindow() {
  std::vector<unsigned long> windows;
  WaitUntil(
      [&] {
        windows = WindowsOfClass("KorVel");
        return !windows.empty();
      },
      milliseconds(20000));
  return windows.empty() ? 0 : windows[0];
}

unsigned long KorvelFixture::StartApp(ChildProcess*& shell) {
  shell = &Start();
  const unsigned long main = WaitForMainWindow();
  if (!main || RunInPage("return 'ready'").value("value", "") != "ready") {
    return 0;
  }
  return main;
}

bool KorvelFixture::ShowFromPage(unsigned long main) {
  Eval("korvel.show()");
  return WaitUntil([&] { return MapState(main) == "IsViewable"; });
}

bool KorvelFixture::ActivatePage(unsigned long main) {
  const Geometry g = GetGeometry(main);
  return WaitUntil([&] {
    Shell("xdotool mousemove " + std::to_string(g.x + 600) + " " +
          std::to_string(g.y + 400) + " click 1");
    return Eval("return navigator.userActivation.hasBeenActive") == true;
  });
}

json KorvelFixture::RunInPage(const std::string& code,
                              const std::string& target,
                              milliseconds timeout) {
  const int seq = ++lastSeq_;
  HttpResponse posted;
  if (!Request("POST", "/__control/page/command",
               json{{"code", code}, {"target", target}, {"seq", seq}}.dump(),
               posted) ||
      posted.status != 200) {
    return json{{"error", "the backend took no command"}};
  }
  json result = {{"timeout", true}};
  WaitUntil(
      [&] {
        HttpResponse answer;
        if (!Request("GET", "/__control/page/result?seq=" + std::to_string(seq),
                     "", answer) ||
            answer.status != 200) {
          return false;
        }
        result = json::parse(answer.body, nullptr, false);
        return true;
      },
      timeout);
  return result;
}

json KorvelFixture::Eval(const std::string& code, const std::string& target) {
  const json result = RunInPage(code, target);
  EXPECT_TRUE(result.contains("value") || result.contains("undefined"))
      << code << " -> " << result.dump();
  return result.value("value", json());
}

void KorvelFixture::SetNextBackend(const json& settings) {
  work_.Write("backend.json", settings.dump());
}

bool KorvelFixture::Control(const std::string& path, const json& body) {
  HttpResponse response;
  return Request("POST", "/__control/" + path, body.dump(), response) &&
         response.status == 200;
}

std::vector<pid_t> KorvelFixture::BackendsOf(pid_t parent) {
  std::istringstream pids(
      Shell("pgrep -P " + std::to_string(parent) + " -x korvel-backend"));
  std::vector<pid_t> found;
  for (pid_t pid; pids >> pid;) {
    found.push_back(pid);
  }
  return found;
}

}  // namespace engine_test
