// Process roles from the command line, and the X error record's text.

#include <string>
#include <vector>

#include "app/process_role.h"
#include "app/x_errors.h"

#include <gtest/gtest.h>

namespace {

ProcessRole RoleOf(std::vector<const char*> args) {
  args.insert(args.begin(), "/opt/korvel/korvel");
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(static_cast<int>(args.size()), args.data());
  return GetProcessRole(line);
}

// The zygote forks renderers, so it runs the renderer's side too; no other
// process may take the browser's role (it would start a backend). (No type
// and the renderer: every end-to-end test runs them.)
TEST(ProcessRoleTest, TypeSwitchPicksTheRole) {
  EXPECT_EQ(RoleOf({"--type=zygote"}), ProcessRole::Renderer);
  EXPECT_EQ(RoleOf({"--type=gpu-process"}), ProcessRole::Other);
  EXPECT_EQ(RoleOf({"--type="}), ProcessRole::Other);
}

TEST(XErrorTest, RecordNamesEveryFieldAsANumber) {
  // BadWindow (3) for request 255 on a long-lived connection.
  EXPECT_EQ(DescribeXError(0, 4294967296UL + 17, 3, 255, 0),
            "X error received: type 0, serial 4294967313, error_code 3, "
            "request_code 255, minor_code 0");
}

}  // namespace
