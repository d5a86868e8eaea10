#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "include/cef_command_line.h"

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

}  // namespace
