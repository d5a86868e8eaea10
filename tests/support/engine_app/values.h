// Single values for preference and message calls, made in one expression.

#ifndef TESTS_SUPPORT_ENGINE_APP_VALUES_H_
#define TESTS_SUPPORT_ENGINE_APP_VALUES_H_

#include <string>

#include "include/cef_values.h"

namespace engine_test_app {

inline CefRefPtr<CefValue> Bool(bool value) {
  CefRefPtr<CefValue> result = CefValue::Create();
  result->SetBool(value);
  return result;
}

inline CefRefPtr<CefValue> Int(int value) {
  CefRefPtr<CefValue> result = CefValue::Create();
  result->SetInt(value);
  return result;
}

inline CefRefPtr<CefValue> String(const std::string& value) {
  CefRefPtr<CefValue> result = CefValue::Create();
  result->SetString(value);
  return result;
}

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_VALUES_H_
