// Reading back a double-quoted script string literal, independently of the
// code that wrote it.

#ifndef KORVEL_FUZZ_SCRIPT_LITERAL_H_
#define KORVEL_FUZZ_SCRIPT_LITERAL_H_

#include <cstdint>
#include <string>

namespace fuzz {

inline int HexValue(char c) {
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

inline void AppendUtf8(uint32_t point, std::string& out) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xc0 | point >> 6);
    out += static_cast<char>(0x80 | (point & 0x3f));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xe0 | point >> 12);
    out += static_cast<char>(0x80 | (point >> 6 & 0x3f));
    out += static_cast<char>(0x80 | (point & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | point >> 18);
    out += static_cast<char>(0x80 | (point >> 12 & 0x3f));
    out += static_cast<char>(0x80 | (point >> 6 & 0x3f));
    out += static_cast<char>(0x80 | (point & 0x3f));
  }
}

// Reads the literal that starts at text[*pos] (its opening quote) and sets
// *pos past its closing quote. "\xHH" gives the byte HH, as the error page's
// escaping means it (the page's text is bytes of UTF-8 either way); "\uHHHH"
// gives the UTF-8 of the code unit (pairs joined). False when the literal
// does not end, or holds a raw line break or an unknown escape.
inline bool ReadScriptLiteral(const std::string& text,
                              size_t* pos,
                              std::string* value) {
  size_t i = *pos;
  if (i >= text.size() || text[i] != '"') {
    return false;
  }
  ++i;
  std::string out;
  while (i < text.size()) {
    const char c = text[i++];
    if (c == '"') {
      *pos = i;
      *value = out;
      return true;
    }
    if (c == '\n' || c == '\r') {
      return false;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= text.size()) {
      return false;
    }
    const char e = text[i++];
    switch (e) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'v':
        out += '\v';
        break;
      case '"':
      case '\\':
      case '/':
      case '\'':
        out += e;
        break;
      case 'x': {
        if (i + 2 > text.size() || HexValue(text[i]) < 0 ||
            HexValue(text[i + 1]) < 0) {
          return false;
        }
        out +=
            static_cast<char>(HexValue(text[i]) * 16 + HexValue(text[i + 1]));
        i += 2;
        break;
      }
      case 'u': {
        auto unit = [&](size_t at, uint32_t* u) {
          if (at + 4 > text.size()) {
            return false;
          }
          *u = 0;
          for (size_t k = 0; k < 4; ++k) {
            const int h = HexValue(text[at + k]);
            if (h < 0) {
              return false;
            }
            *u = *u * 16 + static_cast<uint32_t>(h);
          }
          return true;
        };
        uint32_t u;
        if (!unit(i, &u)) {
          return false;
        }
        i += 4;
        uint32_t low;
        if (u >= 0xd800 && u < 0xdc00 && i + 6 <= text.size() &&
            text[i] == '\\' && text[i + 1] == 'u' && unit(i + 2, &low) &&
            low >= 0xdc00 && low < 0xe000) {
          u = 0x10000 + ((u - 0xd800) << 10) + (low - 0xdc00);
          i += 6;
        }
        AppendUtf8(u, out);
        break;
      }
      default:
        return false;
    }
  }
  return false;
}

}  // namespace fuzz

#endif  // KORVEL_FUZZ_SCRIPT_LITERAL_H_
