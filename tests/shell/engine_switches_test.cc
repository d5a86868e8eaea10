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

// The shell's switches come without values, and there is no DevTools
// endpoint unless the user asks for one: any local process could drive the
// pages through it, and they run without web security.
TEST(EngineSwitchesTest, BareCommandLineGetsNoDebuggingPort) {
  CefRefPtr<CefCommandLine> line = CommandLine({});
  ApplyEngineSwitches(line);
  EXPECT_TRUE(line->HasSwitch("disable-web-security"));
  EXPECT_EQ(Value(line, "disable-web-security"), "");
  EXPECT_FALSE(line->HasSwitch("remote-debugging-port"));
  EXPECT_EQ(Value(line, "js-flags"), "--expose_gc");
  EXPECT_EQ(Value(line, "class"), "KorVel");
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
  EXPECT_EQ(Value(line, "enable-features"),
            "AudioServiceInProcess,Bar,NetworkServiceInProcess,"
            "StorageServiceInProcess,TracingServiceInProcess");
  const std::string once = line->GetCommandLineString().ToString();
  ApplyEngineSwitches(line);
  EXPECT_EQ(line->GetCommandLineString().ToString(), once);
}

TEST(EngineSwitchesTest, MergeLeavesCompleteAndEmptyListsAlone) {
  CefRefPtr<CefCommandLine> line = CommandLine({"--enable-features=A,B"});
  const std::string before = line->GetCommandLineString().ToString();
  MergeFeatureSwitch(line, "enable-features", {"B", "", "A"});
  EXPECT_EQ(line->GetCommandLineString().ToString(), before);
  MergeFeatureSwitch(line, "disable-features", {"", ""});
  EXPECT_FALSE(line->HasSwitch("disable-features"));
  // Case matters and nothing is trimmed.
  MergeFeatureSwitch(line, "enable-features", {"a", " B"});
  EXPECT_EQ(Value(line, "enable-features"), "A,B,a, B");
}

// Whatever the command line already says wins over the shell's values.
TEST(EngineSwitchesTest, SwitchesGivenOnTheCommandLineAreKept) {
  CefRefPtr<CefCommandLine> line = CommandLine(
      {"--js-flags=--max-old-space-size=512", "--remote-debugging-port=9222",
       "--class=Other", "--disable-web-security=yes"});
  ApplyEngineSwitches(line);
  EXPECT_EQ(Value(line, "js-flags"), "--max-old-space-size=512");
  EXPECT_EQ(Value(line, "remote-debugging-port"), "9222");
  EXPECT_EQ(Value(line, "class"), "Other");
  EXPECT_EQ(Value(line, "disable-web-security"), "yes");
}

}  // namespace
