// Real XDND drags from a plain Qt window onto an engine window under Xvfb:
// the client's drag handler sees the dragged files with their full paths,
// and a drag it refuses never reaches the page.

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine_drag/drag_harness.h"

namespace engine_test {
namespace {

// The names are chosen to catch paths that are not decoded from their
// file URLs (space, percent sign, non-ASCII).
std::vector<std::string> MakeFiles(const TempDir& dir) {
  std::vector<std::string> paths = {dir.path() + "/first file.txt",
                                    dir.path() + "/zwei-\xc3\xbc%20.csv"};
  for (const std::string& path : paths) {
    std::ofstream(path) << "content of " << path;
  }
  return paths;
}

struct Scene {
  explicit Scene(bool refuse, const std::vector<std::string>& files)
      : engine(EngineArgs(refuse), /*leaves_on_eof=*/true),
        source(SourceArgs(files), /*leaves_on_eof=*/false) {}

  std::vector<std::string> EngineArgs(bool refuse) {
    std::vector<std::string> args = {DRAG_TEST_APP,
                                     "--cache-root=" + cache.path()};
    if (refuse) {
      args.push_back("--refuse");
    }
    return args;
  }
  static std::vector<std::string> SourceArgs(
      const std::vector<std::string>& files) {
    std::vector<std::string> args = {DRAG_SOURCE_APP};
    args.insert(args.end(), files.begin(), files.end());
    return args;
  }

  // Drags from the source window onto the page once both are up.
  void Drag() {
    const json window = engine.WaitFor("window_created");
    ASSERT_FALSE(window.is_null()) << engine.Transcript();
    const json page = engine.WaitFor(
        "title", [](const json& e) { return e["title"] == "page"; });
    ASSERT_FALSE(page.is_null()) << engine.Transcript();
    titles_before = engine.Events("title").size();
    const json ready = source.WaitFor("ready");
    ASSERT_FALSE(ready.is_null());
    const Rect target = WindowRect(window["xid"].get<unsigned long>());
    const Rect from = WindowRect(ready["xid"].get<unsigned long>());
    ASSERT_GT(target.width, 0);
    ASSERT_GT(from.width, 0);
    ASSERT_TRUE(DragPointer(from, target)) << "xdotool failed";
  }

  // Title changes up to the page's own first title.
  size_t titles_before = 0;
  Reaper reaper;
  TempDir cache;
  Child engine;
  Child source;
};

TEST(EngineDragTest, DraggedFilesReachTheHandlerWithFullPathsAndThePage) {
  TempDir files_dir;
  const std::vector<std::string> files = MakeFiles(files_dir);
  Scene scene(/*refuse=*/false, files);
  scene.Drag();

  const json enter = scene.engine.WaitFor("drag_enter");
  ASSERT_FALSE(enter.is_null()) << scene.engine.Transcript();
  EXPECT_TRUE(enter["is_file"]);
  EXPECT_FALSE(enter["is_link"]);
  EXPECT_TRUE(enter["read_only"]);
  EXPECT_TRUE(enter["have_paths"]);
  EXPECT_EQ(enter["paths"], json(files));
  EXPECT_EQ(enter["names"], json({"first file.txt", "zwei-\xc3\xbc%20.csv"}));
  // Read-only data keeps its (empty) link.
  EXPECT_EQ(enter["link_after_write"], "");
  // Copy and link, as the source offers them.
  EXPECT_EQ(enter["mask"], 1 + 2);

  // Not refused: the page gets the drop with both files.
  const json drop = scene.engine.WaitFor("title", [](const json& e) {
    return e["title"].get<std::string>().rfind("drop:", 0) == 0;
  });
  ASSERT_FALSE(drop.is_null()) << scene.engine.Transcript();
  EXPECT_EQ(drop["title"],
            "drop:[\"first file.txt\",\"zwei-\xc3\xbc%20.csv\"]");
  const json result = scene.source.WaitFor("drag_result");
  ASSERT_FALSE(result.is_null());
  EXPECT_EQ(result["action"], 1) << "the source should see a copy";
  EXPECT_EQ(scene.engine.Events("drag_enter").size(), 1u)
      << scene.engine.Transcript();
}

TEST(EngineDragTest, RefusedDragNeverReachesThePage) {
  TempDir files_dir;
  const std::vector<std::string> files = MakeFiles(files_dir);
  Scene scene(/*refuse=*/true, files);
  scene.Drag();

  const json enter = scene.engine.WaitFor("drag_enter");
  ASSERT_FALSE(enter.is_null()) << scene.engine.Transcript();
  EXPECT_EQ(enter["paths"], json(files));

  // The source learns the drop was not accepted; by then the page would
  // have seen the drop.
  const json result = scene.source.WaitFor("drag_result");
  ASSERT_FALSE(result.is_null());
  EXPECT_EQ(result["action"], 0);
  // A title change takes a round trip through the page's process; give a
  // late one time to arrive.
  scene.engine.WaitFor(
      "title", [](const json& e) { return e["title"] != "page"; },
      milliseconds(1500));
  const std::vector<json> titles = scene.engine.Events("title");
  EXPECT_EQ(titles.size(), scene.titles_before) << scene.engine.Transcript();
  // One drag, one OnDragEnter, however often Qt offers the refused drag.
  EXPECT_EQ(scene.engine.Events("drag_enter").size(), 1u)
      << scene.engine.Transcript();
}

// The page's app-region elements reach OnDraggableRegionsChanged in view
// coordinates, in document order, and each change of them is reported,
// down to none.
TEST(EngineDragTest, DraggableRegionsOfThePageAreReported) {
  Reaper reaper;
  TempDir cache;
  Child engine({DRAG_TEST_APP, "--cache-root=" + cache.path(), "--regions"},
               /*leaves_on_eof=*/true);
  const json first = engine.WaitFor("regions");
  ASSERT_FALSE(first.is_null()) << engine.Transcript();
  EXPECT_TRUE(first["main_frame"]);
  EXPECT_EQ(first["regions"],
            json::parse("[[0,0,400,40,true],[100,0,50,20,false]]"))
      << engine.Transcript();
  const json taller = engine.WaitFor("regions", [](const json& e) {
    return e["regions"].size() == 2 && e["regions"][0][3] == 60;
  });
  EXPECT_FALSE(taller.is_null()) << engine.Transcript();
  const json only_button = engine.WaitFor(
      "regions", [](const json& e) { return e["regions"].size() == 1; });
  ASSERT_FALSE(only_button.is_null()) << engine.Transcript();
  EXPECT_EQ(only_button["regions"], json::parse("[[100,0,50,20,false]]"));
}

// A drag that starts on a link in the page reaches StartDragging with the
// link; the files the handler puts in its place are what the drop target
// receives.
TEST(EngineDragTest, DragOutOfThePageCarriesTheFilesTheHandlerSets) {
  Reaper reaper;
  TempDir cache;
  TempDir files_dir;
  const std::string out_file = files_dir.path() + "/report \xc3\xa9.pdf";
  std::ofstream(out_file) << "pdf";
  Child engine(
      {DRAG_TEST_APP, "--cache-root=" + cache.path(), "--drag-out=" + out_file},
      /*leaves_on_eof=*/true);
  Child target({DRAG_SOURCE_APP}, /*leaves_on_eof=*/false);
  const json window = engine.WaitFor("window_created");
  ASSERT_FALSE(window.is_null()) << engine.Transcript();
  ASSERT_FALSE(
      engine
          .WaitFor("title",
                   [](const json& e) { return e["title"] == "dragout"; })
          .is_null())
      << engine.Transcript();
  const json ready = target.WaitFor("ready");
  ASSERT_FALSE(ready.is_null());
  const Rect view = WindowRect(window["xid"].get<unsigned long>());
  // The link fills the top left 300 x 100 of the page.
  ASSERT_TRUE(DragPointer({view.x, view.y, 300, 100},
                          WindowRect(ready["xid"].get<unsigned long>())))
      << "xdotool failed";

  const json start = engine.WaitFor("start_dragging");
  ASSERT_FALSE(start.is_null()) << engine.Transcript();
  EXPECT_EQ(start["link"], "x-test://drag?files");
  EXPECT_FALSE(start["read_only"]);
  EXPECT_NE(start["mask"], 0);
  const json dropped = target.WaitFor("dropped");
  ASSERT_FALSE(dropped.is_null()) << target.Transcript();
  EXPECT_EQ(dropped["paths"], json({out_file}));
  EXPECT_EQ(dropped["urls"], json::array());
}

}  // namespace
}  // namespace engine_test
