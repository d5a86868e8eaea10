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

TEST(ProcessRoleTest, TypeSwitchPicksTheRole) {
  EXPECT_EQ(RoleOf({}), ProcessRole::Browser);
  EXPECT_EQ(RoleOf({"--type=renderer"}), ProcessRole::Renderer);
  EXPECT_EQ(RoleOf({"--type=zygote"}), ProcessRole::Renderer);
  EXPECT_EQ(RoleOf({"--type=gpu-process"}), ProcessRole::Other);
  // Exact and case-sensitive; an empty type is some other process.
  EXPECT_EQ(RoleOf({"--type=Renderer"}), ProcessRole::Other);
  EXPECT_EQ(RoleOf({"--type="}), ProcessRole::Other);
}

TEST(XErrorTest, RecordNamesEveryFieldAsANumber) {
  // BadWindow (3) for request 255 on a long-lived connection.
  EXPECT_EQ(DescribeXError(0, 4294967296UL + 17, 3, 255, 0),
            "X error received: type 0, serial 4294967313, error_code 3, "
            "request_code 255, minor_code 0");
}

}  // namespace
