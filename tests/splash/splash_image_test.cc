// Reading the splash picture file from files that a user's working directory
// may hold instead of a picture. (What a picture's bytes read as:
// fuzz/splash_image_fuzzer.cc.)

#include "splash/splash_image.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/config/file_faults.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

std::string Header(uint16_t width, uint16_t height) {
  return std::string{
      static_cast<char>(width & 0xff), static_cast<char>(width >> 8),
      static_cast<char>(height & 0xff), static_cast<char>(height >> 8)};
}

// The picture read as text for comparison: sizes, whether empty, and the
// pixel bytes that are not zero. Frees the pixels.
std::string Describe(SplashImage image) {
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
  free(image.pixels);
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
    return Describe(ReadSplashImageFile(path.c_str()));
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
