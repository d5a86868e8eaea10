// The X error handlers on a real X server: an error is one warning record
// in the engine's log format and the process goes on.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "app/x_errors.h"
#include "tests/app/bad_window.h"
#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

using engine_test::ReadFile;

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

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
  const std::string record = ReadFile(log);
  EXPECT_NE(record.find(":WARNING:korvel_linux(19)] X error received: "
                        "type 0, serial "),
            std::string::npos)
      << record;
  EXPECT_NE(record.find(", error_code 3, request_code 8, minor_code 0\n"),
            std::string::npos)
      << record;
  EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 1) << record;
}

// The engine's toolkit replaces the handlers when it opens its display; an X
// error after start-up must still reach the log as the shell's record while
// the process goes on. The --plain run shows that the engine does replace
// them, so that the first run proves the re-installation.
TEST(XErrorHandlerTest, ErrorAfterEngineStartIsStillLogged) {
  const std::string record = ":WARNING:korvel_linux(19)] X error received: ";
  for (const bool reinstalled : {true, false}) {
    engine_test::TempDir dir("korvel-x-errors");
    std::vector<std::string> argv = {X_ERRORS_APP,
                                     "--cache-root=" + dir.path()};
    if (!reinstalled) {
      argv.push_back("--plain");
    }
    engine_test::ChildProcess app(argv);
    const std::optional<int> status =
        app.WaitForExit(engine_test::milliseconds(60000));
    ASSERT_TRUE(status.has_value());
    ASSERT_EQ(engine_test::DescribeStatus(*status), "exit 0");
    const std::string log = ReadFile(dir.path() + "/engine.log");
    EXPECT_EQ(Count(log, record), reinstalled ? 1u : 0u) << log;
  }
}

}  // namespace
