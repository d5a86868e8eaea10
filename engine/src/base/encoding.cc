// Base64 and URI escaping of cef_parser.h.

#include <string>

#include "include/cef_parser.h"
#include "src/base/percent_escape.h"
#include "src/base/utf.h"

namespace {

using cef_base::EscapedByte;
using cef_base::IsEscapeAt;

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') {
    return c - 'A';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 26;
  }
  if (c >= '0' && c <= '9') {
    return c - '0' + 52;
  }
  if (c == '+') {
    return 62;
  }
  if (c == '/') {
    return 63;
  }
  return -1;
}

// Strict decoding: whole quads, '=' only as one or two final padding
// characters, nothing outside the alphabet.
bool Base64Decode(const std::string& in, std::string* out) {
  if (in.size() % 4 != 0) {
    return false;
  }
  size_t padding = 0;
  if (!in.empty() && in.back() == '=') {
    padding = in.size() >= 2 && in[in.size() - 2] == '=' ? 2 : 1;
  }
  out->clear();
  uint32_t bits = 0;
  int bit_count = 0;
  for (size_t i = 0; i < in.size() - padding; ++i) {
    const int value = Base64Value(in[i]);
    if (value < 0) {
      return false;
    }
    bits = (bits << 6) | static_cast<uint32_t>(value);
    bit_count += 6;
    if (bit_count >= 8) {
      bit_count -= 8;
      out->push_back(static_cast<char>((bits >> bit_count) & 0xFF));
    }
  }
  return true;
}

// Characters that may pose as something else once unescaped in a URL
// shown to a user: bidirectional controls, invisible fillers, lock icons.
bool IsSpoofingCodePoint(char32_t cp) {
  return cp == 0x00AD || cp == 0x034F || cp == 0x061C || cp == 0x115F ||
         cp == 0x1160 || cp == 0x17B4 || cp == 0x17B5 ||
         (cp >= 0x180B && cp <= 0x180E) || (cp >= 0x200B && cp <= 0x200F) ||
         (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x206F) ||
         cp == 0x3164 || (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF ||
         cp == 0xFFA0 || (cp >= 0xFFF0 && cp <= 0xFFF8) ||
         (cp >= 0x1F50F && cp <= 0x1F513) || cp == 0x1F6E1 ||
         (cp >= 0xE0000 && cp <= 0xE0FFF);
}

bool MayUnescapeAscii(unsigned char c, int rules) {
  if (c < 0x20 || c == 0x7F) {
    return false;  // Control characters stay escaped.
  }
  switch (c) {
    case ' ':
      return rules & UU_SPACES;
    case '/':
    case '\\':
      return rules & UU_PATH_SEPARATORS;
    case '#':
    case '%':
    case '&':
    case '+':
    case '?':
      return rules & UU_URL_SPECIAL_CHARS_EXCEPT_PATH_SEPARATORS;
    default:
      return true;
  }
}

// Unescapes |text| under |rules|; the result is a byte string.
std::string Unescape(const std::string& text, int rules) {
  if (rules == UU_NONE) {
    return text;
  }
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '+' && (rules & UU_REPLACE_PLUS_WITH_SPACE)) {
      out.push_back(' ');
      ++i;
      continue;
    }
    if (!IsEscapeAt(text, i)) {
      out.push_back(text[i++]);
      continue;
    }
    const unsigned char byte = EscapedByte(text, i);
    if (byte < 0x80) {
      if (MayUnescapeAscii(byte, rules)) {
        out.push_back(static_cast<char>(byte));
      } else {
        out.append(text, i, 3);
      }
      i += 3;
      continue;
    }
    // A multi-byte character is unescaped only whole, valid and harmless.
    std::string bytes;
    size_t j = i;
    while (IsEscapeAt(text, j) && bytes.size() < 4) {
      const unsigned char b = EscapedByte(text, j);
      if (!bytes.empty() && (b & 0xC0) != 0x80) {
        break;
      }
      bytes.push_back(static_cast<char>(b));
      j += 3;
    }
    size_t pos = 0;
    char32_t cp;
    if (cef_base::DecodeUTF8(bytes.data(), bytes.size(), &pos, &cp) &&
        !IsSpoofingCodePoint(cp)) {
      out.append(bytes, 0, pos);
      i += pos * 3;
    } else {
      out.append(text, i, 3);
      i += 3;
    }
  }
  return out;
}

}  // namespace

CefString CefBase64Encode(const void* data, size_t data_size) {
  if (!data || data_size == 0) {
    return CefString();
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string out;
  out.reserve((data_size + 2) / 3 * 4);
  for (size_t i = 0; i < data_size; i += 3) {
    const size_t remaining = data_size - i;
    uint32_t chunk = static_cast<uint32_t>(bytes[i]) << 16;
    if (remaining > 1) {
      chunk |= static_cast<uint32_t>(bytes[i + 1]) << 8;
    }
    if (remaining > 2) {
      chunk |= bytes[i + 2];
    }
    out.push_back(kBase64Alphabet[(chunk >> 18) & 0x3F]);
    out.push_back(kBase64Alphabet[(chunk >> 12) & 0x3F]);
    out.push_back(remaining > 1 ? kBase64Alphabet[(chunk >> 6) & 0x3F] : '=');
    out.push_back(remaining > 2 ? kBase64Alphabet[chunk & 0x3F] : '=');
  }
  return out;
}

CefRefPtr<CefBinaryValue> CefBase64Decode(const CefString& data) {
  if (data.empty()) {
    return nullptr;
  }
  std::string decoded;
  if (!Base64Decode(data.ToString(), &decoded)) {
    return nullptr;
  }
  // Create() refuses empty data, as the production engine does.
  return CefBinaryValue::Create(decoded.data(), decoded.size());
}

CefString CefURIEncode(const CefString& text, bool use_plus) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string utf8 = text.ToString();
  std::string out;
  out.reserve(utf8.size() * 3);
  for (const char ch : utf8) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                            c == '.' || c == '!' || c == '~' || c == '*' ||
                            c == '\'' || c == '(' || c == ')';
    if (unreserved) {
      out.push_back(ch);
    } else if (c == ' ' && use_plus) {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
  }
  return out;
}

CefString CefURIDecode(const CefString& text,
                       bool convert_to_utf8,
                       cef_uri_unescape_rule_t unescape_rule) {
  const std::string input = text.ToString();
  const std::string unescaped = Unescape(input, unescape_rule);
  if (convert_to_utf8) {
    std::u16string utf16;
    if (cef_base::UTF8ToUTF16(unescaped.data(), unescaped.size(), &utf16)) {
      return utf16;
    }
    // Not UTF-8 once unescaped: hand back the text as it came.
    return text;
  }
  return unescaped;
}
