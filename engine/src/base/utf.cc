#include "src/base/utf.h"

namespace cef_base {

bool IsValidCodePoint(char32_t cp) {
  return cp < 0xD800 || (cp > 0xDFFF && cp <= 0x10FFFF);
}

bool DecodeUTF8(const char* s, size_t len, size_t* pos, char32_t* cp) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  size_t i = *pos;
  const unsigned char lead = p[i++];
  if (lead < 0x80) {
    *cp = lead;
    *pos = i;
    return true;
  }
  int trail = 0;
  char32_t value = 0;
  // Bounds of the first trail byte exclude overlong forms, surrogates and
  // values above U+10FFFF, so a bad sequence stops at its maximal subpart.
  unsigned char lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2;
    value = lead & 0x0F;
    if (lead == 0xE0) {
      lo = 0xA0;
    } else if (lead == 0xED) {
      hi = 0x9F;
    }
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3;
    value = lead & 0x07;
    if (lead == 0xF0) {
      lo = 0x90;
    } else if (lead == 0xF4) {
      hi = 0x8F;
    }
  } else {
    *cp = kReplacementChar;
    *pos = i;
    return false;
  }
  for (int n = 0; n < trail; ++n) {
    if (i >= len || p[i] < lo || p[i] > hi) {
      *cp = kReplacementChar;
      *pos = i;
      return false;
    }
    value = (value << 6) | (p[i++] & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  *cp = value;
  *pos = i;
  return true;
}

bool DecodeUTF16(const char16_t* s, size_t len, size_t* pos, char32_t* cp) {
  size_t i = *pos;
  const char16_t unit = s[i++];
  if (unit < 0xD800 || unit > 0xDFFF) {
    *cp = unit;
    *pos = i;
    return true;
  }
  if (unit <= 0xDBFF && i < len && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
    *cp = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (s[i] - 0xDC00);
    *pos = i + 1;
    return true;
  }
  *cp = kReplacementChar;
  *pos = i;
  return false;
}

void AppendUTF8(char32_t cp, std::string* out) {
  if (!IsValidCodePoint(cp)) {
    cp = kReplacementChar;
  }
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUTF16(char32_t cp, std::u16string* out) {
  if (!IsValidCodePoint(cp)) {
    cp = kReplacementChar;
  }
  if (cp < 0x10000) {
    out->push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

bool UTF8ToUTF16(const char* s, size_t len, std::u16string* out) {
  out->clear();
  out->reserve(len);
  bool ok = true;
  for (size_t i = 0; i < len;) {
    char32_t cp;
    ok &= DecodeUTF8(s, len, &i, &cp);
    AppendUTF16(cp, out);
  }
  return ok;
}

bool UTF16ToUTF8(const char16_t* s, size_t len, std::string* out) {
  out->clear();
  out->reserve(len);
  bool ok = true;
  for (size_t i = 0; i < len;) {
    char32_t cp;
    ok &= DecodeUTF16(s, len, &i, &cp);
    AppendUTF8(cp, out);
  }
  return ok;
}

bool UTF8ToWide(const char* s, size_t len, std::wstring* out) {
  out->clear();
  bool ok = true;
  for (size_t i = 0; i < len;) {
    char32_t cp;
    ok &= DecodeUTF8(s, len, &i, &cp);
    out->push_back(static_cast<wchar_t>(cp));
  }
  return ok;
}

bool WideToUTF8(const wchar_t* s, size_t len, std::string* out) {
  out->clear();
  bool ok = true;
  for (size_t i = 0; i < len; ++i) {
    const char32_t cp = static_cast<char32_t>(s[i]);
    ok &= IsValidCodePoint(cp);
    AppendUTF8(cp, out);
  }
  return ok;
}

bool UTF16ToWide(const char16_t* s, size_t len, std::wstring* out) {
  out->clear();
  bool ok = true;
  for (size_t i = 0; i < len;) {
    char32_t cp;
    ok &= DecodeUTF16(s, len, &i, &cp);
    out->push_back(static_cast<wchar_t>(cp));
  }
  return ok;
}

bool WideToUTF16(const wchar_t* s, size_t len, std::u16string* out) {
  out->clear();
  bool ok = true;
  for (size_t i = 0; i < len; ++i) {
    const char32_t cp = static_cast<char32_t>(s[i]);
    ok &= IsValidCodePoint(cp);
    AppendUTF16(cp, out);
  }
  return ok;
}

std::u16string ToUTF16(const std::string& utf8) {
  std::u16string out;
  UTF8ToUTF16(utf8.data(), utf8.size(), &out);
  return out;
}

std::string ToUTF8(const std::u16string& utf16) {
  std::string out;
  UTF16ToUTF8(utf16.data(), utf16.size(), &out);
  return out;
}

}  // namespace cef_base
