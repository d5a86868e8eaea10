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

}  // namespace
