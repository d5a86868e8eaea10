// The processes a test's shell leaves running, read from /proc.

#ifndef KORVEL_TESTS_APP_PROCESS_TREE_H_
#define KORVEL_TESTS_APP_PROCESS_TREE_H_

#include <sys/types.h>

#include <vector>

namespace engine_test {

// The live processes below |root| (itself included), leaving out |skip| and
// everything below those. Zombies have ended and are left out.
std::vector<pid_t> ProcessTree(pid_t root, const std::vector<pid_t>& skip = {});

// Everything below this test process, which must be a subreaper (Reaper) so
// that the orphans of an ended shell land here: the zombies among its
// children are reaped first, so only call it once every shell the test
// started has been waited for or still runs.
std::vector<pid_t> ProcessesBelowTest();

}  // namespace engine_test

#endif  // KORVEL_TESTS_APP_PROCESS_TREE_H_
