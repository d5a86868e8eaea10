#include "tests/support/engine_harness/reaper.h"

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

struct Process {
  pid_t pid = 0;
  pid_t parent = 0;
  char state = 0;
};

// Every process's pid, parent and state, read from /proc.
std::vector<Process> Processes() {
  std::vector<Process> processes;
  DIR* proc = opendir("/proc");
  if (!proc) {
    return processes;
  }
  while (dirent* entry = readdir(proc)) {
    Process process;
    process.pid = atoi(entry->d_name);
    if (process.pid <= 0) {
      continue;
    }
    std::ifstream stat("/proc/" + std::to_string(process.pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The command name may hold spaces and parentheses; the fields after
    // its last ')' are "state ppid ...".
    const size_t paren = line.rfind(')');
    if (paren == std::string::npos || paren + 2 >= line.size()) {
      continue;
    }
    std::istringstream rest(line.substr(paren + 2));
    rest >> process.state >> process.parent;
    processes.push_back(process);
  }
  closedir(proc);
  return processes;
}

}  // namespace

std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  for (const Process& process : Processes()) {
    if (process.parent == parent) {
      children.push_back(process.pid);
    }
  }
  return children;
}

std::vector<pid_t> ProcessTree(pid_t root, const std::vector<pid_t>& skip) {
  const std::vector<Process> processes = Processes();
  std::vector<pid_t> tree;
  std::vector<pid_t> pending = {root};
  while (!pending.empty()) {
    const pid_t pid = pending.back();
    pending.pop_back();
    if (std::find(skip.begin(), skip.end(), pid) != skip.end()) {
      continue;
    }
    tree.push_back(pid);
    for (const Process& process : processes) {
      if (process.parent == pid && process.state != 'Z') {
        pending.push_back(process.pid);
      }
    }
  }
  return tree;
}

std::vector<pid_t> ProcessesBelowTest() {
  for (const Process& process : Processes()) {
    if (process.parent == getpid() && process.state == 'Z') {
      waitpid(process.pid, nullptr, WNOHANG);
    }
  }
  std::vector<pid_t> below = ProcessTree(getpid());
  below.erase(std::remove(below.begin(), below.end(), getpid()), below.end());
  return below;
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
