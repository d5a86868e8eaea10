#include "renderer/v8_value_impl.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "common/bridge_script.h"

namespace cefengine {

namespace {

double NumberOf(CefRefPtr<CefDictionaryValue> tag) {
  if (tag->GetType("x") == VTYPE_STRING) {
    // "NaN", "Infinity", "-Infinity" and "-0" as the script wrote them.
    const std::string text = tag->GetString("x").ToString();
    return std::strtod(text.c_str(), nullptr);
  }
  if (tag->GetType("v") == VTYPE_INT)
    return tag->GetInt("v");
  return tag->GetDouble("v");
}

// JSON text of a double as the script's bridge reads it back.
std::string DoubleJson(double value) {
  if (std::isnan(value))
    return "{\"t\":\"d\",\"x\":\"NaN\"}";
  if (std::isinf(value))
    return value > 0 ? "{\"t\":\"d\",\"x\":\"Infinity\"}"
                     : "{\"t\":\"d\",\"x\":\"-Infinity\"}";
  if (value == 0 && std::signbit(value))
    return "{\"t\":\"d\",\"x\":\"-0\"}";
  char buffer[40];
  snprintf(buffer, sizeof(buffer), "%.17g", value);
  return std::string("{\"t\":\"d\",\"v\":") + buffer + "}";
}

}  // namespace

// static
CefRefPtr<CefV8Value> CefV8ValueImpl::FromTagged(
    CefRefPtr<CefDictionaryValue> tag) {
  if (!tag)
    return CefV8Value::CreateUndefined();
  const std::string type = tag->GetString("t").ToString();
  if (type == "z")
    return CefV8Value::CreateNull();
  if (type == "b")
    return CefV8Value::CreateBool(tag->GetBool("v"));
  if (type == "s")
    return CefV8Value::CreateString(tag->GetString("v"));
  if (type == "i" || type == "j" || type == "d") {
    const double number = NumberOf(tag);
    if (type == "i" && number >= std::numeric_limits<int32_t>::min() &&
        number <= std::numeric_limits<int32_t>::max()) {
      return CefV8Value::CreateInt(static_cast<int32_t>(number));
    }
    if (type == "j" && number >= 0 &&
        number <= std::numeric_limits<uint32_t>::max()) {
      return CefV8Value::CreateUInt(static_cast<uint32_t>(number));
    }
    return CefV8Value::CreateDouble(number);
  }
  if (type == "o")
    return new CefV8ValueImpl(Type::kObject);
  if (type == "a")
    return new CefV8ValueImpl(Type::kArray);
  if (type == "f")
    return new CefV8ValueImpl(Type::kFunction);
  return CefV8Value::CreateUndefined();
}

// static
std::string CefV8ValueImpl::ToTaggedJson(CefRefPtr<CefV8Value> value) {
  if (!value || !value->IsValid() || value->IsUndefined())
    return "{\"t\":\"u\"}";
  if (value->IsNull())
    return "{\"t\":\"z\"}";
  if (value->IsBool())
    return value->GetBoolValue() ? "{\"t\":\"b\",\"v\":true}"
                                 : "{\"t\":\"b\",\"v\":false}";
  // Either integer kind reads as the other, so the number itself decides.
  if (value->IsInt() || value->IsUInt()) {
    const double number = value->GetDoubleValue();
    if (number >= INT32_MIN && number <= INT32_MAX)
      return "{\"t\":\"i\",\"v\":" + std::to_string(value->GetIntValue()) + "}";
    return "{\"t\":\"j\",\"v\":" + std::to_string(value->GetUIntValue()) + "}";
  }
  if (value->IsDouble())
    return DoubleJson(value->GetDoubleValue());
  if (value->IsString())
    return "{\"t\":\"s\",\"v\":" +
           JsonQuote(value->GetStringValue().ToString()) + "}";
  // Objects cannot travel back into the page.
  return "{\"t\":\"u\"}";
}

bool CefV8ValueImpl::IsValid() {
  return true;
}

bool CefV8ValueImpl::IsUndefined() {
  return type_ == Type::kUndefined;
}

bool CefV8ValueImpl::IsNull() {
  return type_ == Type::kNull;
}

bool CefV8ValueImpl::IsBool() {
  return type_ == Type::kBool;
}

// Both integer kinds count as either, and read as the other by two's
// complement, as the production engine's values do.
bool CefV8ValueImpl::IsInt() {
  return type_ == Type::kInt || type_ == Type::kUInt;
}

bool CefV8ValueImpl::IsUInt() {
  return type_ == Type::kInt || type_ == Type::kUInt;
}

bool CefV8ValueImpl::IsDouble() {
  return type_ == Type::kInt || type_ == Type::kUInt || type_ == Type::kDouble;
}

bool CefV8ValueImpl::IsString() {
  return type_ == Type::kString;
}

bool CefV8ValueImpl::IsObject() {
  return type_ == Type::kObject || type_ == Type::kArray ||
         type_ == Type::kFunction;
}

bool CefV8ValueImpl::IsArray() {
  return type_ == Type::kArray;
}

bool CefV8ValueImpl::IsFunction() {
  return type_ == Type::kFunction;
}

bool CefV8ValueImpl::IsSame(CefRefPtr<CefV8Value> that) {
  if (!that)
    return false;
  if (that.get() == this)
    return true;
  // Primitives compare by value, as the script engine's strict equality.
  switch (type_) {
    case Type::kUndefined:
      return that->IsUndefined();
    case Type::kNull:
      return that->IsNull();
    case Type::kBool:
      return that->IsBool() && that->GetBoolValue() == bool_value_;
    case Type::kInt:
    case Type::kUInt:
    case Type::kDouble: {
      // Numbers are the same only as the same kind, as in the production
      // engine: the int 2 is not the double 2.
      auto* other = dynamic_cast<CefV8ValueImpl*>(that.get());
      return other && other->type_ == type_ &&
             that->GetDoubleValue() == GetDoubleValue();
    }
    case Type::kString:
      return that->IsString() && that->GetStringValue() == string_value_;
    default:
      return false;
  }
}

bool CefV8ValueImpl::GetBoolValue() {
  return type_ == Type::kBool && bool_value_;
}

int32_t CefV8ValueImpl::GetIntValue() {
  if (type_ == Type::kInt)
    return int_value_;
  if (type_ == Type::kUInt)
    return static_cast<int32_t>(uint_value_);
  return 0;
}

uint32_t CefV8ValueImpl::GetUIntValue() {
  if (type_ == Type::kUInt)
    return uint_value_;
  if (type_ == Type::kInt)
    return static_cast<uint32_t>(int_value_);
  return 0;
}

double CefV8ValueImpl::GetDoubleValue() {
  if (type_ == Type::kDouble)
    return double_value_;
  if (type_ == Type::kInt)
    return int_value_;
  if (type_ == Type::kUInt)
    return uint_value_;
  return 0;
}

CefString CefV8ValueImpl::GetStringValue() {
  return type_ == Type::kString ? string_value_ : CefString();
}

}  // namespace cefengine

// static
CefRefPtr<CefV8Value> CefV8Value::CreateUndefined() {
  return new cefengine::CefV8ValueImpl(
      cefengine::CefV8ValueImpl::Type::kUndefined);
}

// static
CefRefPtr<CefV8Value> CefV8Value::CreateNull() {
  return new cefengine::CefV8ValueImpl(cefengine::CefV8ValueImpl::Type::kNull);
}

// static
CefRefPtr<CefV8Value> CefV8Value::CreateBool(bool value) {
  auto* result =
      new cefengine::CefV8ValueImpl(cefengine::CefV8ValueImpl::Type::kBool);
  result->bool_value_ = value;
  return result;
}

// static
CefRefPtr<CefV8Value> CefV8Value::CreateInt(int32_t value) {
  auto* result =
      new cefengine::CefV8ValueImpl(cefengine::CefV8ValueImpl::Type::kInt);
  result->int_value_ = value;
  return result;
}

// static
CefRefPtr<CefV8Value> CefV8Value::CreateUInt(uint32_t value) {
  auto* result =
      new cefengine::CefV8ValueImpl(cefengine::CefV8ValueImpl::Type::kUInt);
  result->uint_value_ = value;
  return result;
}

// static
CefRefPtr<CefV8Value> CefV8Value::CreateDouble(double value) {
  auto* result =
      new cefengine::CefV8ValueImpl(cefengine::CefV8ValueImpl::Type::kDouble);
  result->double_value_ = value;
  return result;
}

// static
CefRefPtr<CefV8Value> CefV8Value::CreateString(const CefString& value) {
  auto* result =
      new cefengine::CefV8ValueImpl(cefengine::CefV8ValueImpl::Type::kString);
  result->string_value_ = value;
  return result;
}
