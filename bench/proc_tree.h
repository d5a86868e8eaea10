// What a program's process tree costs: proportional set size, open
// descriptors and threads, summed over a process and its descendants.

#ifndef KORVEL_BENCH_PROC_TREE_H_
#define KORVEL_BENCH_PROC_TREE_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace bench {

struct TreeCost {
  int processes = 0;
  double pssMb = 0;
  // Pages of its own (private clean and dirty), shared with no process.
  // Library pages count here too while no other process maps them, so both
  // this and PSS move with what else runs on the machine.
  double ussMb = 0;
  // The anonymous and shared-memory part of PSS (the program's own heaps
  // and buffers): what other programs using the same libraries leave alone.
  double anonMb = 0;
  int fds = 0;
  int threads = 0;
};

// `root` and every descendant, leaving out any process named `skip` (its
// comm) together with its own descendants.
std::vector<pid_t> ProcessTree(pid_t root, const std::string& skip = "");

// The summed cost of `pids` (from /proc/<pid>/smaps_rollup, fd/, status).
TreeCost MeasureTree(const std::vector<pid_t>& pids);

// The children of `parent` named `comm`.
std::vector<pid_t> ChildrenNamed(pid_t parent, const std::string& comm);

}  // namespace bench

#endif  // KORVEL_BENCH_PROC_TREE_H_
