// Downloads, file dialogs and native file drags end to end: the korvel
// executable on the substitute backend's scenario page, driven from the
// page and, as a user would, with the pointer and keyboard (xdotool) and a
// plain Qt program as the desktop's drag source and drop target.

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "backend/http_client.h"
#include "tests/bridge/korvel_fixture.h"
#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/x_pointer.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

// Every hazard a path can hold for a script: quotes of both kinds,
// backslash, spaces and letters beyond ASCII.
constexpr char kHazards[] = "d\xc3\xafr 'it' \"q\" \\ \xc3\xa9";

// A script literal of |text|.
std::string Js(const std::string& text) {
  return json(text).dump();
}

class PageServicesTest : public KorvelFixture {
 protected:
  // Starts the shell on the scenario page and shows its window.
  void StartShown() {
    ChildProcess* shell = nullptr;
    main_ = StartApp(shell);
    ASSERT_NE(main_, 0u);
    ASSERT_TRUE(ShowFromPage(main_));
    window_ = GetGeometry(main_);
  }

  // Waits until the page's |expression| holds a value other than null.
  json WaitForPage(const std::string& expression,
                   milliseconds timeout = milliseconds(20000)) {
    json value;
    WaitUntil(
        [&] {
          value = Eval("const v = " + expression + "; return v ?? null");
          return !value.is_null();
        },
        timeout);
    return value;
  }

  // Types |text| into |window| as a user would, then presses Return. ASCII
  // only: xdotool types other letters through a key it remaps for the
  // moment, which a busy program may read too late.
  void TypeTo(const std::string& window, const std::string& text) {
    const std::string file = work_.path() + "/typed.txt";
    std::ofstream(file, std::ios::binary) << text;
    TypeInto(window, "xdotool type --delay 20 --file '" + file +
                         "'; xdotool key Return");
  }

  // Files named |names| in a folder whose name holds every hazard, each
  // holding its path; their paths.
  std::vector<std::string> HazardFiles(const std::vector<std::string>& names) {
    const std::string dir = work_.path() + "/" + kHazards;
    std::filesystem::create_directories(dir);
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      paths.push_back(dir + "/" + name);
      std::ofstream(paths.back()) << paths.back();
    }
    return paths;
  }

  // The window of a drag_source_app once it is ready; an empty rectangle,
  // which no drag reaches, when it never is.
  static Rect ReadyWindow(JsonLineChild& app) {
    const json ready = app.WaitForEvent("ready", nullptr, milliseconds(20000));
    EXPECT_FALSE(ready.is_null()) << app.Transcript();
    return ready.is_null() ? Rect() : WindowRect(ready["xid"]);
  }

  // The centre of the window's page point (x, y) on the screen, as a 2 x 2
  // rectangle.
  Rect PagePoint(int x, int y) const {
    return {window_.x + x - 1, window_.y + y - 1, 2, 2};
  }

  unsigned long main_ = 0;
  Geometry window_;
};

// The page learns of every download step; the file lands where the save
// dialog said (the proposal under HOME/Downloads, taken as it is), and a
// cancelled dialog reaches the page as a cancelled download.
TEST_F(PageServicesTest, DownloadsReportToThePageAndLandWhereTheDialogSaid) {
  StartShown();
  const std::string click =
      "const a = document.createElement('a');"
      "a.href = '/files/korvel-sample.txt'; document.body.append(a);"
      "a.click(); a.remove();";
  const std::string items = "events.filter((e) => e.download)";
  Eval(click);
  TypeInto(FindWindowByTitle("Save"), "xdotool key Return");
  const json done = WaitForPage(items + ".map((e) => e.download)" +
                                ".find((d) => d.isComplete)");
  ASSERT_TRUE(done.is_object()) << Eval("return " + items);

  const std::string home = getenv("HOME");
  const std::string target = home + "/Downloads/korvel-sample.txt";
  HttpResponse sample;
  ASSERT_TRUE(SendHttpRequest(BackendBaseUrl() + "/files/korvel-sample.txt",
                              "GET", {}, "", sample));
  EXPECT_EQ(ReadFile(target), sample.body);
  EXPECT_EQ(done["path"], target);
  EXPECT_EQ(done["totalBytes"], sample.body.size());
  EXPECT_EQ(done["currentBytes"], sample.body.size());
  EXPECT_FALSE(done["isInProgress"]);
  // Every step of the one item, in order, the completion last.
  const json steps = Eval("return " + items + ".map((e) => e.download)");
  ASSERT_GE(steps.size(), 1u);
  int64_t received = 0;
  for (const json& step : steps) {
    EXPECT_EQ(step["id"], done["id"]) << step;
    EXPECT_GE(step["currentBytes"].get<int64_t>(), received) << steps;
    received = step["currentBytes"];
    EXPECT_FALSE(step["isCanceled"]);
  }
  EXPECT_EQ(steps.back(), done);

  Eval(click);
  TypeInto(FindWindowByTitle("Save"), "xdotool key Escape");
  const json canceled = WaitForPage(items + ".map((e) => e.download)" +
                                    ".find((d) => d.isCanceled)");
  ASSERT_TRUE(canceled.is_object()) << Eval("return " + items);
  EXPECT_NE(canceled["id"], done["id"]);
  EXPECT_FALSE(canceled["isComplete"]);
  EXPECT_EQ(canceled["path"], "");
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(home + "/Downloads"),
                    std::filesystem::directory_iterator()),
      1);
}

// The page's callback gets exactly the chosen paths, whatever they hold
// (a quote once ended the script's string early), in all four modes, and
// [] when the dialog is cancelled.
TEST_F(PageServicesTest, FileDialogsHandThePageExactlyTheChosenPaths) {
  const std::string dir = work_.path() + "/" + kHazards;
  const std::string folder = dir + "/sub dir";
  std::filesystem::create_directories(folder);
  HazardFiles({"a b.txt", "c.txt", "d.png"});
  StartShown();
  auto choose = [&](int mode, const std::string& title, const std::string& path,
                    const std::string& filters,
                    const std::function<void(const std::string&)>& user) {
    Eval("window.chosen = undefined; korvel.selectFile(" +
         std::to_string(mode) + ", " + Js(title) + ", " + Js(path) + ", " +
         Js(filters) + ", (paths) => { window.chosen = paths; })");
    const std::string dialog = FindWindowByTitle(title);
    EXPECT_FALSE(dialog.empty()) << title;
    if (dialog.empty()) {
      return json();
    }
    user(dialog);
    return WaitForPage("window.chosen");
  };
  auto press = [](const std::string& key) {
    return [key](const std::string& dialog) {
      TypeInto(dialog, "xdotool key " + key);
    };
  };

  EXPECT_EQ(choose(0, "Pick one", dir + "/a b.txt", ".txt", press("Return")),
            json({dir + "/a b.txt"}));
  json several =
      choose(1, "Pick several", dir, ".txt,image/*",
             [&](const std::string& d) { TypeTo(d, "\"a b.txt\" \"c.txt\""); });
  ASSERT_TRUE(several.is_array());
  std::sort(several.begin(), several.end());
  EXPECT_EQ(several, json({dir + "/a b.txt", dir + "/c.txt"}));
  EXPECT_EQ(choose(2, "Pick a folder", dir, "",
                   [&](const std::string& d) { TypeTo(d, "sub dir"); }),
            json({folder}));
  EXPECT_EQ(choose(3, "Save as", dir + "/new 'n'.txt", "", press("Return")),
            json({dir + "/new 'n'.txt"}));
  EXPECT_EQ(choose(0, "Cancel me", dir, "", press("Escape")), json::array());
}

// Files dragged in from the desktop are named to the page before the drop;
// a drag of text names none. Drag links in the page leave it as the files
// they name, written plainly or percent-encoded (once decoded byte by byte,
// so that a path beyond ASCII named another file).
TEST_F(PageServicesTest, FilesAreDraggedInAndOutOfThePage) {
  const std::vector<std::string> files =
      HazardFiles({"one.txt", "tw\xc3\xb6 #%20.csv"});
  StartShown();
  // Away from the page's draggable bar at the top.
  const Rect page = PagePoint(window_.width / 2, window_.height / 2);

  {
    JsonLineChild source({DRAG_SOURCE_APP, files[0], files[1]});
    ASSERT_TRUE(DragPointer(ReadyWindow(source), page));
    EXPECT_EQ(WaitForPage("korvel.dragFiles.length ? korvel.dragFiles : null"),
              json(files));
  }
  {
    JsonLineChild source({DRAG_SOURCE_APP, "--text=" + files[0]});
    ASSERT_TRUE(DragPointer(ReadyWindow(source), page));
    EXPECT_EQ(WaitForPage("korvel.dragFiles.length ? null : korvel.dragFiles"),
              json::array());
  }

  // A dragged element with the plain link as its text, and a link whose
  // address carries it percent-encoded.
  Eval(
      "const style = 'position:fixed;left:40px;width:240px;height:60px;"
      "display:block;background:#c84;z-index:9;top:';"
      "const plain = document.createElement('div');"
      "plain.draggable = true; plain.style.cssText = style + '100px';"
      "plain.addEventListener('dragstart', (e) => e.dataTransfer.setData("
      "'text/plain', 'korvel://drag?paths=' + JSON.stringify([" +
      Js(files[0]) +
      "])));"
      "const link = document.createElement('a');"
      "link.href = 'korvel://drag?paths=' + encodeURIComponent("
      "JSON.stringify([" +
      Js(files[1]) + ", " + Js(files[0]) +
      "])); link.textContent = 'files';"
      "link.style.cssText = style + '200px';"
      "document.body.append(plain, link);");
  JsonLineChild target({DRAG_SOURCE_APP});
  const Rect drop = ReadyWindow(target);
  const std::pair<int, json> links[] = {{130, json({files[0]})},
                                        {230, json({files[1], files[0]})}};
  for (const auto& [top, paths] : links) {
    target.Mark();
    ASSERT_TRUE(DragPointer(PagePoint(160, top), drop));
    const json dropped =
        target.WaitForEvent("dropped", nullptr, milliseconds(20000));
    ASSERT_FALSE(dropped.is_null()) << target.Transcript();
    EXPECT_EQ(dropped["paths"], paths) << dropped;
    EXPECT_EQ(dropped["urls"], json::array());
  }
}

// korvel.startNativeFileDrag in the page's dragstart drags the files as
// the shell's own X drag source (the production engine hands windowed
// browsers no StartDragging, so a drag link never leaves them): the target
// gets exactly those files, a name with a space, '#', '%' and a letter
// beyond ASCII included, and only that drag enters it, so the engine ran no
// drag of its own for the cancelled one. Called with no button held, it
// starts nothing.
TEST_F(PageServicesTest, StartNativeFileDragDragsTheFilesItself) {
  const std::vector<std::string> files =
      HazardFiles({"one.txt", "tw\xc3\xb6 #%20 x.csv"});
  StartShown();
  JsonLineChild target({DRAG_SOURCE_APP});
  const Rect drop = ReadyWindow(target);
  const std::string list = "[" + Js(files[0]) + ", " + Js(files[1]) + "]";

  // With the pointer resting on the target, a drag of the first file would
  // enter it, and drop there, at once; the answer to the query shows the
  // call has reached the shell.
  Shell("xdotool mousemove " + std::to_string(drop.x + drop.width / 2) + " " +
        std::to_string(drop.y + drop.height / 2));
  EXPECT_EQ(Eval("return [korvel.startNativeFileDrag([" + Js(files[0]) +
                 "]), await korvel.isVisible()]"),
            json({true, true}));

  Eval(
      "const source = document.createElement('div');"
      "source.draggable = true; source.style.cssText = 'position:fixed;"
      "left:40px;top:100px;width:240px;height:60px;background:#48c;"
      "z-index:9';"
      "source.addEventListener('dragstart', () => {"
      "  window.started = korvel.startNativeFileDrag(" +
      list +
      "); });"
      "document.body.append(source);");
  ASSERT_TRUE(DragPointer(PagePoint(160, 130), drop));
  const json dropped =
      target.WaitForEvent("dropped", nullptr, milliseconds(20000));
  ASSERT_FALSE(dropped.is_null()) << target.Transcript();
  EXPECT_EQ(dropped["paths"], json(files));
  EXPECT_EQ(dropped["urls"], json::array());
  EXPECT_EQ(target.Events("entered").size(), 1u) << target.Transcript();
  EXPECT_EQ(Eval("return window.started"), true);
}

// The page's draggable bar carries the frameless window; a later
// setDragRegion replaces the page's regions, so the bar belongs to the page
// again and only the new rectangle carries the window.
TEST_F(PageServicesTest, DraggableRegionsMoveTheWindowUntilReplaced) {
  StartShown();
  // The page reports its regions some time after it is shown. A press at
  // the foot of the bar, grown now, moves the window only once the page's
  // latest report is in force, so no report of the page can follow
  // setDragRegion below. A press before that is the page's, as it would be
  // for a user, who then presses again.
  Eval("document.getElementById('bar').style.height = '60px'");
  Geometry moved;
  int presses = 0;
  while (
      !DragWindowBy(main_, window_.x + 300, window_.y + 50, 80, 60, &moved) &&
      ++presses < 3) {
    ASSERT_EQ(moved.x, window_.x) << "the window moved elsewhere";
  }
  ASSERT_LT(presses, 3) << "ended at " << moved.x << "," << moved.y;

  Eval(
      "addEventListener('mousedown', (e) => events.push({down: e.clientY}));"
      "korvel.setDragRegion(0, 300, 200, 40)");
  Shell("xdotool mousemove " + std::to_string(moved.x + 300) + " " +
        std::to_string(moved.y + 20) + " mousedown 1 mousemove " +
        std::to_string(moved.x + 380) + " " + std::to_string(moved.y + 80) +
        " mouseup 1");
  // The press reached the page, so the window manager never had it.
  EXPECT_EQ(WaitForPage("events.find((e) => 'down' in e)?.down"), 20);
  const Geometry still = GetGeometry(main_);
  EXPECT_EQ(still.x, moved.x);
  EXPECT_EQ(still.y, moved.y);

  Geometry again;
  ASSERT_TRUE(
      DragWindowBy(main_, moved.x + 100, moved.y + 320, -70, -50, &again))
      << "ended at " << again.x << "," << again.y;
}

}  // namespace
}  // namespace engine_test
