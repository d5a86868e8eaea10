// The splash picture file: two little-endian 16-bit sizes, then the pixels
// as 32-bit words in the X server's own layout, row by row without padding.

#ifndef KORVEL_SPLASH_SPLASH_IMAGE_H_
#define KORVEL_SPLASH_SPLASH_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The picture in the working directory that the splash shows.
constexpr char kSplashImageFile[] = "./loading.pixel";

// Sizes used where the file does not give one.
constexpr uint16_t kDefaultSplashWidth = 500;
constexpr uint16_t kDefaultSplashHeight = 300;

// The largest pixel block that is read. No splash comes near it (4096 ×
// 4096 pixels is 64 MiB); a header that claims more would have the X
// connection carry gigabytes.
constexpr size_t kMaxSplashPixelBytes = size_t{256} << 20;

struct SplashImage {
  uint16_t width = kDefaultSplashWidth;
  uint16_t height = kDefaultSplashHeight;
  // 4 × width × height bytes from malloc, or null when that is more than
  // kMaxSplashPixelBytes or not to be had; bytes the file does not provide
  // are zero. The X image that takes it frees it.
  char* pixels = nullptr;
  // Neither a size nor a pixel byte could be read.
  bool empty = true;
};

// Reads |file| (which may be null, like an empty file) in three block reads.
// A size that cannot be read, or reads as zero (no window can have it),
// keeps its default. Bytes after the last pixel are ignored.
SplashImage ReadSplashImage(FILE* file);

// ReadSplashImage of the file at |path| when it is a regular file that can be
// opened; anything else (missing, unreadable, a directory, a FIFO that would
// block until a writer comes) reads like no file.
SplashImage ReadSplashImageFile(const char* path);

#endif  // KORVEL_SPLASH_SPLASH_IMAGE_H_
