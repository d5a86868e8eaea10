#include "bench/proc_tree.h"

#include <dirent.h>

#include <fstream>
#include <map>
#include <sstream>

namespace bench {

namespace {

struct ProcInfo {
  pid_t ppid;
  std::string comm;
};

// Every process's parent and name, read at one moment.
std::map<pid_t, ProcInfo> AllProcesses() {
  std::map<pid_t, ProcInfo> all;
  DIR* proc = opendir("/proc");
  if (!proc) {
    return all;
  }
  while (dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) {
      continue;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
      continue;
    }
    // The name sits in parentheses and may hold spaces or parentheses.
    const size_t open = line.find('(');
    const size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) {
      continue;
    }
    std::istringstream rest(line.substr(close + 2));
    char state;
    int ppid = 0;
    rest >> state >> ppid;
    all[pid] = {static_cast<pid_t>(ppid),
                line.substr(open + 1, close - open - 1)};
  }
  closedir(proc);
  return all;
}

int CountEntries(const std::string& dir) {
  DIR* d = opendir(dir.c_str());
  if (!d) {
    return 0;
  }
  int count = 0;
  while (dirent* entry = readdir(d)) {
    count += entry->d_name[0] != '.';
  }
  closedir(d);
  return count;
}

}  // namespace

std::vector<pid_t> ProcessTree(pid_t root, const std::string& skip) {
  const std::map<pid_t, ProcInfo> all = AllProcesses();
  std::vector<pid_t> tree;
  if (!all.count(root)) {
    return tree;
  }
  tree.push_back(root);
  for (size_t i = 0; i < tree.size(); ++i) {
    for (const auto& [pid, info] : all) {
      if (info.ppid == tree[i] && (skip.empty() || info.comm != skip)) {
        tree.push_back(pid);
      }
    }
  }
  return tree;
}

TreeCost MeasureTree(const std::vector<pid_t>& pids) {
  TreeCost cost;
  for (pid_t pid : pids) {
    const std::string base = "/proc/" + std::to_string(pid);
    std::ifstream rollup(base + "/smaps_rollup");
    std::string key;
    long kb = 0;
    bool seen = false;
    std::getline(rollup, key);  // the address range line
    while (rollup >> key >> kb) {
      if (key == "Pss:") {
        cost.pssMb += kb / 1024.0;
        seen = true;
      } else if (key == "Pss_Anon:" || key == "Pss_Shmem:") {
        cost.anonMb += kb / 1024.0;
      } else if (key == "Private_Clean:" || key == "Private_Dirty:") {
        cost.ussMb += kb / 1024.0;
      }
      rollup.ignore(64, '\n');
    }
    if (!seen) {
      continue;  // gone meanwhile
    }
    ++cost.processes;
    cost.fds += CountEntries(base + "/fd");
    cost.threads += CountEntries(base + "/task");
  }
  return cost;
}

std::vector<pid_t> ChildrenNamed(pid_t parent, const std::string& comm) {
  std::vector<pid_t> found;
  for (const auto& [pid, info] : AllProcesses()) {
    if (info.ppid == parent && info.comm == comm) {
      found.push_back(pid);
    }
  }
  return found;
}

}  // namespace bench
