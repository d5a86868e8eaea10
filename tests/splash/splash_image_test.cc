// Reading the splash picture file, from in-memory files.

#include "splash/splash_image.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// Reads |bytes| as a picture file.
SplashImage ReadBytes(const std::string& bytes) {
  std::string copy = bytes;
  FILE* file = copy.empty() ? fopen("/dev/null", "rb")
                            : fmemopen(copy.data(), copy.size(), "rb");
  SplashImage image = ReadSplashImage(file);
  fclose(file);
  return image;
}

std::string Header(uint16_t width, uint16_t height) {
  return std::string{
      static_cast<char>(width & 0xff), static_cast<char>(width >> 8),
      static_cast<char>(height & 0xff), static_cast<char>(height >> 8)};
}

class SplashImageTest : public ::testing::Test {
 protected:
  void TearDown() override { free(image_.pixels); }
  SplashImage image_;
};

TEST_F(SplashImageTest, CompleteFileGivesSizesAndPixelsUnchanged) {
  const std::string pixels = "\x01\x02\x03\x04\xf0\xe0\xd0\xc0";
  image_ = ReadBytes(Header(2, 1) + pixels + "trailing bytes");
  EXPECT_EQ(image_.width, 2);
  EXPECT_EQ(image_.height, 1);
  EXPECT_FALSE(image_.empty);
  ASSERT_NE(image_.pixels, nullptr);
  EXPECT_EQ(std::string(image_.pixels, 8), pixels);
}

TEST_F(SplashImageTest, LittleEndianSizesAndAShortPixelBlock) {
  image_ = ReadBytes(Header(0x0102, 3) + "\xff\xff\xff");
  EXPECT_EQ(image_.width, 258);
  EXPECT_EQ(image_.height, 3);
  ASSERT_NE(image_.pixels, nullptr);
  EXPECT_EQ(std::string(image_.pixels, 4), std::string("\xff\xff\xff\0", 4));
  // What the file does not give stays zero.
  const std::string rest(image_.pixels + 4, 4 * 258 * 3 - 4);
  EXPECT_EQ(rest.find_first_not_of('\0'), std::string::npos);
}

TEST_F(SplashImageTest, HeaderOnlyIsNotEmpty) {
  image_ = ReadBytes(Header(40, 30));
  EXPECT_EQ(image_.width, 40);
  EXPECT_EQ(image_.height, 30);
  EXPECT_FALSE(image_.empty);
  EXPECT_NE(image_.pixels, nullptr);
}

TEST_F(SplashImageTest, MissingSizesKeepTheDefaults) {
  image_ = ReadBytes("");
  EXPECT_EQ(image_.width, kDefaultSplashWidth);
  EXPECT_EQ(image_.height, kDefaultSplashHeight);
  EXPECT_TRUE(image_.empty);
  EXPECT_NE(image_.pixels, nullptr);
  free(image_.pixels);

  // One size byte too few for the height.
  image_ = ReadBytes(Header(7, 0).substr(0, 3));
  EXPECT_EQ(image_.width, 7);
  EXPECT_EQ(image_.height, kDefaultSplashHeight);
  EXPECT_FALSE(image_.empty);
  free(image_.pixels);

  // No file at all reads like an empty one.
  image_ = ReadSplashImage(nullptr);
  EXPECT_EQ(image_.width, kDefaultSplashWidth);
  EXPECT_TRUE(image_.empty);
}

// No window can be 0 pixels wide or high.
TEST_F(SplashImageTest, ZeroSizesKeepTheDefaults) {
  image_ = ReadBytes(Header(0, 20));
  EXPECT_EQ(image_.width, kDefaultSplashWidth);
  EXPECT_EQ(image_.height, 20);
}

TEST_F(SplashImageTest, OversizedPictureIsNotRead) {
  image_ = ReadBytes(Header(65535, 65535) + "\x01\x02\x03\x04");
  EXPECT_EQ(image_.width, 65535);
  EXPECT_EQ(image_.pixels, nullptr);
  EXPECT_FALSE(image_.empty);
}

}  // namespace
