#include "gtest/gtest.h"
#include "include/cef_base.h"

namespace {

TEST(TypesTest, NetErrorCodesHaveTheEngineValues) {
  // Pages and logs compare against these numbers.
  EXPECT_EQ(ERR_NONE, 0);
  EXPECT_EQ(ERR_FAILED, -2);
  EXPECT_EQ(ERR_ABORTED, -3);
  EXPECT_EQ(ERR_INVALID_ARGUMENT, -4);
  EXPECT_EQ(ERR_FILE_NOT_FOUND, -6);
  EXPECT_EQ(ERR_TIMED_OUT, -7);
  EXPECT_EQ(ERR_BLOCKED_BY_CLIENT, -20);
  EXPECT_EQ(ERR_CONNECTION_CLOSED, -100);
  EXPECT_EQ(ERR_CONNECTION_RESET, -101);
  EXPECT_EQ(ERR_CONNECTION_REFUSED, -102);
  EXPECT_EQ(ERR_CONNECTION_ABORTED, -103);
  EXPECT_EQ(ERR_CONNECTION_FAILED, -104);
  EXPECT_EQ(ERR_NAME_NOT_RESOLVED, -105);
  EXPECT_EQ(ERR_INTERNET_DISCONNECTED, -106);
  EXPECT_EQ(ERR_ADDRESS_UNREACHABLE, -109);
  EXPECT_EQ(ERR_CERT_COMMON_NAME_INVALID, -200);
  EXPECT_EQ(ERR_CERT_AUTHORITY_INVALID, -202);
  EXPECT_EQ(ERR_INVALID_URL, -300);
  EXPECT_EQ(ERR_DISALLOWED_URL_SCHEME, -301);
  EXPECT_EQ(ERR_UNKNOWN_URL_SCHEME, -302);
  EXPECT_EQ(ERR_UNSAFE_REDIRECT, -311);
  EXPECT_EQ(ERR_UNSAFE_PORT, -312);
  EXPECT_EQ(ERR_INVALID_RESPONSE, -320);
  EXPECT_EQ(ERR_EMPTY_RESPONSE, -324);
}

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

TEST(TypesTest, WindowInfoAndMainArgsCarryTheirFields) {
  char program[] = "korvel";
  char* argv[] = {program, nullptr};
  CefMainArgs args(1, argv);
  EXPECT_EQ(args.argc, 1);
  EXPECT_EQ(args.argv[0], program);

  CefWindowInfo info;
  info.SetAsChild(42, CefRect(0, 0, 800, 600));
  CefString(&info.window_name) = "main";
  CefWindowInfo copy = info;
  EXPECT_EQ(copy.parent_window, 42u);
  EXPECT_EQ(copy.bounds.width, 800);
  EXPECT_EQ(CefString(&copy.window_name).ToString(), "main");
  info.SetAsWindowless(7);
  EXPECT_EQ(info.runtime_style, CEF_RUNTIME_STYLE_ALLOY);
}

}  // namespace
