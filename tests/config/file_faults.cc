#include "tests/config/file_faults.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/support/engine_harness/child_process.h"

namespace file_faults {

namespace {

constexpr uid_t kNobody = 65534;

std::string Partner(const std::string& path) {
  return path + ".partner";
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

// Becomes an ordinary user when root. Runs in the forked child.
bool DropRoot() {
  if (geteuid() != 0) {
    return true;
  }
  return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 &&
         setuid(kNobody) == 0 && geteuid() == kNobody;
}

}  // namespace

const char* Name(Fault fault) {
  // In the order of the enumeration.
  static const char* const kNames[] = {
      "directory",           "mode 000",         "1 GiB sparse", "FIFO",
      "symlink loop of two", "symlink to itself"};
  return kNames[static_cast<int>(fault)];
}

void Remove(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  std::filesystem::remove_all(Partner(path), ignored);
}

bool Place(const std::string& path, Fault fault, const std::string& head) {
  Remove(path);
  switch (fault) {
    case Fault::kDirectory:
      return mkdir(path.c_str(), 0755) == 0;
    case Fault::kUnreadable:
    case Fault::kHugeSparse: {
      int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                    fault == Fault::kUnreadable ? 0 : 0644);
      if (fd < 0) {
        return false;
      }
      bool made = WriteAll(fd, head) && (fault == Fault::kUnreadable ||
                                         ftruncate(fd, kHugeBytes) == 0);
      close(fd);
      return made;
    }
    case Fault::kFifo:
      return mkfifo(path.c_str(), 0644) == 0;
    case Fault::kLoopOfTwo:
      return symlink(Partner(path).c_str(), path.c_str()) == 0 &&
             symlink(path.c_str(), Partner(path).c_str()) == 0;
    case Fault::kLoopToSelf:
      return symlink(path.c_str(), path.c_str()) == 0;
  }
  return false;
}

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return atol(line.c_str() + 6);
    }
  }
  return -1;
}

UserRead ReadAsUser(const std::function<std::string()>& read) {
  UserRead outcome;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    outcome.result = "no pipe";
    return outcome;
  }
  pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    // A read that blocks (a FIFO opened without O_NONBLOCK) ends as SIGALRM.
    alarm(30);
    std::string report;
    if (!DropRoot()) {
      report = "0\ncould not become uid 65534: " + std::string(strerror(errno));
    } else {
      long before = PeakResidentKb();
      std::string result = read();
      report = std::to_string(PeakResidentKb() - before) + "\n" + result;
    }
    _exit(WriteAll(ends[1], report) ? 0 : 1);
  }
  close(ends[1]);
  std::string report;
  char buffer[4096];
  ssize_t count;
  while ((count = ::read(ends[0], buffer, sizeof(buffer))) != 0) {
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0) {
      break;
    }
    report.append(buffer, static_cast<size_t>(count));
  }
  close(ends[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) {
    outcome.result = "no child";
    return outcome;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    outcome.result = engine_test::DescribeStatus(status);
    return outcome;
  }
  size_t newline = report.find('\n');
  outcome.peakGrowthKb = atol(report.substr(0, newline).c_str());
  outcome.result =
      newline == std::string::npos ? report : report.substr(newline + 1);
  return outcome;
}

Churn::Churn(const std::string& path,
             const std::string& head,
             const std::string& tail,
             size_t limit)
    : writer_([this, path, head, tail, limit] {
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
          return;
        }
        while (!stop_) {
          if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0 ||
              !WriteAll(fd, head)) {
            break;
          }
          for (size_t size = head.size(); size <= limit && !stop_;
               size += tail.size()) {
            if (!WriteAll(fd, tail)) {
              break;
            }
          }
          ++rounds_;
        }
        close(fd);
      }) {}

Churn::~Churn() {
  stop_ = true;
  writer_.join();
}

}  // namespace file_faults
