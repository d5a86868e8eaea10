// OpenExternally against a stand-in xdg-open placed first on PATH, which
// records what it was given and what it inherited.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/url_policy.h"
#include "tests/support/engine_harness/stand_in_opener.h"
#include "tests/support/engine_harness/wait_until.h"

namespace {

using engine_test::StandInOpener;
using engine_test::WaitUntil;
using std::chrono::milliseconds;

class OpenExternallyTest : public ::testing::Test {
 protected:
  // Waits for the opener to finish its record; its pid, or 0.
  pid_t WaitForRecord() {
    if (!WaitUntil([&] { return !opener_.Recorded("pid").empty(); },
                   milliseconds(10000))) {
      return 0;
    }
    return static_cast<pid_t>(atoi(opener_.Recorded("pid").c_str()));
  }

  StandInOpener opener_;
};

// Only web and mail addresses reach the desktop: a file or a scheme that a
// local program handles could run something at a page's request.
TEST_F(OpenExternallyTest, OnlyWebAndMailAddressesGoToTheDesktop) {
  for (const char* refused :
       {"file:///tmp/downloaded.desktop", "FILE:///etc/passwd",
        "javascript:alert(1)", "smb://host/share", "ssh://host",
        "vscode://file/x", "data:text/html,x", "not a url"}) {
    OpenExternally(refused);
  }
  OpenExternally("MAILTO:someone@example.com");
  ASSERT_NE(WaitForRecord(), 0);
  EXPECT_EQ(opener_.Opened(),
            std::vector<std::string>{"MAILTO:someone@example.com"});
}

// The caller never waits for the opener, the opener inherits neither the
// caller's descriptors, and it is reaped when done.
TEST_F(OpenExternallyTest, ReturnsAtOnceLeaksNothingAndReapsTheOpener) {
  setenv("OPENER_SLEEP", "1", 1);
  // A descriptor without close-on-exec, on a file that names itself.
  const std::string marker = opener_.dir() + "/inherited-marker";
  const int leaked = open(marker.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(leaked, 0);
  ASSERT_EQ(dup2(leaked, 77), 77);
  const auto start = std::chrono::steady_clock::now();
  OpenExternally("https://example.com/");
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(200));

  const pid_t pid = WaitForRecord();
  ASSERT_NE(pid, 0);
  close(leaked);
  close(77);
  const std::string fds = opener_.Recorded("fds");
  EXPECT_NE(fds.find(" 2 -> "), std::string::npos) << fds;
  EXPECT_EQ(fds.find("inherited-marker"), std::string::npos) << fds;
  // No zombie is left behind once the opener has exited.
  const std::string proc = "/proc/" + std::to_string(pid);
  EXPECT_TRUE(WaitUntil([&] { return access(proc.c_str(), F_OK) != 0; },
                        milliseconds(5000)));
}

}  // namespace
