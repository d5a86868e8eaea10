// Real XDND drags from a plain Qt window (drag_source_app) onto an engine
// window (drag_test_app) under Xvfb, and the page's draggable regions: what
// the page and the client's handlers see. (The files the shell reads from
// OnDragEnter and drags out of the page:
// PageServicesTest.FilesAreDraggedInAndOutOfThePage.)

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

  // The engine app must leave by itself once its stdin closes: one that
  // does not has hung on its way out.
  void TearDown() override {
    if (engine_) {
      engine_->process().CloseStdin();
      EXPECT_TRUE(engine_->process().WaitForExit(milliseconds(10000)))
          << "drag_test_app did not leave by itself";
    }
  }

  json WaitFor(const std::string& name, const EventMatch& match = nullptr) {
    return engine_->WaitForEvent(name, match, kWait);
  }

  Reaper reaper_;
  TempDir cache_;
  TempDir files_;
  std::unique_ptr<JsonLineChild> engine_;
};

// A drag handler that lets the drag through, as the shell's does, leaves
// the drop to the page, with every file; the source sees a copy. The names
// catch paths that are not decoded from their file URLs (space, percent
// sign, non-ASCII).
TEST_F(EngineDragTest, DraggedFilesReachThePageThroughTheHandler) {
  const std::vector<std::string> files = {
      files_.path() + "/first file.txt",
      files_.path() + "/zwei-\xc3\xbc%20.csv"};
  for (const std::string& path : files) {
    std::ofstream(path) << "content of " << path;
  }
  // Started before the engine app, so that its window has long settled
  // when the drag begins.
  JsonLineChild source({DRAG_SOURCE_APP, files[0], files[1]});
  const unsigned long window = StartEngine({}, "page");
  const json ready = source.WaitForEvent("ready", nullptr, kWait);
  ASSERT_FALSE(ready.is_null()) << source.Transcript();
  const Rect target = WindowRect(window);
  ASSERT_GT(target.width, 0);
  ASSERT_TRUE(
      DragPointer(WindowRect(ready["xid"].get<unsigned long>()), target))
      << "xdotool failed";

  EXPECT_FALSE(WaitFor("drag_enter").is_null()) << engine_->Transcript();
  const json drop = WaitFor("title", [](const json& e) {
    return e["title"].get<std::string>().rfind("drop:", 0) == 0;
  });
  ASSERT_FALSE(drop.is_null()) << engine_->Transcript();
  EXPECT_EQ(drop["title"],
            "drop:[\"first file.txt\",\"zwei-\xc3\xbc%20.csv\"]");
  const json result = source.WaitForEvent("drag_result", nullptr, kWait);
  ASSERT_FALSE(result.is_null());
  EXPECT_EQ(result["action"], 1) << "the source should see a copy";
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

}  // namespace
}  // namespace engine_test
