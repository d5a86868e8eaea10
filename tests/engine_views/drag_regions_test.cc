// Which presses start a window move: the page's regions apply in order, so
// holes (no-drag regions) punched into a drag bar stay clickable.

#include "browser/views/drag_regions.h"

#include <gtest/gtest.h>

namespace cefengine {
namespace {

TEST(DragRegionsTest, LaterRegionsWinAndEdgesAreHalfOpen) {
  const std::vector<CefDraggableRegion> regions = {
      CefDraggableRegion(CefRect(0, 0, 600, 40), true),
      CefDraggableRegion(CefRect(500, 0, 100, 40), false),
      CefDraggableRegion(CefRect(550, 10, 20, 20), true),
  };
  EXPECT_TRUE(IsInDraggableArea(regions, 0, 0));
  EXPECT_TRUE(IsInDraggableArea(regions, 499, 39));
  // Right and bottom edges are outside a region.
  EXPECT_FALSE(IsInDraggableArea(regions, 100, 40));
  EXPECT_FALSE(IsInDraggableArea(regions, 600, 10));
  // The hole, and a drag island inside the hole.
  EXPECT_FALSE(IsInDraggableArea(regions, 500, 5));
  EXPECT_TRUE(IsInDraggableArea(regions, 555, 15));
  EXPECT_FALSE(IsInDraggableArea(regions, 570, 15));
}

// A no-drag region listed before the drag bar is covered by it again.
TEST(DragRegionsTest, OrderMattersAndNoRegionsMeansNoDrag) {
  const std::vector<CefDraggableRegion> hole_first = {
      CefDraggableRegion(CefRect(500, 0, 100, 40), false),
      CefDraggableRegion(CefRect(0, 0, 600, 40), true),
  };
  EXPECT_TRUE(IsInDraggableArea(hole_first, 550, 20));
  EXPECT_FALSE(IsInDraggableArea({}, 0, 0));
  EXPECT_FALSE(IsInDraggableArea(
      {CefDraggableRegion(CefRect(0, 0, 0, 40), true)}, 0, 0));
}

}  // namespace
}  // namespace cefengine
