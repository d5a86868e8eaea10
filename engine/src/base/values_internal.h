// Engine-internal access to value trees: the JSON code and the process
// message code build and read values through these.

#ifndef ENGINE_SRC_BASE_VALUES_INTERNAL_H_
#define ENGINE_SRC_BASE_VALUES_INTERNAL_H_

#include "include/cef_values.h"
#include "src/base/value_node.h"

namespace cef_base {

// Wraps a fresh tree as a free-standing value. Dictionaries and lists come
// back as CefValue holding a CefDictionaryValue / CefListValue.
CefRefPtr<CefValue> CreateValueFromNode(ValueNodePtr root);
CefRefPtr<CefDictionaryValue> CreateDictionaryFromNode(ValueNodePtr root,
                                                       bool read_only);
CefRefPtr<CefListValue> CreateListFromNode(ValueNodePtr root, bool read_only);

// Deep copies of the data behind an API object; nullptr when the object is
// null or invalid.
ValueNodePtr CopyNodeOf(CefValue* value);
ValueNodePtr CopyNodeOf(CefDictionaryValue* value);
ValueNodePtr CopyNodeOf(CefListValue* value);
ValueNodePtr CopyNodeOf(CefBinaryValue* value);

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_VALUES_INTERNAL_H_
