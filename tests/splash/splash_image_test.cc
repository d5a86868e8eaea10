// Reading the splash picture file, from in-memory files and from files that
// a user's working directory may hold instead of a picture.

#include "splash/splash_image.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/config/file_faults.h"
#include "tests/support/engine_harness/temp_dir.h"

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

// The picture read as text for comparison: sizes, whether empty, and the
// pixel bytes that are not zero.
std::string Describe(const SplashImage& image) {
  std::string text = std::to_string(image.width) + "x" +
                     std::to_string(image.height) +
                     (image.empty ? " empty" : "");
  if (!image.pixels) {
    return text + " no pixels";
  }
  size_t nonZero = 0;
  for (size_t i = 0; i < size_t{4} * image.width * image.height; ++i) {
    nonZero += image.pixels[i] != 0;
  }
  return text + " " + std::to_string(nonZero) + " set";
}

// Anything but a regular file at the picture's path reads like no file: a
// FIFO must not block the start, a directory or a loop must not crash. A
// 1 GiB file is read no further than its header's size (1024 × 1024 here).
// Read as an ordinary user, since root reads a mode-000 file.
TEST(SplashImageFileTest, FaultyFilesReadAsNoFileAsAUser) {
  using file_faults::Fault;
  engine_test::TempDir dir("splash-image-test");
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const std::string path = dir.path() + "/loading.pixel";
  const auto read = [&path] {
    SplashImage image = ReadSplashImageFile(path.c_str());
    std::string text = Describe(image);
    free(image.pixels);
    return text;
  };
  const std::string head = Header(1024, 1024) + "\x01\x02";
  dir.Write("loading.pixel", head);
  EXPECT_EQ(file_faults::ReadAsUser(read).result, "1024x1024 2 set");
  for (Fault fault : file_faults::kEveryFault) {
    ASSERT_TRUE(file_faults::Place(path, fault, head));
    file_faults::UserRead outcome = file_faults::ReadAsUser(read);
    EXPECT_EQ(outcome.result, fault == Fault::kHugeSparse
                                  ? "1024x1024 2 set"
                                  : "500x300 empty 0 set")
        << file_faults::Name(fault);
    EXPECT_LT(outcome.peakGrowthKb, 32 * 1024) << file_faults::Name(fault);
  }
}

// A picture rewritten while it is read: the sizes are the file's or the
// defaults, every pixel byte one the file held or zero, never memory of
// anything else. (A size read that meets the file just emptied keeps its
// default, and the reads after it may start at the header again.)
TEST(SplashImageFileTest, PictureRewrittenWhileRead) {
  engine_test::TempDir dir("splash-image-test");
  const std::string path = dir.path() + "/loading.pixel";
  const std::string pixels(4 * 64 * 64, '\x7f');
  {
    file_faults::Churn writer(path, Header(64, 64), pixels.substr(0, 4096),
                              2 * pixels.size());
    for (int reads = 0; reads < 20000 && (reads < 200 || writer.rounds() < 20);
         ++reads) {
      SplashImage image = ReadSplashImageFile(path.c_str());
      bool onlyFileBytes = image.pixels != nullptr;
      for (size_t i = 0;
           onlyFileBytes && i < size_t{4} * image.width * image.height; ++i) {
        const char byte = image.pixels[i];
        onlyFileBytes = byte == 0 || byte == 0x7f || byte == 64;
      }
      free(image.pixels);
      // Each size on its own, since the file may be emptied between them.
      ASSERT_TRUE(image.width == 64 || image.width == kDefaultSplashWidth)
          << image.width;
      ASSERT_TRUE(image.height == 64 || image.height == kDefaultSplashHeight)
          << image.height;
      ASSERT_TRUE(onlyFileBytes);
    }
    EXPECT_GE(writer.rounds(), 20);
  }
}

}  // namespace
