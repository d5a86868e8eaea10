// What the fuzz targets share: a check that libFuzzer records as a crash.

#ifndef KORVEL_FUZZ_FUZZ_CHECK_H_
#define KORVEL_FUZZ_FUZZ_CHECK_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Aborts with the failed condition, so that libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                          \
  do {                                                                 \
    if (!(condition)) {                                                \
      std::fprintf(stderr, "%s:%d: FUZZ_CHECK failed: %s\n", __FILE__, \
                   __LINE__, #condition);                              \
      std::abort();                                                    \
    }                                                                  \
  } while (0)

namespace fuzz {

inline std::string AsString(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
inline bool IsValidUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length;
    uint32_t point;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xc2 && c <= 0xdf) {
      length = 2;
      point = c & 0x1f;
    } else if (c >= 0xe0 && c <= 0xef) {
      length = 3;
      point = c & 0x0f;
    } else if (c >= 0xf0 && c <= 0xf4) {
      length = 4;
      point = c & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) {
      return false;
    }
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xc0) != 0x80) {
        return false;
      }
      point = point << 6 | (next & 0x3f);
    }
    if ((length == 3 && point < 0x800) || (length == 4 && point < 0x10000) ||
        point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff)) {
      return false;
    }
    i += length;
  }
  return true;
}

// A script text may hold a string literal on one line and inside an HTML
// script element only without a raw line terminator (LF, CR, U+2028,
// U+2029) or "<".
inline bool HasRawLineTerminatorOrLess(const std::string& text) {
  return text.find_first_of("\n\r<") != std::string::npos ||
         text.find("\xe2\x80\xa8") != std::string::npos ||
         text.find("\xe2\x80\xa9") != std::string::npos;
}

}  // namespace fuzz

#endif  // KORVEL_FUZZ_FUZZ_CHECK_H_
