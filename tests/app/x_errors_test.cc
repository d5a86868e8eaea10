// The X error handlers on a real X server: an error is one warning record
// in the engine's log format and the process goes on.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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
    // One record, every field a number, in the engine's log format.
    const std::string log = ReadFile(dir.path() + "/engine.log");
    EXPECT_EQ(Count(log, record + "type 0, serial "), reinstalled ? 1u : 0u)
        << log;
    EXPECT_EQ(Count(log, ", error_code 3, request_code 8, minor_code 0\n"),
              reinstalled ? 1u : 0u)
        << log;
  }
}

}  // namespace
