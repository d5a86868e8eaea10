#include "tests/app/process_tree.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace engine_test {

namespace {

struct ProcessEntry {
  pid_t pid = 0;
  char state = 0;
};

// Every process's parent, state and pid.
std::multimap<pid_t, ProcessEntry> ProcessesByParent() {
  std::multimap<pid_t, ProcessEntry> children;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) {
      continue;
    }
    // pid (comm) state ppid ...: the name may hold spaces and parentheses.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    ProcessEntry process;
    pid_t parent = 0;
    rest >> process.state >> parent;
    process.pid = std::stoi(name);
    children.emplace(parent, process);
  }
  return children;
}

}  // namespace

std::vector<pid_t> ProcessTree(pid_t root, const std::vector<pid_t>& skip) {
  const std::multimap<pid_t, ProcessEntry> children = ProcessesByParent();
  std::vector<pid_t> tree;
  std::vector<pid_t> pending = {root};
  while (!pending.empty()) {
    const pid_t pid = pending.back();
    pending.pop_back();
    if (std::find(skip.begin(), skip.end(), pid) != skip.end()) {
      continue;
    }
    tree.push_back(pid);
    auto [begin, end] = children.equal_range(pid);
    for (auto it = begin; it != end; ++it) {
      if (it->second.state != 'Z') {
        pending.push_back(it->second.pid);
      }
    }
  }
  return tree;
}

std::vector<pid_t> ProcessesBelowTest() {
  const std::multimap<pid_t, ProcessEntry> children = ProcessesByParent();
  auto [begin, end] = children.equal_range(getpid());
  for (auto it = begin; it != end; ++it) {
    if (it->second.state == 'Z') {
      waitpid(it->second.pid, nullptr, WNOHANG);
    }
  }
  std::vector<pid_t> below = ProcessTree(getpid());
  below.erase(std::remove(below.begin(), below.end(), getpid()), below.end());
  return below;
}

}  // namespace engine_test
