// Real XDND drags between a plain Qt window (drag_source_app) and an engine
// window (drag_test_app) under Xvfb: what the client's drag and render
// handlers see, and what reaches the page or the drop target.

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/engine_harness/json_line_child.h"
#include "tests/support/engine_harness/reaper.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/x_pointer.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

constexpr milliseconds kWait(20000);

EventMatch TitleIs(const std::string& title) {
  return [title](const json& e) { return e["title"] == title; };
}

class EngineDragTest : public testing::Test {
 protected:
  // Starts drag_test_app with |args|; its window once that is up and the
  // page set its first |title|.
  unsigned long StartEngine(const std::vector<std::string>& args,
                            const std::string& title) {
    std::vector<std::string> argv = {DRAG_TEST_APP,
                                     "--cache-root=" + cache_.path()};
    argv.insert(argv.end(), args.begin(), args.end());
    engine_ = std::make_unique<JsonLineChild>(argv);
    const json window = engine_->WaitForEvent("window_created", nullptr, kWait);
    const bool shown =
        !engine_->WaitForEvent("title", TitleIs(title), kWait).is_null();
    EXPECT_TRUE(!window.is_null() && shown) << engine_->Transcript();
    return window.is_null() ? 0 : window["xid"].get<unsigned long>();
  }

  // Starts drag_source_app with |args|, before the engine app, so that its
  // window has long settled when a drag begins.
  void StartSource(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {DRAG_SOURCE_APP};
    argv.insert(argv.end(), args.begin(), args.end());
    source_ = std::make_unique<JsonLineChild>(argv);
  }
  // Where the source's window is once shown.
  Rect SourceRect() {
    const json ready = source_->WaitForEvent("ready", nullptr, kWait);
    EXPECT_FALSE(ready.is_null()) << source_->Transcript();
    return ready.is_null() ? Rect()
                           : WindowRect(ready["xid"].get<unsigned long>());
  }

  // The engine app must leave by itself once its stdin closes: one that
  // does not has hung on its way out.
  void TearDown() override {
    if (engine_) {
      engine_->process().CloseStdin();
      EXPECT_TRUE(engine_->process().WaitForExit(milliseconds(10000)))
          << "drag_test_app did not leave by itself";
    }
  }

  // Drags two files from the source onto the page, the engine app started
  // with |args|; their paths. The names catch paths that are not decoded
  // from their file URLs (space, percent sign, non-ASCII).
  std::vector<std::string> DragFilesOntoPage(
      const std::vector<std::string>& args) {
    const std::vector<std::string> files = {
        files_.path() + "/first file.txt",
        files_.path() + "/zwei-\xc3\xbc%20.csv"};
    for (const std::string& path : files) {
      std::ofstream(path) << "content of " << path;
    }
    StartSource(files);
    const unsigned long window = StartEngine(args, "page");
    titles_before_ = Events("title").size();
    const Rect from = SourceRect();
    const Rect target = WindowRect(window);
    EXPECT_GT(target.width, 0);
    EXPECT_TRUE(from.width > 0 && DragPointer(from, target))
        << "xdotool failed";
    return files;
  }

  json WaitFor(const std::string& name, const EventMatch& match = nullptr) {
    return engine_->WaitForEvent(name, match, kWait);
  }
  // Every event of the engine app named |name| so far.
  std::vector<json> Events(const std::string& name) {
    engine_->Collect();
    return engine_->Events(name);
  }

  Reaper reaper_;
  TempDir cache_;
  TempDir files_;
  std::unique_ptr<JsonLineChild> engine_;
  std::unique_ptr<JsonLineChild> source_;
  // Title changes up to the page's own first title.
  size_t titles_before_ = 0;
};

TEST_F(EngineDragTest, DraggedFilesReachTheHandlerWithFullPathsAndThePage) {
  const std::vector<std::string> files = DragFilesOntoPage({});
  const json enter = WaitFor("drag_enter");
  ASSERT_FALSE(enter.is_null()) << engine_->Transcript();
  EXPECT_TRUE(enter["is_file"]);
  EXPECT_TRUE(enter["read_only"]);
  EXPECT_TRUE(enter["have_paths"]);
  EXPECT_EQ(enter["paths"], json(files));
  EXPECT_EQ(enter["names"], json({"first file.txt", "zwei-\xc3\xbc%20.csv"}));
  // Copy and link, as the source offers them.
  EXPECT_EQ(enter["mask"], 1 + 2);

  // Not refused: the page gets the drop with both files.
  const json drop = WaitFor("title", [](const json& e) {
    return e["title"].get<std::string>().rfind("drop:", 0) == 0;
  });
  ASSERT_FALSE(drop.is_null()) << engine_->Transcript();
  EXPECT_EQ(drop["title"],
            "drop:[\"first file.txt\",\"zwei-\xc3\xbc%20.csv\"]");
  const json result = source_->WaitForEvent("drag_result", nullptr, kWait);
  ASSERT_FALSE(result.is_null());
  EXPECT_EQ(result["action"], 1) << "the source should see a copy";
  EXPECT_EQ(Events("drag_enter").size(), 1u) << engine_->Transcript();
}

TEST_F(EngineDragTest, RefusedDragNeverReachesThePage) {
  const std::vector<std::string> files = DragFilesOntoPage({"--refuse"});
  const json enter = WaitFor("drag_enter");
  ASSERT_FALSE(enter.is_null()) << engine_->Transcript();
  EXPECT_EQ(enter["paths"], json(files));

  // The source learns the drop was not accepted; by then the page would
  // have seen the drop.
  const json result = source_->WaitForEvent("drag_result", nullptr, kWait);
  ASSERT_FALSE(result.is_null());
  EXPECT_EQ(result["action"], 0);
  // A title change takes a round trip through the page's process; give a
  // late one time to arrive.
  engine_->WaitForEvent(
      "title", [](const json& e) { return e["title"] != "page"; },
      milliseconds(1500));
  EXPECT_EQ(Events("title").size(), titles_before_) << engine_->Transcript();
  // One drag, one OnDragEnter, however often Qt offers the refused drag.
  EXPECT_EQ(Events("drag_enter").size(), 1u) << engine_->Transcript();
}

// The page's app-region elements reach OnDraggableRegionsChanged in view
// coordinates, in document order, and each change of them is reported,
// down to none.
TEST_F(EngineDragTest, DraggableRegionsOfThePageAreReported) {
  StartEngine({"--regions"}, "regions");
  const json first = WaitFor("regions");
  ASSERT_FALSE(first.is_null()) << engine_->Transcript();
  EXPECT_TRUE(first["main_frame"]);
  EXPECT_EQ(first["regions"],
            json::parse("[[0,0,400,40,true],[100,0,50,20,false]]"))
      << engine_->Transcript();
  const json taller = WaitFor("regions", [](const json& e) {
    return e["regions"].size() == 2 && e["regions"][0][3] == 60;
  });
  EXPECT_FALSE(taller.is_null()) << engine_->Transcript();
  const json only_button = WaitFor(
      "regions", [](const json& e) { return e["regions"].size() == 1; });
  ASSERT_FALSE(only_button.is_null()) << engine_->Transcript();
  EXPECT_EQ(only_button["regions"], json::parse("[[100,0,50,20,false]]"));
}

// A drag that starts on a link in the page reaches StartDragging with the
// link; the files the handler puts in its place are what the drop target
// receives.
TEST_F(EngineDragTest, DragOutOfThePageCarriesTheFilesTheHandlerSets) {
  const std::string out_file = files_.path() + "/report \xc3\xa9.pdf";
  std::ofstream(out_file) << "pdf";
  StartSource({});
  const unsigned long window =
      StartEngine({"--drag-out=" + out_file}, "dragout");
  const Rect target = SourceRect();
  const Rect view = WindowRect(window);
  // The link fills the top left 300 x 100 of the page.
  ASSERT_TRUE(DragPointer({view.x, view.y, 300, 100}, target))
      << "xdotool failed";

  const json start = WaitFor("start_dragging");
  ASSERT_FALSE(start.is_null()) << engine_->Transcript();
  EXPECT_EQ(start["link"], "x-test://drag?files");
  EXPECT_FALSE(start["read_only"]);
  EXPECT_NE(start["mask"], 0);
  const json dropped = source_->WaitForEvent("dropped", nullptr, kWait);
  ASSERT_FALSE(dropped.is_null()) << source_->Transcript();
  EXPECT_EQ(dropped["paths"], json({out_file}));
  EXPECT_EQ(dropped["urls"], json::array());
}

}  // namespace
}  // namespace engine_test
