// The shell's command-line edits on real engine command lines.

#include "shell/engine_switches.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

CefRefPtr<CefCommandLine> CommandLine(std::vector<const char*> args) {
  args.insert(args.begin(), "/usr/bin/korvel");
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(static_cast<int>(args.size()), args.data());
  return line;
}

std::string Value(CefRefPtr<CefCommandLine> line, const std::string& name) {
  return line->GetSwitchValue(name).ToString();
}

// The user's entries come first, without empties or repeats, then the
// shell's, none of them twice; applying the edits again changes nothing.
TEST(EngineSwitchesTest, FeatureListsAreMergedAfterTheUsersOwn) {
  CefRefPtr<CefCommandLine> line =
      CommandLine({"--disable-features=PasswordImport,Foo,,Foo",
                   "--enable-features=AudioServiceInProcess,Bar"});
  ApplyEngineSwitches(line);
  const std::string disabled = Value(line, "disable-features");
  EXPECT_EQ(disabled.rfind("PasswordImport,Foo,", 0), 0u) << disabled;
  EXPECT_EQ(disabled.find("PasswordImport", 1), std::string::npos);
  EXPECT_EQ(disabled.find("Foo", 16), std::string::npos);
  EXPECT_EQ(disabled.find(",,"), std::string::npos);
  const std::string enabled = Value(line, "enable-features");
  EXPECT_EQ(enabled.rfind("AudioServiceInProcess,Bar,", 0), 0u) << enabled;
  EXPECT_EQ(enabled.find("AudioServiceInProcess", 1), std::string::npos);
  const std::string once = line->GetCommandLineString().ToString();
  ApplyEngineSwitches(line);
  EXPECT_EQ(line->GetCommandLineString().ToString(), once);
}

// Whatever the command line already says wins over the shell's values.
TEST(EngineSwitchesTest, SwitchesGivenOnTheCommandLineAreKept) {
  CefRefPtr<CefCommandLine> line = CommandLine(
      {"--js-flags=--max-old-space-size=512", "--remote-debugging-port=9222"});
  ApplyEngineSwitches(line);
  EXPECT_EQ(Value(line, "js-flags"), "--max-old-space-size=512");
  EXPECT_EQ(Value(line, "remote-debugging-port"), "9222");
}

}  // namespace
