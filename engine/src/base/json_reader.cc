// CefParseJSON: an RFC 8259 parser. Integers that fit in 32 bits become
// VTYPE_INT and every other number VTYPE_DOUBLE, nesting is limited to 200
// levels, and the input must be valid UTF-8. The only relaxation offered is
// JSON_PARSER_ALLOW_TRAILING_COMMAS.

#include <locale.h>
#include <stdlib.h>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "include/cef_parser.h"
#include "src/base/percent_escape.h"
#include "src/base/utf.h"
#include "src/base/value_node.h"
#include "src/base/values_internal.h"

namespace cef_base {
namespace {

constexpr int kMaxDepth = 200;

class JsonParser {
 public:
  JsonParser(const char* data, size_t size, cef_json_parser_options_t options)
      : data_(data),
        size_(size),
        allow_trailing_commas_(options & JSON_PARSER_ALLOW_TRAILING_COMMAS) {}

  ValueNodePtr Parse() {
    // A UTF-8 byte order mark is tolerated.
    if (size_ >= 3 && data_[0] == '\xEF' && data_[1] == '\xBB' &&
        data_[2] == '\xBF') {
      pos_ = 3;
    }
    SkipWhitespace();
    ValueNodePtr root = ParseValue(0);
    if (!root) {
      return nullptr;
    }
    SkipWhitespace();
    if (pos_ != size_) {
      return Fail("trailing characters");
    }
    return root;
  }

  const std::string& error() const { return error_; }

 private:
  ValueNodePtr Fail(const char* description) {
    if (error_.empty()) {
      int line = 1;
      int column = 1;
      for (size_t i = 0; i < pos_ && i < size_; ++i) {
        if (data_[i] == '\n') {
          ++line;
          column = 1;
        } else {
          ++column;
        }
      }
      // Chromium 138's reader words its errors this way.
      error_ = std::string(description) + " at line " + std::to_string(line) +
               " column " + std::to_string(column);
    }
    return nullptr;
  }

  bool AtEnd() const { return pos_ >= size_; }
  char Peek() const { return AtEnd() ? '\0' : data_[pos_]; }

  void SkipWhitespace() {
    while (!AtEnd() && (data_[pos_] == ' ' || data_[pos_] == '\t' ||
                        data_[pos_] == '\n' || data_[pos_] == '\r')) {
      ++pos_;
    }
  }

  ValueNodePtr ParseValue(int depth) {
    if (AtEnd()) {
      return Fail("EOF while parsing a value");
    }
    switch (Peek()) {
      case '{':
        return ParseObject(depth + 1);
      case '[':
        return ParseArray(depth + 1);
      case '"': {
        std::string text;
        if (!ParseString(&text)) {
          return nullptr;
        }
        return NewString(std::move(text));
      }
      case 't':
        return ParseLiteral("true", NewBool(true));
      case 'f':
        return ParseLiteral("false", NewBool(false));
      case 'n':
        return ParseLiteral("null", NewNode(VTYPE_NULL));
      default:
        if (Peek() == '-' || (Peek() >= '0' && Peek() <= '9')) {
          return ParseNumber();
        }
        return Fail("expected value");
    }
  }

  ValueNodePtr ParseLiteral(const std::string& word, ValueNodePtr value) {
    if (pos_ + word.size() > size_ ||
        std::string(data_ + pos_, word.size()) != word) {
      return Fail("expected ident");
    }
    pos_ += word.size();
    return value;
  }

  ValueNodePtr ParseObject(int depth) {
    if (depth > kMaxDepth) {
      return Fail("recursion limit exceeded");
    }
    ++pos_;  // '{'
    ValueNodePtr dict = NewNode(VTYPE_DICTIONARY);
    SkipWhitespace();
    if (Peek() == '}') {
      ++pos_;
      return dict;
    }
    while (true) {
      SkipWhitespace();
      if (Peek() != '"') {
        return Fail(AtEnd() ? "EOF while parsing an object"
                            : "key must be a string");
      }
      std::string key;
      if (!ParseString(&key)) {
        return nullptr;
      }
      SkipWhitespace();
      if (Peek() != ':') {
        return Fail(AtEnd() ? "EOF while parsing an object" : "expected `:`");
      }
      ++pos_;
      SkipWhitespace();
      ValueNodePtr value = ParseValue(depth);
      if (!value) {
        return nullptr;
      }
      // A repeated key keeps its last value.
      dict->dict_value[key] = std::move(value);
      SkipWhitespace();
      if (Peek() == ',') {
        ++pos_;
        SkipWhitespace();
        if (Peek() == '}') {
          if (!allow_trailing_commas_) {
            return Fail("trailing comma");
          }
          ++pos_;
          return dict;
        }
        continue;
      }
      if (Peek() == '}') {
        ++pos_;
        return dict;
      }
      return Fail(AtEnd() ? "EOF while parsing an object"
                          : "expected `,` or `}`");
    }
  }

  ValueNodePtr ParseArray(int depth) {
    if (depth > kMaxDepth) {
      return Fail("recursion limit exceeded");
    }
    ++pos_;  // '['
    ValueNodePtr list = NewNode(VTYPE_LIST);
    SkipWhitespace();
    if (Peek() == ']') {
      ++pos_;
      return list;
    }
    while (true) {
      SkipWhitespace();
      ValueNodePtr value = ParseValue(depth);
      if (!value) {
        return nullptr;
      }
      list->list_value.push_back(std::move(value));
      SkipWhitespace();
      if (Peek() == ',') {
        ++pos_;
        SkipWhitespace();
        if (Peek() == ']') {
          if (!allow_trailing_commas_) {
            return Fail("trailing comma");
          }
          ++pos_;
          return list;
        }
        continue;
      }
      if (Peek() == ']') {
        ++pos_;
        return list;
      }
      return Fail(AtEnd() ? "EOF while parsing a list" : "expected `,` or `]`");
    }
  }

  bool ReadHex4(char16_t* unit) {
    if (size_ - pos_ < 4) {
      return false;
    }
    int value = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = HexDigitValue(data_[pos_ + i]);
      if (digit < 0) {
        return false;
      }
      value = value * 16 + digit;
    }
    pos_ += 4;
    *unit = static_cast<char16_t>(value);
    return true;
  }

  // Reads a quoted string at pos_ into |out| as UTF-8.
  bool ParseString(std::string* out) {
    ++pos_;  // opening quote
    while (true) {
      if (AtEnd()) {
        Fail("EOF while parsing a string");
        return false;
      }
      const unsigned char c = static_cast<unsigned char>(data_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) {
        Fail(
            "control character (\\u0000-\\u001F) found while parsing a string");
        return false;
      }
      if (c == '\\') {
        if (!ParseEscape(out)) {
          return false;
        }
        continue;
      }
      char32_t cp;
      const size_t start = pos_;
      if (!DecodeUTF8(data_, size_, &pos_, &cp)) {
        pos_ = start;
        Fail("invalid unicode code point");
        return false;
      }
      out->append(data_ + start, pos_ - start);
    }
  }

  bool ParseEscape(std::string* out) {
    ++pos_;  // backslash
    if (AtEnd()) {
      Fail("EOF while parsing a string");
      return false;
    }
    const char c = data_[pos_++];
    switch (c) {
      case '"':
      case '\\':
      case '/':
        out->push_back(c);
        return true;
      case 'b':
        out->push_back('\b');
        return true;
      case 'f':
        out->push_back('\f');
        return true;
      case 'n':
        out->push_back('\n');
        return true;
      case 'r':
        out->push_back('\r');
        return true;
      case 't':
        out->push_back('\t');
        return true;
      case 'u': {
        char16_t high;
        if (!ReadHex4(&high)) {
          Fail("invalid escape");
          return false;
        }
        char32_t cp = high;
        if (high >= 0xD800 && high <= 0xDBFF) {
          // A high surrogate must be followed by an escaped low surrogate.
          char16_t low;
          if (size_ - pos_ < 2 || data_[pos_] != '\\' ||
              data_[pos_ + 1] != 'u') {
            Fail("unexpected end of hex escape");
            return false;
          }
          pos_ += 2;
          if (!ReadHex4(&low) || low < 0xDC00 || low > 0xDFFF) {
            Fail("lone leading surrogate in hex escape");
            return false;
          }
          cp = 0x10000 + ((char32_t{high} - 0xD800) << 10) + (low - 0xDC00);
        } else if (high >= 0xDC00 && high <= 0xDFFF) {
          Fail("lone leading surrogate in hex escape");
          return false;
        }
        AppendUTF8(cp, out);
        return true;
      }
      default:
        --pos_;
        Fail("invalid escape");
        return false;
    }
  }

  ValueNodePtr ParseNumber() {
    const size_t start = pos_;
    bool is_integer = true;
    if (Peek() == '-') {
      ++pos_;
    }
    if (Peek() == '0') {
      ++pos_;
    } else if (Peek() >= '1' && Peek() <= '9') {
      while (Peek() >= '0' && Peek() <= '9') {
        ++pos_;
      }
    } else {
      return Fail("invalid number");
    }
    if (Peek() == '.') {
      is_integer = false;
      ++pos_;
      if (!(Peek() >= '0' && Peek() <= '9')) {
        return Fail("invalid number");
      }
      while (Peek() >= '0' && Peek() <= '9') {
        ++pos_;
      }
    }
    if (Peek() == 'e' || Peek() == 'E') {
      is_integer = false;
      ++pos_;
      if (Peek() == '+' || Peek() == '-') {
        ++pos_;
      }
      if (!(Peek() >= '0' && Peek() <= '9')) {
        return Fail("invalid number");
      }
      while (Peek() >= '0' && Peek() <= '9') {
        ++pos_;
      }
    }
    // A number running straight into a letter ("12abc", "01") is garbage.
    if (!AtEnd() && ((Peek() >= '0' && Peek() <= '9') || Peek() == '.' ||
                     std::isalpha(static_cast<unsigned char>(Peek())))) {
      return Fail("invalid number");
    }
    const std::string text(data_ + start, pos_ - start);
    if (is_integer) {
      errno = 0;
      char* end = nullptr;
      const long long value = std::strtoll(text.c_str(), &end, 10);
      if (errno == 0 && *end == '\0' && value >= INT_MIN && value <= INT_MAX) {
        return NewInt(static_cast<int>(value));
      }
    }
    // The process locale may use a decimal comma; JSON never does.
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    char* end = nullptr;
    const double value = strtod_l(text.c_str(), &end, c_locale);
    if (*end != '\0' || !std::isfinite(value)) {
      return Fail("number out of range");
    }
    return NewDouble(value);
  }

  const char* data_;
  size_t size_;
  bool allow_trailing_commas_;
  size_t pos_ = 0;
  std::string error_;
};

ValueNodePtr ParseToNode(const char* data,
                         size_t size,
                         cef_json_parser_options_t options,
                         std::string* error) {
  JsonParser parser(data, size, options);
  ValueNodePtr root = parser.Parse();
  if (!root && error) {
    *error = parser.error();
  }
  return root;
}

}  // namespace
}  // namespace cef_base

CefRefPtr<CefValue> CefParseJSON(const CefString& json_string,
                                 cef_json_parser_options_t options) {
  const std::string json = json_string.ToString();
  return CefParseJSON(json.data(), json.size(), options);
}

CefRefPtr<CefValue> CefParseJSON(const void* json,
                                 size_t json_size,
                                 cef_json_parser_options_t options) {
  if (!json || json_size == 0) {
    return nullptr;
  }
  return cef_base::CreateValueFromNode(cef_base::ParseToNode(
      static_cast<const char*>(json), json_size, options, nullptr));
}

CefRefPtr<CefValue> CefParseJSONAndReturnError(
    const CefString& json_string,
    cef_json_parser_options_t options,
    CefString& error_msg_out) {
  const std::string json = json_string.ToString();
  std::string error;
  cef_base::ValueNodePtr root =
      cef_base::ParseToNode(json.data(), json.size(), options, &error);
  if (!root) {
    error_msg_out = error;
    return nullptr;
  }
  return cef_base::CreateValueFromNode(std::move(root));
}
