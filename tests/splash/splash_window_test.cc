// The splash on a real X server with openbox: where it sits, what it looks
// like to the window manager, what it draws, and what it says.

#include "splash/splash_window.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "splash/splash.h"
#include "tests/splash/x_probe.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/x_window.h"

namespace {

using engine_test::Geometry;
using engine_test::GetGeometry;
using engine_test::MapState;
using engine_test::Property;
using engine_test::TempDir;

// A picture file of |width| × |height| whose pixel (x, y) is |pixel(x, y)|
// as 0x00RRGGBB, stored the way a little-endian 24-bit server keeps it.
template <typename PixelFn>
std::string PictureFile(uint16_t width, uint16_t height, PixelFn pixel) {
  std::string bytes{
      static_cast<char>(width & 0xff), static_cast<char>(width >> 8),
      static_cast<char>(height & 0xff), static_cast<char>(height >> 8)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = pixel(x, y);
      bytes += static_cast<char>(rgb & 0xff);
      bytes += static_cast<char>((rgb >> 8) & 0xff);
      bytes += static_cast<char>((rgb >> 16) & 0xff);
      bytes += '\0';
    }
  }
  return bytes;
}

// The screen tests/support/with-x gives.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

class SplashWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { CloseSplashWindow(); }

  std::string WriteFile(const std::string& bytes) {
    return dir_.Write("loading.pixel", bytes);
  }

  // Opens the splash on |path| and returns what it printed.
  std::string OpenAndCapture(const std::string& path) {
    const std::string out = dir_.path() + "/stdout";
    fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int file = open(out.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    dup2(file, STDOUT_FILENO);
    close(file);
    OpenSplashWindow(path);
    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    return engine_test::ReadFile(out);
  }

  TempDir dir_{"korvel-splash"};
};

// A picture is centred, a dock, opened silently, and every pixel reaches the
// screen in the file's byte order.
TEST_F(SplashWindowTest, PictureIsCentredDockedAndDrawnUnchanged) {
  auto pattern = [](int x, int y) {
    return static_cast<uint32_t>((x * 4) << 16 | (y * 5) << 8 | (x ^ y));
  };
  EXPECT_EQ(OpenAndCapture(WriteFile(PictureFile(64, 48, pattern))), "");
  const unsigned long xid = SplashWindowId();
  ASSERT_NE(xid, 0u);
  EXPECT_EQ(MapState(xid), "IsViewable");
  // The window manager keeps the position and takes the border away, as it
  // does for every window it frames.
  const Geometry g = GetGeometry(xid);
  EXPECT_EQ(g.width, 64);
  EXPECT_EQ(g.height, 48);
  EXPECT_EQ(g.x, (kScreenWidth - 64) / 2);
  EXPECT_EQ(g.y, (kScreenHeight - 48) / 2);
  EXPECT_NE(
      Property(xid, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_DOCK"),
      std::string::npos);
  std::vector<uint32_t> expected;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      expected.push_back(pattern(x, y));
    }
  }
  EXPECT_EQ(WindowPixels(xid, 64, 48), expected);
}

// No file at all still shows a 500 × 300 splash and says that the picture
// is missing.
TEST_F(SplashWindowTest, NothingToReadGivesTheDefaultSizeAndAMessage) {
  EXPECT_EQ(OpenAndCapture(dir_.path() + "/no-such-file"),
            "Image data does not exist\n");
  const unsigned long xid = SplashWindowId();
  ASSERT_NE(xid, 0u);
  const Geometry g = GetGeometry(xid);
  EXPECT_EQ(g.width, 500);
  EXPECT_EQ(g.height, 300);
  EXPECT_EQ(g.x, (kScreenWidth - 500) / 2);
}

// ShowSplash reads the picture from the working directory; a second splash
// replaces the first; a client takes down only the splash it put up itself,
// and closing again is harmless.
TEST_F(SplashWindowTest, OneSplashAtATimeTakenDownByItsOwnClient) {
  const std::string path = WriteFile(std::string("\x20\x00\x10\x00", 4));
  char previous[PATH_MAX];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  CefRefPtr<ShellClient> first = new ShellClient(true, "http://app.test", "");
  CefRefPtr<ShellClient> second = new ShellClient(true, "http://app.test", "");
  ShowSplash(first, nullptr);
  EXPECT_EQ(chdir(previous), 0);
  EXPECT_TRUE(first->splashShown);
  OpenSplashWindow(path);
  const unsigned long xid = SplashWindowId();
  ASSERT_NE(xid, 0u);
  EXPECT_EQ(GetGeometry(xid).width, 32);
  EXPECT_EQ(CountViewableDocks(), 1);

  CloseSplash(second);
  EXPECT_FALSE(second->splashShown);
  EXPECT_EQ(MapState(xid), "IsViewable");
  CloseSplash(first);
  EXPECT_FALSE(first->splashShown);
  EXPECT_EQ(SplashWindowId(), 0u);
  EXPECT_EQ(MapState(xid), "");
  EXPECT_EQ(CountViewableDocks(), 0);
  CloseSplashWindow();
  EXPECT_EQ(SplashWindowId(), 0u);
}

}  // namespace
