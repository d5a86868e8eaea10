#include "gtest/gtest.h"
#include "include/cef_base.h"

namespace {

// Settings are filled through CefString wrappers of their fields: the text
// must land in the struct, not in a temporary. CefSettings owns its
// strings: a copy must not share buffers with the original (double free).
TEST(TypesTest, SettingsWrapperCopiesAndOwnsItsStrings) {
  CefSettings settings;
  CefString(&settings.cache_path) = "/data/cache";
  settings.no_sandbox = 1;

  CefSettings copy(settings);
  EXPECT_NE(copy.cache_path.str, settings.cache_path.str);
  EXPECT_EQ(CefString(&copy.cache_path).ToString(), "/data/cache");
  EXPECT_EQ(copy.no_sandbox, 1);

  CefString(&settings.cache_path) = "/other";
  EXPECT_EQ(CefString(&copy.cache_path).ToString(), "/data/cache");

  // Assigning an empty string clears the target field.
  CefSettings empty;
  copy = empty;
  EXPECT_TRUE(CefString(&copy.cache_path).empty());
  EXPECT_EQ(copy.no_sandbox, 0);
}

// Drag regions are hit-tested with Contains: an inclusive far edge would
// let a region take one pixel row and column beyond itself.
TEST(TypesTest, RectContainsItsInsideButNotItsFarEdges) {
  CefRect rect(10, 20, 30, 40);
  EXPECT_TRUE(rect.Contains(10, 20));
  EXPECT_TRUE(rect.Contains(39, 59));
  EXPECT_FALSE(rect.Contains(40, 20));
  EXPECT_FALSE(rect.Contains(10, 60));
  EXPECT_FALSE(rect.Contains(9, 30));
}

}  // namespace
