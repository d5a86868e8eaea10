#include "tests/backend/backend_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "app/data_paths.h"
#include "backend/backend_launcher.h"
#include "backend/backend_state.h"
#include "tests/instance/recording_client_actions.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const char* const kSteeringVariables[] = {
    "KORVEL_TEST_REPORT_DIR", "KORVEL_TEST_KEEP_ORPHANED", "KORVEL_TEST_OUTPUT",
    "KORVEL_TEST_EXIT"};

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
  for (pid_t child : OwnChildren()) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
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
                                  std::chrono::milliseconds timeout) {
  std::string path = reportDir_ + "/" + std::to_string(pid) + ".report";
  Stopwatch watch;
  while (access(path.c_str(), F_OK) != 0) {
    if (watch.ElapsedMs() > timeout.count()) {
      return Report();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
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

pid_t BackendFixture::CurrentBackendPid() {
  std::lock_guard<std::mutex> lock(backendMutex);
  return backendState.backendPid;
}

std::vector<pid_t> BackendFixture::OwnChildren() {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    pid_t pid = atoi(entry.path().filename().c_str());
    if (pid <= 0) {
      continue;
    }
    std::ifstream stat(entry.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)),
                     std::istreambuf_iterator<char>());
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    std::string::size_type close = text.rfind(')');
    if (close == std::string::npos) {
      continue;
    }
    char state = 0;
    int parent = 0;
    if (sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
        parent == getpid()) {
      children.push_back(pid);
    }
  }
  return children;
}

SpawnedProcess::~SpawnedProcess() {
  Kill();
  Wait();
  if (output_ >= 0) {
    close(output_);
  }
}

bool SpawnedProcess::Start(const std::vector<std::string>& argv) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
  std::vector<char*> args;
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  int failed =
      posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  output_ = ends[0];
  if (failed != 0) {
    pid_ = -1;
    return false;
  }
  return true;
}

std::string SpawnedProcess::ReadLine(std::chrono::milliseconds timeout) {
  Stopwatch watch;
  for (;;) {
    std::string::size_type end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    long long left = timeout.count() - watch.ElapsedMs();
    pollfd waiting = {output_, POLLIN, 0};
    if (left <= 0 || poll(&waiting, 1, static_cast<int>(left)) <= 0) {
      return std::string();
    }
    char buffer[256];
    ssize_t count = read(output_, buffer, sizeof(buffer));
    if (count <= 0) {
      return std::string();
    }
    pending_.append(buffer, count);
  }
}

int SpawnedProcess::Wait() {
  if (pid_ <= 0) {
    return -1;
  }
  int status = 0;
  pid_t result;
  while ((result = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return result < 0 ? -1 : status;
}

void SpawnedProcess::Kill() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
  }
}

OrphanGuard::~OrphanGuard() {
  if (!reaped_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    int status;
    WaitForEnd(std::chrono::milliseconds(5000), status);
  }
}

bool OrphanGuard::WaitForEnd(std::chrono::milliseconds timeout, int& status) {
  Stopwatch watch;
  while (watch.ElapsedMs() <= timeout.count()) {
    pid_t result = waitpid(pid_, &status, WNOHANG);
    if (result == pid_) {
      reaped_ = true;
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}
