#include "splash/splash_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// Reads a little-endian 16-bit size into |size| unless it is missing or 0.
bool ReadSize(FILE* file, uint16_t& size) {
  unsigned char bytes[2];
  if (!file || fread(bytes, 1, 2, file) != 2) {
    return false;
  }
  const uint16_t value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  if (value != 0) {
    size = value;
  }
  return true;
}

}  // namespace

SplashImage ReadSplashImage(FILE* file) {
  SplashImage image;
  const bool has_width = ReadSize(file, image.width);
  const bool has_height = ReadSize(file, image.height);
  const size_t bytes = size_t{4} * image.width * image.height;
  if (bytes <= kMaxSplashPixelBytes) {
    image.pixels = static_cast<char*>(calloc(bytes, 1));
  }
  size_t read = 0;
  if (file && image.pixels) {
    read = fread(image.pixels, 1, bytes, file);
  }
  image.empty = !has_width && !has_height && read == 0;
  return image;
}

SplashImage ReadSplashImageFile(const char* path) {
  // Non-blocking, so that opening a FIFO returns at once; regular files
  // ignore the flag.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return ReadSplashImage(nullptr);
  }
  struct stat info;
  FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    file = fdopen(fd, "rb");
  }
  if (!file) {
    close(fd);
    return ReadSplashImage(nullptr);
  }
  const SplashImage image = ReadSplashImage(file);
  fclose(file);
  return image;
}
