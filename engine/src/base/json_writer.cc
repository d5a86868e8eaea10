// CefWriteJSON. Output follows the production engine's writer byte for byte:
// keys in order, doubles always recognisable as doubles ("1.0"), shortest
// round-trip digits, and '<', U+2028 and U+2029 escaped so the text is safe
// inside a <script> element or a script string.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "include/cef_parser.h"
#include "src/base/json_writer.h"
#include "src/base/utf.h"
#include "src/base/value_node.h"
#include "src/base/values_internal.h"

namespace cef_base {

std::string FormatDouble(double value) {
  if (value == 0) {
    return std::signbit(value) ? "-0" : "0";
  }
  // Shortest digits that read back as |value|, as d.ddde±x.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value,
                                    std::chars_format::scientific);
  std::string sci(buffer, result.ptr);
  std::string sign;
  if (sci[0] == '-') {
    sign = "-";
    sci.erase(0, 1);
  }
  const size_t e = sci.find('e');
  const int exponent = std::stoi(sci.substr(e + 1));
  std::string digits = sci.substr(0, e);
  if (digits.size() > 1) {
    digits.erase(1, 1);  // the decimal point
  }
  const int count = static_cast<int>(digits.size());
  std::string out;
  if (exponent >= -6 && exponent < 21) {
    // Plain decimal notation.
    if (exponent < 0) {
      out =
          "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (exponent + 1 >= count) {
      out =
          digits + std::string(static_cast<size_t>(exponent + 1 - count), '0');
    } else {
      out = digits.substr(0, static_cast<size_t>(exponent + 1)) + "." +
            digits.substr(static_cast<size_t>(exponent + 1));
    }
  } else {
    out = digits.substr(0, 1);
    if (count > 1) {
      out += "." + digits.substr(1);
    }
    out += "e";
    out += exponent < 0 ? "-" : "+";
    out += std::to_string(exponent < 0 ? -exponent : exponent);
  }
  return sign + out;
}

void EscapeJSONString(const std::string& utf8, std::string* out) {
  out->push_back('"');
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    DecodeUTF8(utf8.data(), utf8.size(), &i, &cp);
    switch (cp) {
      case '\b':
        out->append("\\b");
        break;
      case '\f':
        out->append("\\f");
        break;
      case '\n':
        out->append("\\n");
        break;
      case '\r':
        out->append("\\r");
        break;
      case '\t':
        out->append("\\t");
        break;
      case '\\':
        out->append("\\\\");
        break;
      case '"':
        out->append("\\\"");
        break;
      // "</script>" must not end an enclosing script element.
      case '<':
        out->append("\\u003C");
        break;
      // Line terminators in JavaScript but not in JSON.
      case 0x2028:
        out->append("\\u2028");
        break;
      case 0x2029:
        out->append("\\u2029");
        break;
      default:
        if (cp < 0x20) {
          static const char kHex[] = "0123456789ABCDEF";
          out->append("\\u00");
          out->push_back(kHex[cp >> 4]);
          out->push_back(kHex[cp & 0xF]);
        } else {
          AppendUTF8(cp, out);
        }
    }
  }
  out->push_back('"');
}

namespace {

constexpr size_t kMaxDepth = 200;
constexpr int kIndent = 3;

class JsonWriter {
 public:
  explicit JsonWriter(cef_json_writer_options_t options)
      : omit_binary_(options & JSON_WRITER_OMIT_BINARY_VALUES),
        omit_double_type_(options & JSON_WRITER_OMIT_DOUBLE_TYPE_PRESERVATION),
        pretty_(options & JSON_WRITER_PRETTY_PRINT) {}

  bool Write(const ValueNode& root, std::string* out) {
    out_ = out;
    const bool ok = Build(root, 0);
    if (pretty_) {
      out_->push_back('\n');
    }
    return ok;
  }

 private:
  void Indent(size_t depth) { out_->append(depth * kIndent, ' '); }

  bool Build(const ValueNode& node, size_t depth) {
    if (depth > kMaxDepth) {
      return false;
    }
    switch (node.type) {
      case VTYPE_NULL:
        out_->append("null");
        return true;
      case VTYPE_BOOL:
        out_->append(node.bool_value ? "true" : "false");
        return true;
      case VTYPE_INT:
        out_->append(std::to_string(node.int_value));
        return true;
      case VTYPE_DOUBLE:
        WriteDouble(node.double_value);
        return true;
      case VTYPE_STRING:
        EscapeJSONString(node.string_value, out_);
        return true;
      case VTYPE_LIST:
        return BuildList(node, depth);
      case VTYPE_DICTIONARY:
        return BuildDict(node, depth);
      default:
        // Binary data has no JSON form.
        return false;
    }
  }

  void WriteDouble(double value) {
    if (omit_double_type_ && std::floor(value) == value &&
        value >= -9223372036854775808.0 && value < 9223372036854775808.0) {
      out_->append(std::to_string(static_cast<int64_t>(value)));
      return;
    }
    std::string text = FormatDouble(value);
    // Keep it a double when read back.
    if (text.find_first_of(".eE") == std::string::npos) {
      text.append(".0");
    }
    out_->append(text);
  }

  bool BuildList(const ValueNode& node, size_t depth) {
    bool ok = true;
    out_->push_back('[');
    if (pretty_) {
      out_->push_back(' ');
    }
    bool first = true;
    for (const auto& child : node.list_value) {
      if (omit_binary_ && child->type == VTYPE_BINARY) {
        continue;
      }
      if (!first) {
        out_->push_back(',');
        if (pretty_) {
          out_->push_back(' ');
        }
      }
      ok &= Build(*child, depth);
      first = false;
    }
    if (pretty_) {
      out_->push_back(' ');
    }
    out_->push_back(']');
    return ok;
  }

  bool BuildDict(const ValueNode& node, size_t depth) {
    bool ok = true;
    out_->push_back('{');
    if (pretty_) {
      out_->push_back('\n');
    }
    bool first = true;
    for (const auto& [key, child] : node.dict_value) {
      if (omit_binary_ && child->type == VTYPE_BINARY) {
        continue;
      }
      if (!first) {
        out_->push_back(',');
        if (pretty_) {
          out_->push_back('\n');
        }
      }
      if (pretty_) {
        Indent(depth + 1);
      }
      EscapeJSONString(key, out_);
      out_->push_back(':');
      if (pretty_) {
        out_->push_back(' ');
      }
      ok &= Build(*child, depth + 1);
      first = false;
    }
    if (pretty_) {
      out_->push_back('\n');
      Indent(depth);
    }
    out_->push_back('}');
    return ok;
  }

  const bool omit_binary_;
  const bool omit_double_type_;
  const bool pretty_;
  std::string* out_ = nullptr;
};

}  // namespace

bool WriteJSON(const ValueNode& root,
               cef_json_writer_options_t options,
               std::string* out) {
  out->clear();
  return JsonWriter(options).Write(root, out);
}

}  // namespace cef_base

CefString CefWriteJSON(CefRefPtr<CefValue> node,
                       cef_json_writer_options_t options) {
  if (!node || !node->IsValid()) {
    return CefString();
  }
  cef_base::ValueNodePtr root = cef_base::CopyNodeOf(node.get());
  std::string json;
  if (!root || !cef_base::WriteJSON(*root, options, &json)) {
    return CefString();
  }
  return json;
}
