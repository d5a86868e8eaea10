#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "include/cef_command_line.h"
#include "src/base/command_line_global.h"

namespace {

std::vector<std::string> ToStrings(const std::vector<CefString>& list) {
  std::vector<std::string> out;
  for (const CefString& item : list) {
    out.push_back(item.ToString());
  }
  return out;
}

CefRefPtr<CefCommandLine> FromArgs(std::vector<const char*> args) {
  CefRefPtr<CefCommandLine> cl = CefCommandLine::CreateCommandLine();
  cl->InitFromArgv(static_cast<int>(args.size()), args.data());
  return cl;
}

TEST(CommandLineTest, ParsesSwitchesArgumentsAndTheTerminator) {
  CefRefPtr<CefCommandLine> cl =
      FromArgs({"/opt/korvel", "--a=b", "-c", "--d=x", "plain", "--d=y", "--",
                "--e", "-"});
  EXPECT_EQ(cl->GetProgram().ToString(), "/opt/korvel");
  EXPECT_TRUE(cl->HasSwitches());
  EXPECT_EQ(cl->GetSwitchValue("a").ToString(), "b");
  EXPECT_TRUE(cl->HasSwitch("c"));
  EXPECT_TRUE(cl->GetSwitchValue("c").empty());
  // The later duplicate wins.
  EXPECT_EQ(cl->GetSwitchValue("d").ToString(), "y");
  // After "--" nothing is a switch.
  EXPECT_FALSE(cl->HasSwitch("e"));
  EXPECT_TRUE(cl->HasArguments());
  CefCommandLine::ArgumentList args;
  cl->GetArguments(args);
  EXPECT_EQ(ToStrings(args), (std::vector<std::string>{"plain", "--e", "-"}));
  // Every element is kept; switches come before arguments.
  EXPECT_EQ(cl->GetCommandLineString().ToString(),
            "/opt/korvel --a=b -c --d=x --d=y plain -- --e -");
}

// Chromium 138 lower-cases switch names on every platform: a capitalised
// switch must still be found, and is written in lower case.
TEST(CommandLineTest, NamesAreLowerCased) {
  CefRefPtr<CefCommandLine> cl =
      FromArgs({"prog", "--Type=renderer", "--lang=DE", "  --spaced  "});
  EXPECT_TRUE(cl->HasSwitch("Type"));
  EXPECT_EQ(cl->GetSwitchValue("type").ToString(), "renderer");
  EXPECT_EQ(cl->GetSwitchValue("LANG").ToString(), "DE");
  EXPECT_TRUE(cl->HasSwitch("spaced"));
  cl->AppendSwitchWithValue("-Class", "KorVel");
  EXPECT_EQ(cl->GetCommandLineString().ToString(),
            "prog --type=renderer --lang=DE --spaced -class=KorVel");
}

TEST(CommandLineTest, AppendingReplacesValuesAndKeepsOrder) {
  CefRefPtr<CefCommandLine> cl = CefCommandLine::CreateCommandLine();
  cl->SetProgram("  /bin/app ");
  cl->AppendArgument("file.txt");
  cl->AppendSwitchWithValue("enable-features", "A,B");
  cl->AppendSwitch("no-sandbox");
  cl->AppendSwitchWithValue("enable-features", "C");
  cl->AppendSwitch("-single-dash");
  EXPECT_EQ(cl->GetSwitchValue("enable-features").ToString(), "C");
  EXPECT_TRUE(cl->HasSwitch("single-dash"));
  EXPECT_EQ(cl->GetCommandLineString().ToString(),
            "/bin/app --enable-features=A,B --no-sandbox --enable-features=C "
            "-single-dash file.txt");

  cl->PrependWrapper("gdb --args");
  EXPECT_EQ(cl->GetProgram().ToString(), "gdb");
  CefCommandLine::ArgumentList args;
  cl->GetArguments(args);
  EXPECT_EQ(ToStrings(args), (std::vector<std::string>{"file.txt"}));

  CefRefPtr<CefCommandLine> copy = cl->Copy();
  cl->Reset();
  EXPECT_EQ(cl->GetProgram().ToString(), "gdb");
  EXPECT_FALSE(cl->HasSwitches());
  EXPECT_FALSE(cl->HasArguments());
  EXPECT_EQ(copy->GetSwitchValue("enable-features").ToString(), "C");
}

TEST(CommandLineTest, GlobalCommandLineIsReadOnlyAndUpdatable) {
  cef_base::ResetGlobalCommandLineForTesting();
  EXPECT_FALSE(CefCommandLine::GetGlobalCommandLine());
  const char* argv[] = {"korvel", "--type=renderer"};
  cef_base::InitGlobalCommandLine(2, argv);
  CefRefPtr<CefCommandLine> global = CefCommandLine::GetGlobalCommandLine();
  ASSERT_TRUE(global);
  EXPECT_TRUE(global->IsReadOnly());
  EXPECT_EQ(global->GetSwitchValue("type").ToString(), "renderer");
  global->AppendSwitch("ignored");
  EXPECT_FALSE(global->HasSwitch("ignored"));

  CefRefPtr<CefCommandLine> writable = global->Copy();
  writable->AppendSwitch("added");
  cef_base::SetGlobalCommandLine(writable);
  // Earlier references see the update.
  EXPECT_TRUE(global->HasSwitch("added"));
  EXPECT_EQ(CefCommandLine::GetGlobalCommandLine(), global);
  cef_base::ResetGlobalCommandLineForTesting();
}

}  // namespace
