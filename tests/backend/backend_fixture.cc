#include "tests/backend/backend_fixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "app/data_paths.h"
#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "tests/instance/recording_client_actions.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/wait_until.h"

namespace {

namespace fs = std::filesystem;

const char* const kSteeringVariables[] = {
    "KORVEL_TEST_REPORT_DIR", "KORVEL_TEST_KEEP_ORPHANED", "KORVEL_TEST_OUTPUT",
    "KORVEL_TEST_FLOOD", "KORVEL_TEST_SPLIT_TOKEN"};

}  // namespace

void BackendFixture::SetUp() {
  if (access(defaultBackendPath, F_OK) == 0) {
    GTEST_SKIP() << defaultBackendPath
                 << " exists: the launcher would start that installed "
                    "backend instead of the test helper";
  }
  char pattern[] = "/tmp/korvel-backend-test.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  root_ = pattern;
  dataDir_ = root_ + "/data";
  workDir_ = root_ + "/work";
  reportDir_ = root_ + "/reports";
  fs::create_directories(dataDir_);
  fs::create_directories(workDir_);
  fs::create_directories(reportDir_);
  SetDataDirForTesting(dataDir_);

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  previousDir_ = cwd;
  ASSERT_EQ(chdir(workDir_.c_str()), 0);
  UseBackend(PROBE_BACKEND);

  for (const char* name : kSteeringVariables) {
    unsetenv(name);
  }
  setenv("KORVEL_TEST_REPORT_DIR", reportDir_.c_str(), 1);
  recording::Reset();
}

void BackendFixture::TearDown() {
  if (root_.empty()) {
    return;
  }
  KillBackend();
  WaitForBackendState(false, 5000);
  {
    std::lock_guard<std::mutex> lock(backendMutex);
    backendState.restartInProgress = false;
    backendState.expectedExit = false;
  }
  // The launcher reports an exit to the client just after the state change.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Whatever else is left (port holders of exited backends) goes too.
  engine_test::KillAndReapAllChildren();
  for (const char* name : kSteeringVariables) {
    unsetenv(name);
  }
  if (!previousDir_.empty()) {
    EXPECT_EQ(chdir(previousDir_.c_str()), 0);
  }
  SetDataDirForTesting("");
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void BackendFixture::UseBackend(const std::string& executable) {
  std::string link = workDir_ + "/korvel-backend";
  unlink(link.c_str());
  ASSERT_EQ(symlink(executable.c_str(), link.c_str()), 0);
}

std::vector<pid_t> BackendFixture::ReportedPids() {
  std::vector<pid_t> pids;
  for (const auto& entry : fs::directory_iterator(reportDir_)) {
    if (entry.path().extension() == ".report") {
      pids.push_back(atoi(entry.path().stem().c_str()));
    }
  }
  return pids;
}

Report BackendFixture::ReadReport(pid_t pid,
                                  std::chrono::milliseconds timeout,
                                  const std::string& kind) {
  std::string path = reportDir_ + "/" + std::to_string(pid) + "." + kind;
  if (!engine_test::WaitUntil(
          [&path] { return access(path.c_str(), F_OK) == 0; }, timeout)) {
    return Report();
  }
  Report report;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::string::size_type equals = line.find('=');
    if (equals != std::string::npos) {
      report[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return report;
}

std::string HttpAnswer(int status, const std::string& body) {
  return "HTTP/1.1 " + std::to_string(status) +
         " Scripted\r\nContent-Type: application/json\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

pid_t BackendFixture::CurrentBackendPid() {
  std::lock_guard<std::mutex> lock(backendMutex);
  return backendState.backendPid;
}

pid_t BackendFixture::StartAndWait() {
  StartBackend();
  EXPECT_TRUE(WaitForBackendState(true, 5000));
  return CurrentBackendPid();
}
