// Reading hexadecimal digits and "%XX" escapes, shared by the URL
// canonicaliser, the URI decoder and the JSON reader.

#ifndef ENGINE_SRC_BASE_PERCENT_ESCAPE_H_
#define ENGINE_SRC_BASE_PERCENT_ESCAPE_H_

#include <string>

namespace cef_base {

// The value of hexadecimal digit |c|, or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Whether a complete escape "%XX" starts at |s|[i].
inline bool IsEscapeAt(const std::string& s, size_t i) {
  return i + 2 < s.size() && s[i] == '%' && HexDigitValue(s[i + 1]) >= 0 &&
         HexDigitValue(s[i + 2]) >= 0;
}

// The byte of the escape at |s|[i]; IsEscapeAt(s, i) must hold.
inline unsigned char EscapedByte(const std::string& s, size_t i) {
  return static_cast<unsigned char>(HexDigitValue(s[i + 1]) * 16 +
                                    HexDigitValue(s[i + 2]));
}

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_PERCENT_ESCAPE_H_
