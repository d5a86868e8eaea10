// The splash picture file, read from memory as the splash reads its file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "splash/splash_image.h"

namespace {

uint16_t SizeAt(const uint8_t* data, size_t size, size_t at, uint16_t dflt) {
  if (size < at + 2) {
    return dflt;
  }
  const uint16_t value = static_cast<uint16_t>(data[at] | data[at + 1] << 8);
  return value != 0 ? value : dflt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // fmemopen refuses an empty buffer; an empty file reads as one.
  FILE* file = size == 0 ? fopen("/dev/null", "rb")
                         : fmemopen(const_cast<uint8_t*>(data), size, "rb");
  FUZZ_CHECK(file != nullptr);
  SplashImage image = ReadSplashImage(file);
  fclose(file);

  FUZZ_CHECK(image.width == SizeAt(data, size, 0, kDefaultSplashWidth));
  FUZZ_CHECK(image.height == SizeAt(data, size, 2, kDefaultSplashHeight));
  FUZZ_CHECK(image.empty == (size < 2));
  const size_t bytes = size_t{4} * image.width * image.height;
  FUZZ_CHECK((image.pixels != nullptr) == (bytes <= kMaxSplashPixelBytes));
  if (image.pixels) {
    // The pixels are the bytes after the sizes, then zeros.
    const size_t given = size > 4 ? std::min(size - 4, bytes) : 0;
    FUZZ_CHECK(given == 0 || std::memcmp(image.pixels, data + 4, given) == 0);
    const size_t checked = std::min(bytes, given + 4096);
    for (size_t i = given; i < checked; ++i) {
      FUZZ_CHECK(image.pixels[i] == 0);
    }
  }
  free(image.pixels);
  return 0;
}
