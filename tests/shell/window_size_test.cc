// The main window's size by screen height, at the table's edges.

#include "shell/main_window.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowSizeTest, SizeFollowsScreenHeightAndTallScreensKeepPlacement) {
  const struct {
    int screen;
    int width;
    int height;
  } rows[] = {{0, 1200, 685},    {768, 1200, 685},  {1080, 1200, 685},
              {1081, 1300, 785}, {1440, 1300, 785}, {1441, 1400, 815},
              {2160, 1400, 815}, {2600, 1400, 815}};
  for (const auto& row : rows) {
    for (bool capped : {true, false}) {
      const std::optional<CefSize> size =
          WindowSizeForScreen(row.screen, capped);
      ASSERT_TRUE(size.has_value()) << row.screen;
      EXPECT_EQ(size->width, row.width) << row.screen;
      EXPECT_EQ(size->height, row.height) << row.screen;
    }
  }
  // Above 2600 pixels the main window is not centred at all, while an
  // explicit centring still takes the largest size.
  EXPECT_FALSE(WindowSizeForScreen(2601, true).has_value());
  EXPECT_EQ(WindowSizeForScreen(4320, false)->width, 1400);
}

}  // namespace
