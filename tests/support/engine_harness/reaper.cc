#include "tests/support/engine_harness/reaper.h"

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace engine_test {

Reaper::Reaper() {
  prctl(PR_SET_CHILD_SUBREAPER, 1);
}

Reaper::~Reaper() {
  KillAndReapAllChildren();
}

std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  DIR* proc = opendir("/proc");
  if (!proc) {
    return children;
  }
  while (dirent* entry = readdir(proc)) {
    const pid_t pid = atoi(entry->d_name);
    if (pid <= 0) {
      continue;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The command name may hold spaces and parentheses; the fields after
    // its last ')' are "state ppid ...".
    const size_t paren = line.rfind(')');
    if (paren == std::string::npos || paren + 2 >= line.size()) {
      continue;
    }
    std::istringstream rest(line.substr(paren + 2));
    char state = 0;
    pid_t ppid = 0;
    rest >> state >> ppid;
    if (ppid == parent) {
      children.push_back(pid);
    }
  }
  closedir(proc);
  return children;
}

void KillAndReapAllChildren() {
  for (int round = 0; round < 100; ++round) {
    const std::vector<pid_t> children = ChildrenOf(getpid());
    if (children.empty()) {
      return;
    }
    for (pid_t pid : children) {
      kill(pid, SIGKILL);
    }
    for (pid_t pid : children) {
      waitpid(pid, nullptr, 0);
    }
  }
}

}  // namespace engine_test
