// CefV8Value of the development engine: a copy of a script value that
// crossed the bridge. Objects, arrays and functions keep only their kind.

#ifndef CEFENGINE_RENDERER_V8_VALUE_IMPL_H_
#define CEFENGINE_RENDERER_V8_VALUE_IMPL_H_

#include <string>

#include "include/cef_v8.h"
#include "include/cef_values.h"

namespace cefengine {

class CefV8ValueImpl : public CefV8Value {
 public:
  enum class Type {
    kUndefined,
    kNull,
    kBool,
    kInt,
    kUInt,
    kDouble,
    kString,
    kObject,
    kArray,
    kFunction
  };

  explicit CefV8ValueImpl(Type type) : type_(type) {}
  CefV8ValueImpl(const CefV8ValueImpl&) = delete;
  CefV8ValueImpl& operator=(const CefV8ValueImpl&) = delete;

  // The value described by a tagged argument of a call request; undefined
  // for anything malformed.
  static CefRefPtr<CefV8Value> FromTagged(CefRefPtr<CefDictionaryValue> tag);
  // |value| (null: undefined) as a tagged value in JSON.
  static std::string ToTaggedJson(CefRefPtr<CefV8Value> value);

  // CefV8Value methods:
  bool IsValid() override;
  bool IsUndefined() override;
  bool IsNull() override;
  bool IsBool() override;
  bool IsInt() override;
  bool IsUInt() override;
  bool IsDouble() override;
  bool IsString() override;
  bool IsObject() override;
  bool IsArray() override;
  bool IsFunction() override;
  bool IsSame(CefRefPtr<CefV8Value> that) override;
  bool GetBoolValue() override;
  int32_t GetIntValue() override;
  uint32_t GetUIntValue() override;
  double GetDoubleValue() override;
  CefString GetStringValue() override;

 private:
  friend class CefV8Value;

  const Type type_;
  bool bool_value_ = false;
  int32_t int_value_ = 0;
  uint32_t uint_value_ = 0;
  double double_value_ = 0;
  CefString string_value_;

  IMPLEMENT_REFCOUNTING(CefV8ValueImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_V8_VALUE_IMPL_H_
