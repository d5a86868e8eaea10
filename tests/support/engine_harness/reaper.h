// Makes the test process adopt the orphans of its children, and kills and
// reaps them when the test is over.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_REAPER_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_REAPER_H_

#include <sys/types.h>

#include <vector>

namespace engine_test {

// The engine's helper processes outlive the app that started them when it
// is killed; as a subreaper the test process inherits them instead of init,
// so nothing survives the test. Create it before the children it guards and
// let it go after them.
class Reaper {
 public:
  Reaper();
  // Kills and reaps every child of this process, adopted ones included.
  ~Reaper();
  Reaper(const Reaper&) = delete;
  Reaper& operator=(const Reaper&) = delete;
};

// The processes whose parent is |parent|, read from /proc.
std::vector<pid_t> ChildrenOf(pid_t parent);

// The live processes below |root| (itself included), leaving out |skip| and
// everything below those. Zombies have ended and are left out.
std::vector<pid_t> ProcessTree(pid_t root, const std::vector<pid_t>& skip = {});

// Everything below this test process, which must be a subreaper (Reaper) so
// that the orphans of an ended shell land here: the zombies among its
// children are reaped first, so only call it once every shell the test
// started has been waited for or still runs.
std::vector<pid_t> ProcessesBelowTest();

// Kills and reaps every child of this process until none is left (a dying
// child can hand this subreaper new orphans, hence the rounds).
void KillAndReapAllChildren();

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_REAPER_H_
