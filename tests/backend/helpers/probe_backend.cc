// A stand-in backend for launcher tests. Started by the launcher with no
// arguments, it is steered by the environment:
//   KORVEL_TEST_REPORT_DIR  write "<dir>/<pid>.report" describing how it
//                           was started: working directory, arguments, open
//                           descriptors, blocked signals, what fd 1 and 2 are
//   KORVEL_TEST_KEEP_ORPHANED  drop the parent-death signal first, so that
//                           only an explicit kill ends it
//   KORVEL_TEST_OUTPUT      write this text to stdout in one write
//   KORVEL_TEST_EXIT        exit with this status instead of sleeping
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string OpenDescriptors() {
  std::string list;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) {
    return "?";
  }
  int own = dirfd(dir);
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.' || atoi(entry->d_name) == own) {
      continue;
    }
    list += list.empty() ? "" : ",";
    list += entry->d_name;
  }
  closedir(dir);
  return list;
}

std::string LinkTarget(const char* path) {
  char buffer[PATH_MAX] = {};
  ssize_t size = readlink(path, buffer, sizeof(buffer) - 1);
  return size > 0 ? std::string(buffer, size) : std::string();
}

std::string BlockedSignals() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigBlk:", 0) == 0) {
      return line.substr(line.find_first_not_of(" \t", 7));
    }
  }
  return "?";
}

void WriteReport(const char* dir, int argc, char** argv) {
  char cwd[PATH_MAX] = {};
  if (getcwd(cwd, sizeof(cwd)) == nullptr) {
    cwd[0] = '\0';
  }
  std::ostringstream report;
  report << "cwd=" << cwd << "\nargc=" << argc << "\nargv0=" << argv[0]
         << "\nfds=" << OpenDescriptors() << "\nsigblk=" << BlockedSignals()
         << "\nstdout=" << LinkTarget("/proc/self/fd/1")
         << "\nstderr=" << LinkTarget("/proc/self/fd/2") << "\n";
  // Written aside and renamed, so that a reader never sees half a report.
  std::string base = std::string(dir) + "/" + std::to_string(getpid());
  {
    std::ofstream out(base + ".tmp");
    out << report.str();
  }
  rename((base + ".tmp").c_str(), (base + ".report").c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (getenv("KORVEL_TEST_KEEP_ORPHANED") != nullptr) {
    prctl(PR_SET_PDEATHSIG, 0);
  }
  if (const char* dir = getenv("KORVEL_TEST_REPORT_DIR")) {
    WriteReport(dir, argc, argv);
  }
  if (const char* text = getenv("KORVEL_TEST_OUTPUT")) {
    if (write(1, text, strlen(text)) < 0) {
      return 3;
    }
  }
  if (const char* status = getenv("KORVEL_TEST_EXIT")) {
    return atoi(status);
  }
  for (;;) {
    pause();
  }
}
