#include "gtest/gtest.h"
#include "include/cef_base.h"

namespace {

// CefSettings owns its strings: a copy must not share buffers with the
// original (double free), and destruction frees them.
TEST(TypesTest, SettingsWrapperCopiesAndOwnsItsStrings) {
  CefSettings settings;
  EXPECT_EQ(settings.size, sizeof(cef_settings_t));
  CefString(&settings.cache_path) = "/data/cache";
  CefString(&settings.log_file) = "/data/log";
  settings.no_sandbox = 1;
  settings.log_severity = LOGSEVERITY_WARNING;
  settings.remote_debugging_port = 9222;

  CefSettings copy(settings);
  EXPECT_NE(copy.cache_path.str, settings.cache_path.str);
  EXPECT_EQ(CefString(&copy.cache_path).ToString(), "/data/cache");
  EXPECT_EQ(copy.no_sandbox, 1);
  EXPECT_EQ(copy.log_severity, LOGSEVERITY_WARNING);
  EXPECT_EQ(copy.remote_debugging_port, 9222);

  CefString(&settings.cache_path) = "/other";
  EXPECT_EQ(CefString(&copy.cache_path).ToString(), "/data/cache");

  // Assigning an empty string clears the target field.
  CefSettings empty;
  copy = empty;
  EXPECT_TRUE(CefString(&copy.cache_path).empty());
  EXPECT_EQ(copy.no_sandbox, 0);

  CefBrowserSettings browser;
  browser.javascript_access_clipboard = STATE_ENABLED;
  CefString(&browser.default_encoding) = "UTF-8";
  CefBrowserSettings browser_copy = browser;
  EXPECT_EQ(browser_copy.javascript_access_clipboard, STATE_ENABLED);
  EXPECT_EQ(CefString(&browser_copy.default_encoding).ToString(), "UTF-8");
}

TEST(TypesTest, RectContainsItsInsideButNotItsFarEdges) {
  CefRect rect(10, 20, 30, 40);
  EXPECT_TRUE(rect.Contains(10, 20));
  EXPECT_TRUE(rect.Contains(39, 59));
  EXPECT_FALSE(rect.Contains(40, 20));
  EXPECT_FALSE(rect.Contains(10, 60));
  EXPECT_FALSE(rect.Contains(9, 30));
  EXPECT_FALSE(rect.IsEmpty());
  EXPECT_TRUE(CefRect(0, 0, 0, 5).IsEmpty());
  rect.Set(1, 2, 3, 4);
  EXPECT_EQ(rect, CefRect(1, 2, 3, 4));
  EXPECT_NE(rect, CefRect(1, 2, 3, 5));
  EXPECT_TRUE(CefSize(0, 3).IsEmpty());
  EXPECT_EQ(CefRange::InvalidRange().from, UINT32_MAX);
  CefDraggableRegion region(CefRect(0, 0, 5, 5), true);
  EXPECT_EQ(region, CefDraggableRegion(CefRect(0, 0, 5, 5), true));
  EXPECT_NE(region, CefDraggableRegion(CefRect(0, 0, 5, 5), false));
}

}  // namespace
