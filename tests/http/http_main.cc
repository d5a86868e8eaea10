// Runs the HTTP client tests with "localhost" naming both loopback
// addresses, ::1 and 127.0.0.1, whatever the machine's hosts file says: the
// process moves into a private mount namespace and lays its own hosts file
// over /etc/hosts there. The machine's file is never touched.

#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "tests/http/hosts_setup.h"

namespace {

std::string g_hostsError = "not set up";

std::string SetUpHosts() {
  if (unshare(CLONE_NEWNS) != 0) {
    return std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
  }
  // Private first, so that the bind mount below stays in this namespace.
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return std::string("making mounts private: ") + std::strerror(errno);
  }
  char path[] = "/tmp/korvel-hosts-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) {
    return std::string("mkstemp: ") + std::strerror(errno);
  }
  close(fd);
  std::ofstream(path) << "127.0.0.1 localhost\n::1 localhost\n";
  int result = mount(path, "/etc/hosts", nullptr, MS_BIND, nullptr);
  int error = errno;
  unlink(path);
  if (result != 0) {
    return std::string("bind mount over /etc/hosts: ") + std::strerror(error);
  }
  return std::string();
}

}  // namespace

const std::string& HostsSetupError() {
  return g_hostsError;
}

int main(int argc, char** argv) {
  g_hostsError = SetUpHosts();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
