// The X error handlers on a real X server: an error is one warning record
// in the engine's log format and the process goes on.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/x_errors.h"
#include "tests/app/bad_window.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

TEST(XErrorHandlerTest, BadWindowIsLoggedOnceAndSurvived) {
  engine_test::TempDir dir("korvel-x-errors");
  const std::string log = dir.path() + "/stderr";
  InstallXErrorHandlers();
  // Before the engine has a log file, its records go to stderr.
  fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  const int file = open(log.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  dup2(file, STDERR_FILENO);
  close(file);
  const bool mapped = MapMissingWindow();
  dup2(saved, STDERR_FILENO);
  close(saved);
  ASSERT_TRUE(mapped);

  // Still here: Xlib's default handler would have ended the process.
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  const std::string record = text.str();
  EXPECT_NE(record.find(":WARNING:korvel_linux(19)] X error received: "
                        "type 0, serial "),
            std::string::npos)
      << record;
  EXPECT_NE(record.find(", error_code 3, request_code 8, minor_code 0\n"),
            std::string::npos)
      << record;
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 1) << record;
}

}  // namespace
