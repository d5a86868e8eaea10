// The page's `korvel` object end to end: the real korvel executable with
// the substitute backend serving the scenario page, which a test drives
// through the backend; what the page sees is checked with what X shows.

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/data_paths.h"
#include "backend/http_client.h"
#include "tests/bridge/korvel_fixture.h"
#include "tests/splash/x_probe.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/stand_in_opener.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

using nlohmann::json;

class BridgeTest : public KorvelFixture {
 protected:
  // Starts the shell and waits until the scenario page answers.
  void StartScenario() {
    main_ = StartApp(shell_);
    ASSERT_NE(main_, 0u);
  }

  // The message a restart from the page ends with, or "ok".
  std::string Restart(const std::string& args = "") {
    const json result = RunInPage("return await restartOutcome(" + args + ")",
                                  "main", milliseconds(60000));
    return result.value("value", result.dump());
  }

  bool WindowHasState(const std::string& atom) {
    return WaitUntil([&] { return HasState(main_, atom); });
  }

  ChildProcess* shell_ = nullptr;
  unsigned long main_ = 0;
};

// The ports listening in this test's network namespace, as /proc/net/tcp
// prints them (hexadecimal).
std::vector<std::string> ListeningPorts() {
  std::vector<std::string> ports;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::istringstream lines(ReadFile(table));
    std::string line, slot, local, remote, state;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
      std::istringstream(line) >> slot >> local >> remote >> state;
      if (state == "0A") {
        ports.push_back(local.substr(local.rfind(':') + 1));
      }
    }
  }
  return ports;
}

// The shell started from the release in the data directory keeps its
// window (of its class, 1200 × 685, centred) hidden with the splash up until
// the page shows itself; then every window request acts on the X window and
// every query answers what X shows, also from a subframe.
TEST_F(BridgeTest, PageDrivesTheWindowAndItsQueriesAnswer) {
  StartScenario();
  EXPECT_EQ(MapState(main_), "IsUnMapped");
  EXPECT_EQ(CountViewableDocks(), 1);
  EXPECT_EQ(Property(main_, "WM_CLASS"),
            "WM_CLASS(STRING) = \"KorVel\", \"KorVel\"");
  const Geometry start = GetGeometry(main_);
  EXPECT_EQ(std::vector<int>({start.x, start.y, start.width, start.height}),
            std::vector<int>({(1920 - 1200) / 2, (1080 - 685) / 2, 1200, 685}));
  // Every preference the shell turns off reached the engine, which knows
  // only names Chromium 138 registers: a stale name would be skipped.
  const std::string prefs =
      ReadFile(GetDataDir() + "/cache/app/engine_prefs.json");
  for (const char* name :
       {"credentials_enable_service", "profile.password_manager_leak_detection",
        "autofill.profile_enabled", "autofill.credit_card_enabled",
        "bookmark_bar.show_on_all_tabs", "alternate_error_pages.enabled"}) {
    EXPECT_NE(prefs.find("\"" + std::string(name) + "\": false"),
              std::string::npos)
        << name << "\n"
        << prefs;
  }
  // The engine log lands in the data directory.
  EXPECT_TRUE(std::filesystem::exists(GetDataDir() + "/korvel.log"));
  // Nothing but the backend (port 35580) listens: a DevTools endpoint, for
  // one, would let any local process drive the application and its bridge.
  EXPECT_EQ(ListeningPorts(), std::vector<std::string>{"8AFC"});
  ASSERT_TRUE(ShowFromPage(main_));
  EXPECT_TRUE(WaitUntil([] { return CountViewableDocks() == 0; }));

  const json queries =
      "return [await korvel.isVisible(), await korvel.isMinimized(), "
      "await korvel.isMaximized(), await korvel.isFullscreen(), "
      "await korvel.isAlwaysOnTop(), await korvel.isClosed()]";
  EXPECT_EQ(Eval(queries),
            json::array({true, false, false, false, false, false}));
  // The frame's query is answered in the frame that asked.
  EXPECT_EQ(Eval("return await korvel.isVisible()", "frame"), true);

  Eval("korvel.setBounds(100, 120, 900, 600)");
  EXPECT_TRUE(WaitUntil([&] {
    const Geometry g = GetGeometry(main_);
    return g.x == 100 && g.y == 120 && g.width == 900 && g.height == 600;
  }));
  Eval("korvel.setSize(800, 500); korvel.setPoint(40, 50)");
  EXPECT_TRUE(WaitUntil([&] {
    const Geometry g = GetGeometry(main_);
    return g.x == 40 && g.y == 50 && g.width == 800 && g.height == 500;
  }));

  // Each state on and off again, as X and the page's query see it.
  const struct {
    const char* on;
    const char* off;
    const char* atom;
    const char* query;
  } states[] = {
      {"korvel.maximize()", "korvel.restore()", "_NET_WM_STATE_MAXIMIZED_VERT",
       "isMaximized"},
      {"korvel.setAlwaysOnTop(true)", "korvel.setAlwaysOnTop(false)",
       "_NET_WM_STATE_ABOVE", "isAlwaysOnTop"},
      {"korvel.setFullscreen(true)", "korvel.setFullscreen(false)",
       "_NET_WM_STATE_FULLSCREEN", "isFullscreen"},
      // focus() brings a minimised window back.
      {"korvel.minimize()", "korvel.focus()", "_NET_WM_STATE_HIDDEN",
       "isMinimized"},
  };
  for (const auto& state : states) {
    SCOPED_TRACE(state.on);
    const std::string query =
        "return await korvel." + std::string(state.query) + "()";
    Eval(state.on);
    EXPECT_TRUE(WindowHasState(state.atom));
    EXPECT_TRUE(WaitUntil([&] { return Eval(query) == true; }));
    Eval(state.off);
    EXPECT_TRUE(WaitUntil([&] { return !HasState(main_, state.atom); }));
    EXPECT_TRUE(WaitUntil([&] { return Eval(query) == false; }));
  }
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsViewable"; }));

  Eval("korvel.hide()");
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsUnMapped"; }));
  EXPECT_EQ(Eval("return await korvel.isVisible()"), false);
  Eval("korvel.onload()");
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsViewable"; }));

  Eval("korvel.setZoom(1.5)");
  EXPECT_EQ(Eval("return await korvel.getZoom()"), 1.5);

  // The developer tools open in a window of their own.
  Eval("korvel.showDevTools()");
  EXPECT_TRUE(WaitUntil([&] {
    for (unsigned long window : WindowsOfClass("KorVel")) {
      if (window != main_ &&
          Property(window, "_NET_WM_NAME").find("DevTools") !=
              std::string::npos) {
        return true;
      }
    }
    return false;
  }));
}

// What the renderer answers itself: versions, platform, host name, launch
// arguments, preferences and the edit commands of the focused frame; popups.
TEST_F(BridgeTest, LocalAnswersAndEditCommands) {
  StartScenario();
  char host[256] = {};
  ASSERT_EQ(gethostname(host, 255), 0);
  EXPECT_EQ(Eval("return [korvel.version(), korvel.arch(), korvel.os(), "
                 "korvel.hostname(), korvel.launchArgs().switches.type]"),
            json::array({kReleaseVersion, "amd64", "linux", host, "renderer"}));
  const json refused =
      RunInPage("korvel.setConf('korvel.no.such.preference', 'x')");
  EXPECT_FALSE(refused.value("error", "").empty()) << refused.dump();
  EXPECT_TRUE(RunInPage("return korvel.getConf('korvel.no.such.preference')")
                  .value("undefined", false));

  ASSERT_TRUE(ShowFromPage(main_));
  EXPECT_EQ(Eval("const text = document.getElementById('text');"
                 "text.focus(); korvel.selectAll(); korvel.cut();"
                 "for (let i = 0; i < 100 && text.value; ++i)"
                 "  await new Promise((r) => setTimeout(r, 20));"
                 "const cut = text.value; korvel.undo();"
                 "for (let i = 0; i < 100 && !text.value; ++i)"
                 "  await new Promise((r) => setTimeout(r, 20));"
                 "return [cut, text.value]"),
            json::array({"", "scenario text"}));

  // A popup gets its own frameless window, which shows itself at the bounds
  // the page asked for.
  Eval(
      "window.open('/test/blank.html', '', "
      "'left=100,top=120,width=640,height=420')");
  std::vector<unsigned long> windows;
  ASSERT_TRUE(WaitUntil([&] {
    windows = WindowsOfClass("KorVel");
    return windows.size() == 2 && HasTitle(windows[1], "blank") &&
           MapState(windows[1]) == "IsViewable";
  }));
  const Geometry popup = GetGeometry(windows[1]);
  EXPECT_EQ(std::vector<int>({popup.x, popup.y, popup.width, popup.height}),
            std::vector<int>({100, 120, 640, 420}));
  EXPECT_NE(Property(windows[1], "_NET_FRAME_EXTENTS").find("0, 0, 0, 0"),
            std::string::npos);
}

// The page's hot restart: the new backend with the version asked for, and
// each refusal with its exact message, while the window stays. (Backends
// that do not go or come as asked: RestartTest, on the same restart.)
TEST_F(BridgeTest, RestartFromThePageReportsOutcomes) {
  StartScenario();
  ASSERT_TRUE(ShowFromPage(main_));
  const std::vector<pid_t> before = BackendsOf(shell_->pid());
  ASSERT_EQ(before.size(), 1u);

  SetNextBackend({{"version", 601}, {"versionName", "next"}});
  EXPECT_EQ(Restart("'', 601, 'next'"), "ok");
  const std::vector<pid_t> after = BackendsOf(shell_->pid());
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0], before[0]);

  // The backend's own words reach the page exactly, whatever they hold.
  const std::string words = "busy \"now\"\n\\ </script> \xe2\x80\xa8 'end'";
  ASSERT_TRUE(Control("settings",
                      {{"handshakeStatus", 409}, {"handshakeMessage", words}}));
  EXPECT_EQ(Restart(), words);
  ASSERT_TRUE(Control("settings", {{"handshakeBody", "not json"}}));
  EXPECT_EQ(Restart(), "backend shutdown handshake failed");
  EXPECT_EQ(BackendsOf(shell_->pid()), after);

  ASSERT_TRUE(Control("settings",
                      {{"handshakeStatus", 200}, {"handshakeBody", nullptr}}));
  SetNextBackend({{"readyAfterMs", 300}});
  EXPECT_EQ(Restart("location.href, 0, ''"), "ok");
  EXPECT_EQ(MapState(main_), "IsViewable");
  EXPECT_FALSE(shell_->WaitForExit(milliseconds(0)).has_value());

  // The new backend is the supervised one: its crash ends the application.
  const std::vector<pid_t> last = BackendsOf(shell_->pid());
  ASSERT_EQ(last.size(), 1u);
  ASSERT_EQ(kill(last[0], SIGKILL), 0);
  const std::optional<int> status = shell_->WaitForExit(milliseconds(20000));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(DescribeStatus(*status), "exit 0");
}

// Of two loads in a row only the second acts; a load the backend does not
// answer shows the error page, whose Reload retries once it does.
TEST_F(BridgeTest, LoadAppActsOnTheLatestAndFallsBackToTheErrorPage) {
  StartScenario();
  ASSERT_TRUE(ShowFromPage(main_));
  RunInPage(
      "korvel.loadApp('http://localhost:35580/test/blank.html?first');"
      "korvel.loadApp('http://localhost:35580/?second');",
      "main", milliseconds(2000));
  EXPECT_TRUE(WaitUntil([&] { return CountViewableDocks() == 1; }));
  EXPECT_EQ(Eval("return location.search"), "?second");
  EXPECT_EQ(MapState(main_), "IsUnMapped");
  ASSERT_TRUE(ShowFromPage(main_));
  EXPECT_TRUE(WaitUntil([] { return CountViewableDocks() == 0; }));
  HttpResponse requests;
  ASSERT_TRUE(SendHttpRequest(BackendBaseUrl() + "/__control/requests", "GET",
                              {}, "", requests));
  // Only the shell's probes asked for the first page; the view never did.
  for (const json& request : json::parse(requests.body)) {
    if (request["target"] == "/test/blank.html?first") {
      EXPECT_EQ(request["raw"].get<std::string>().find("Mozilla"),
                std::string::npos);
    }
  }

  ASSERT_TRUE(Control("settings", {{"appStatus", 503}}));
  RunInPage("korvel.loadApp()", "main", milliseconds(2000));
  EXPECT_TRUE(WaitUntil([&] { return HasTitle(main_, "Korvel Error"); },
                        milliseconds(15000)));
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsViewable"; }));
  EXPECT_EQ(CountViewableDocks(), 0);
  ASSERT_TRUE(Control("settings", {{"appStatus", 200}}));
  Shell(
      "xdotool search --classname KorVel windowactivate --sync key Tab "
      "key Return");
  EXPECT_EQ(RunInPage("return location.pathname").value("value", ""), "/");
}

// A leave prompt goes to the page's listeners and the window stays; exit()
// closes without asking the page, and the shell ends.
TEST_F(BridgeTest, LeavePromptsReachThePage) {
  StartScenario();
  ASSERT_TRUE(ShowFromPage(main_));
  ASSERT_TRUE(ActivatePage(main_));
  Eval("window.leaveMessage = 'unsaved work'; korvel.close()");
  EXPECT_TRUE(WaitUntil([&] {
    return Eval("return events.filter((e) => e.leave)") ==
           json::array({{{"leave", "unsaved work"}, {"isReload", false}}});
  }));
  EXPECT_EQ(MapState(main_), "IsViewable");

  RunInPage("korvel.exit()", "main", milliseconds(1000));
  const std::optional<int> status = shell_->WaitForExit(milliseconds(20000));
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(DescribeStatus(*status), "exit 0");
}

// The backend's reopen token raises a hidden or minimised window; links
// the page opens outside go to the desktop's opener.
TEST_F(BridgeTest, ReopenTokenRaisesAndLinksOpenOutside) {
  const StandInOpener opener;
  StartScenario();
  ASSERT_TRUE(ShowFromPage(main_));

  Eval("korvel.minimize()");
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) != "IsViewable"; }));
  ASSERT_TRUE(Control("reopen", {{"mode", "after"}, {"text", "log line\n"}}));
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsViewable"; }));
  Eval("korvel.hide()");
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsUnMapped"; }));
  ASSERT_TRUE(Control("reopen", {{"mode", "alone"}}));
  EXPECT_TRUE(WaitUntil([&] { return MapState(main_) == "IsViewable"; }));

  // Byte for byte as one argument: no shell ever sees it.
  const std::string url = "https://example.com/a b?c=\"d\"&e='$(id)';`id`|y";
  Eval("korvel.openBrowser(" + json(url).dump() + ")");
  EXPECT_TRUE(WaitUntil(
      [&] { return opener.Opened() == std::vector<std::string>{url}; }));
}

}  // namespace
}  // namespace engine_test
