// A stand-in backend for launcher tests. Started by the launcher with no
// arguments, it is steered by the environment:
//   KORVEL_TEST_REPORT_DIR  write "<dir>/<pid>.report" describing how it
//                           was started: working directory, arguments, open
//                           descriptors, blocked signals, what fd 1 and 2 are
//   KORVEL_TEST_KEEP_ORPHANED  drop the parent-death signal first, so that
//                           only an explicit kill ends it
//   KORVEL_TEST_FLOOD       first write this many bytes of log text to stdout
//                           as fast as it can, then "<dir>/<pid>.flood" with
//                           the bytes written and the time it took
//   KORVEL_TEST_SPLIT_TOKEN first write a log line whose reopen token is
//                           split over two writes, each read on its own
//   KORVEL_TEST_OUTPUT      write this text to stdout in one write, and once
//                           it has been read, create "<dir>/<pid>.written"
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
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

// Written aside and renamed, so that a reader never sees half a file.
void WriteFileAtomically(const std::string& path, const std::string& text) {
  {
    std::ofstream out(path + ".tmp");
    out << text;
  }
  rename((path + ".tmp").c_str(), path.c_str());
}

std::string OwnFile(const char* dir, const char* kind) {
  return std::string(dir) + "/" + std::to_string(getpid()) + "." + kind;
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
  WriteFileAtomically(OwnFile(dir, "report"), report.str());
}

bool WriteAll(const char* data, size_t size) {
  while (size > 0) {
    ssize_t written = write(1, data, size);
    if (written < 0) {
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Waits until the reader has taken everything written so far, so that the
// next write arrives in a read of its own.
bool WaitForDrain() {
  for (int i = 0; i < 30000; ++i) {
    int pending = 0;
    if (ioctl(1, FIONREAD, &pending) != 0) {
      return false;
    }
    if (pending == 0) {
      return true;
    }
    usleep(1000);
  }
  return false;
}

long long NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000ll + now.tv_nsec / 1000000;
}

// Log lines in 64 KiB writes, the way a busy server logs.
bool Flood(const char* dir, long long total) {
  std::string block;
  while (block.size() < 65536 - 64) {
    block += "2024-05-01T10:00:00Z worker " + std::to_string(block.size()) +
             " handled GET /api/items in 3 ms\n";
  }
  long long start = NowMs();
  long long written = 0;
  while (written < total) {
    size_t size = static_cast<size_t>(std::min<long long>(
        total - written, static_cast<long long>(block.size())));
    if (!WriteAll(block.data(), size)) {
      break;
    }
    written += static_cast<long long>(size);
  }
  long long elapsed = NowMs() - start;
  if (dir != nullptr) {
    WriteFileAtomically(OwnFile(dir, "flood"),
                        "bytes=" + std::to_string(written) +
                            "\nms=" + std::to_string(elapsed) + "\n");
  }
  return written == total;
}

}  // namespace

int main(int argc, char** argv) {
  if (getenv("KORVEL_TEST_KEEP_ORPHANED") != nullptr) {
    prctl(PR_SET_PDEATHSIG, 0);
  }
  const char* dir = getenv("KORVEL_TEST_REPORT_DIR");
  if (dir != nullptr) {
    WriteReport(dir, argc, argv);
  }
  if (const char* bytes = getenv("KORVEL_TEST_FLOOD")) {
    if (!Flood(dir, atoll(bytes)) || !WaitForDrain()) {
      return 3;
    }
  }
  if (getenv("KORVEL_TEST_SPLIT_TOKEN") != nullptr) {
    static const char kFirst[] =
        "2024-05-01T10:00:01Z second start\nkorvel:reo";
    static const char kSecond[] = "pen\r\n2024-05-01T10:00:01Z noted\n";
    if (!WriteAll(kFirst, strlen(kFirst)) || !WaitForDrain() ||
        !WriteAll(kSecond, strlen(kSecond)) || !WaitForDrain()) {
      return 3;
    }
  }
  if (const char* text = getenv("KORVEL_TEST_OUTPUT")) {
    if (write(1, text, strlen(text)) < 0 || !WaitForDrain()) {
      return 3;
    }
    if (dir != nullptr) {
      WriteFileAtomically(OwnFile(dir, "written"), "written=1\n");
    }
  }
  for (;;) {
    pause();
  }
}
