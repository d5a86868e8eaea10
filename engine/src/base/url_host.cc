// Host canonicalisation: IPv6 and IPv4 literals, domain names (lower case,
// punycode for non-ASCII labels) and opaque hosts of other schemes.

#include <cstdint>
#include <string>
#include <vector>

#include "src/base/percent_escape.h"
#include "src/base/url_canon.h"
#include "src/base/utf.h"

namespace cef_base {
namespace {

bool IsForbiddenHostChar(unsigned char c) {
  switch (c) {
    case 0:
    case '\t':
    case '\n':
    case '\r':
    case ' ':
    case '#':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '@':
    case '[':
    case '\\':
    case ']':
    case '^':
    case '|':
      return true;
    default:
      return false;
  }
}

bool IsForbiddenDomainChar(unsigned char c) {
  return IsForbiddenHostChar(c) || c < 0x20 || c == '%' || c == 0x7F;
}

std::string PercentDecode(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (IsEscapeAt(in, i)) {
      out.push_back(static_cast<char>(EscapedByte(in, i)));
      i += 2;
    } else {
      out.push_back(in[i]);
    }
  }
  return out;
}

// RFC 3492 encoding of one label's code points.
bool Punycode(const std::u32string& input, std::string* out) {
  constexpr uint32_t kBase = 36, kTMin = 1, kTMax = 26, kSkew = 38, kDamp = 700,
                     kInitialBias = 72, kInitialN = 128;
  auto digit = [](uint32_t d) {
    return static_cast<char>(d < 26 ? 'a' + d : '0' + (d - 26));
  };
  auto adapt = [&](uint32_t delta, uint32_t points, bool first) {
    delta = first ? delta / kDamp : delta / 2;
    delta += delta / points;
    uint32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
      delta /= kBase - kTMin;
      k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
  };
  std::string result;
  for (char32_t c : input) {
    if (c < 0x80) {
      result.push_back(static_cast<char>(c));
    }
  }
  const uint32_t basic = static_cast<uint32_t>(result.size());
  uint32_t handled = basic;
  if (basic > 0) {
    result.push_back('-');
  }
  uint32_t n = kInitialN, delta = 0, bias = kInitialBias;
  while (handled < input.size()) {
    uint32_t m = UINT32_MAX;
    for (char32_t c : input) {
      if (c >= n && c < m) {
        m = c;
      }
    }
    if ((m - n) > (UINT32_MAX - delta) / (handled + 1)) {
      return false;
    }
    delta += (m - n) * (handled + 1);
    n = m;
    for (char32_t c : input) {
      if (c < n && ++delta == 0) {
        return false;
      }
      if (c == n) {
        uint32_t q = delta;
        for (uint32_t k = kBase;; k += kBase) {
          const uint32_t t =
              k <= bias ? kTMin : (k >= bias + kTMax ? kTMax : k - bias);
          if (q < t) {
            break;
          }
          result.push_back(digit(t + (q - t) % (kBase - t)));
          q = (q - t) / (kBase - t);
        }
        result.push_back(digit(q));
        bias = adapt(delta, handled + 1, handled == basic);
        delta = 0;
        ++handled;
      }
    }
    ++delta;
    ++n;
  }
  *out = "xn--" + result;
  return true;
}

// Lower-cases ASCII, maps full-width dots and punycodes non-ASCII labels.
bool DomainToASCII(const std::string& utf8, std::string* out) {
  std::u32string label;
  bool ascii_label = true;
  out->clear();
  auto flush = [&]() {
    if (ascii_label) {
      for (char32_t c : label) {
        out->push_back(static_cast<char>(c));
      }
    } else {
      std::string encoded;
      if (!Punycode(label, &encoded)) {
        return false;
      }
      out->append(encoded);
    }
    label.clear();
    ascii_label = true;
    return true;
  };
  for (size_t i = 0; i < utf8.size();) {
    char32_t c;
    if (!DecodeUTF8(utf8.data(), utf8.size(), &i, &c)) {
      return false;
    }
    if (c == '.' || c == 0x3002 || c == 0xFF0E || c == 0xFF61) {
      if (!flush()) {
        return false;
      }
      out->push_back('.');
      continue;
    }
    if (c >= 'A' && c <= 'Z') {
      c += 'a' - 'A';
    }
    if (c >= 0x80) {
      ascii_label = false;
    }
    label.push_back(c);
  }
  return flush();
}

// Parses one IPv4 part: decimal, 0x-hex or 0-octal.
bool ParseIPv4Number(const std::string& part, uint64_t* value) {
  if (part.empty()) {
    return false;
  }
  int radix = 10;
  size_t start = 0;
  if (part.size() >= 2 && part[0] == '0' &&
      (part[1] == 'x' || part[1] == 'X')) {
    radix = 16;
    start = 2;
  } else if (part.size() >= 2 && part[0] == '0') {
    radix = 8;
    start = 1;
  }
  uint64_t result = 0;
  for (size_t i = start; i < part.size(); ++i) {
    const int d = HexDigitValue(part[i]);
    if (d < 0 || d >= radix) {
      return false;
    }
    result = result * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
    if (result > 0xFFFFFFFFull) {
      result = 0x100000000ull;  // Too large either way; avoid overflow.
    }
  }
  *value = result;
  return true;
}

std::vector<std::string> SplitDots(const std::string& host) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t dot = host.find('.', start);
    parts.push_back(host.substr(start, dot - start));
    if (dot == std::string::npos) {
      break;
    }
    start = dot + 1;
  }
  if (parts.size() > 1 && parts.back().empty()) {
    parts.pop_back();
  }
  return parts;
}

bool EndsInNumber(const std::string& host) {
  const std::vector<std::string> parts = SplitDots(host);
  const std::string& last = parts.back();
  if (last.empty()) {
    return false;
  }
  if (last.find_first_not_of("0123456789") == std::string::npos) {
    return true;
  }
  return last.size() >= 2 && last[0] == '0' &&
         (last[1] == 'x' || last[1] == 'X') &&
         last.find_first_not_of("0123456789abcdefABCDEF", 2) ==
             std::string::npos;
}

bool ParseIPv4(const std::string& host, std::string* out) {
  const std::vector<std::string> parts = SplitDots(host);
  if (parts.size() > 4) {
    return false;
  }
  std::vector<uint64_t> numbers;
  for (const std::string& part : parts) {
    uint64_t value;
    if (!ParseIPv4Number(part, &value)) {
      return false;
    }
    numbers.push_back(value);
  }
  for (size_t i = 0; i + 1 < numbers.size(); ++i) {
    if (numbers[i] > 255) {
      return false;
    }
  }
  const uint64_t limit = 1ull << (8 * (5 - numbers.size()));
  if (numbers.back() >= limit) {
    return false;
  }
  uint64_t address = numbers.back();
  for (size_t i = 0; i + 1 < numbers.size(); ++i) {
    address += numbers[i] << (8 * (3 - i));
  }
  *out = std::to_string((address >> 24) & 0xFF) + "." +
         std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." +
         std::to_string(address & 0xFF);
  return true;
}

bool ParseIPv6(const std::string& in, std::string* out) {
  uint16_t pieces[8] = {};
  int piece = 0;
  int compress = -1;
  size_t i = 0;
  const size_t n = in.size();
  if (i < n && in[i] == ':') {
    if (i + 1 >= n || in[i + 1] != ':') {
      return false;
    }
    i += 2;
    compress = ++piece;
  }
  while (i < n) {
    if (piece == 8) {
      return false;
    }
    if (in[i] == ':') {
      if (compress != -1) {
        return false;
      }
      ++i;
      compress = ++piece;
      continue;
    }
    uint32_t value = 0;
    int length = 0;
    while (length < 4 && i < n && HexDigitValue(in[i]) >= 0) {
      value = value * 16 + static_cast<uint32_t>(HexDigitValue(in[i]));
      ++i;
      ++length;
    }
    if (i < n && in[i] == '.') {
      // An embedded IPv4 address fills the last two pieces.
      if (length == 0 || piece > 6) {
        return false;
      }
      i -= static_cast<size_t>(length);
      int seen = 0;
      while (i < n) {
        int ipv4_piece = -1;
        if (seen > 0) {
          if (in[i] != '.' || seen >= 4) {
            return false;
          }
          ++i;
        }
        if (i >= n || in[i] < '0' || in[i] > '9') {
          return false;
        }
        while (i < n && in[i] >= '0' && in[i] <= '9') {
          const int d = in[i] - '0';
          if (ipv4_piece == -1) {
            ipv4_piece = d;
          } else if (ipv4_piece == 0) {
            return false;
          } else {
            ipv4_piece = ipv4_piece * 10 + d;
          }
          if (ipv4_piece > 255) {
            return false;
          }
          ++i;
        }
        pieces[piece] =
            static_cast<uint16_t>(pieces[piece] * 0x100 + ipv4_piece);
        ++seen;
        if (seen == 2 || seen == 4) {
          ++piece;
        }
      }
      if (seen != 4) {
        return false;
      }
      break;
    }
    if (i < n && in[i] == ':') {
      ++i;
      if (i >= n) {
        return false;
      }
    } else if (i < n) {
      return false;
    }
    if (length == 0) {
      return false;
    }
    pieces[piece++] = static_cast<uint16_t>(value);
  }
  if (compress != -1) {
    int swaps = piece - compress;
    piece = 7;
    while (piece != 0 && swaps > 0) {
      std::swap(pieces[piece], pieces[compress + swaps - 1]);
      --piece;
      --swaps;
    }
  } else if (piece != 8) {
    return false;
  }
  // Serialise: lower-case hex, the longest run of two or more zero pieces
  // (the first on a tie) as "::".
  int best_start = -1, best_len = 1;
  for (int s = 0; s < 8;) {
    if (pieces[s] != 0) {
      ++s;
      continue;
    }
    int e = s;
    while (e < 8 && pieces[e] == 0) {
      ++e;
    }
    if (e - s > best_len) {
      best_start = s;
      best_len = e - s;
    }
    s = e;
  }
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (int p = 0; p < 8; ++p) {
    if (p == best_start) {
      text += p == 0 ? "::" : ":";
      p += best_len - 1;
      continue;
    }
    std::string hex;
    uint16_t v = pieces[p];
    do {
      hex.insert(hex.begin(), kHex[v & 0xF]);
      v = static_cast<uint16_t>(v >> 4);
    } while (v);
    text += hex;
    if (p != 7) {
      text += ":";
    }
  }
  *out = text;
  return true;
}

bool IsOpaqueHostEscape(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

bool CanonicalizeHost(const std::string& raw, bool special, std::string* out) {
  if (!raw.empty() && raw[0] == '[') {
    std::string address;
    if (raw.back() != ']' ||
        !ParseIPv6(raw.substr(1, raw.size() - 2), &address)) {
      return false;
    }
    *out = "[" + address + "]";
    return true;
  }
  if (!special) {
    for (unsigned char c : raw) {
      if (IsForbiddenHostChar(c)) {
        return false;
      }
    }
    out->clear();
    AppendEscaped(raw, IsOpaqueHostEscape, out);
    return true;
  }
  std::string domain;
  if (!DomainToASCII(PercentDecode(raw), &domain) || domain.empty()) {
    return false;
  }
  for (unsigned char c : domain) {
    if (IsForbiddenDomainChar(c)) {
      return false;
    }
  }
  if (EndsInNumber(domain)) {
    return ParseIPv4(domain, out);
  }
  *out = domain;
  return true;
}

void AppendEscaped(const std::string& in,
                   bool (*must_escape)(unsigned char),
                   std::string* out) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char ch : in) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x80 || must_escape(c)) {
      out->push_back('%');
      out->push_back(kHex[c >> 4]);
      out->push_back(kHex[c & 0xF]);
    } else {
      out->push_back(ch);
    }
  }
}

}  // namespace cef_base
