// The page's draggable-region report as the engine reads it. (Drag data
// built from Qt's: the files the shell reads in
// PageServicesTest.FilesAreDraggedInAndOutOfThePage.)

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browser/drag/draggable_regions.h"

namespace {

// The page's report is untrusted text: anything malformed is dropped, not
// turned into a giant or negative-sized region.
TEST(RegionReportTest, ScalesRoundsOutwardsAndSkipsMalformedEntries) {
  bool ok = false;
  const std::vector<CefDraggableRegion> regions = cefengine::ParseRegionReport(
      "[[0,0,400,40,1],[100.5,0.25,49.5,19.5,0],[1,2,3],[\"a\",0,1,1,1],"
      "[0,0,0,10,1],[0,0,1e300,10,1],[5,5,5,5,\"x\"]]",
      1.5, &ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[0], CefDraggableRegion(CefRect(0, 0, 600, 60), true));
  // 150.75 .. 225 wide, 0.375 .. 29.625 high, outer edges rounded out.
  EXPECT_EQ(regions[1], CefDraggableRegion(CefRect(150, 0, 75, 30), false));
  // Only 1 means draggable.
  EXPECT_EQ(regions[2], CefDraggableRegion(CefRect(7, 7, 8, 8), false));

  EXPECT_TRUE(cefengine::ParseRegionReport("[]", 1.0, &ok).empty());
  EXPECT_TRUE(ok);
  EXPECT_TRUE(cefengine::ParseRegionReport("{\"a\":1}", 1.0, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(cefengine::ParseRegionReport("[[0,0,", 1.0, &ok).empty());
  EXPECT_FALSE(ok);
}

}  // namespace
