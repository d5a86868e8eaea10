// The data behind CefValue, CefBinaryValue, CefDictionaryValue and
// CefListValue: a tree of shared nodes. API objects point at nodes; a node
// is "live" while it is reachable from a free-standing root that is still
// alive, and references to dead nodes report IsValid() == false.
//
// All value trees share one recursive lock, so values may be used from any
// thread and operations spanning two trees (IsEqual, copies) cannot
// deadlock.

#ifndef ENGINE_SRC_BASE_VALUE_NODE_H_
#define ENGINE_SRC_BASE_VALUE_NODE_H_

#include <stdint.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "include/internal/cef_types.h"

namespace cef_base {

struct ValueNode;
using ValueNodePtr = std::shared_ptr<ValueNode>;

struct ValueNode {
  cef_value_type_t type = VTYPE_NULL;
  bool bool_value = false;
  int int_value = 0;
  double double_value = 0;
  std::string string_value;  // UTF-8
  std::vector<uint8_t> binary_value;
  // Keys are UTF-8, so iteration order is UTF-8 byte order.
  std::map<std::string, ValueNodePtr> dict_value;
  std::vector<ValueNodePtr> list_value;
  bool live = true;
};

std::recursive_mutex& ValuesLock();

ValueNodePtr NewNode(cef_value_type_t type);
ValueNodePtr NewBool(bool value);
ValueNodePtr NewInt(int value);
ValueNodePtr NewDouble(double value);
ValueNodePtr NewString(std::string utf8);

// Deep copy; the copy and its descendants are live. With
// |exclude_empty_dicts| nested dictionaries left empty are dropped.
ValueNodePtr DeepCopy(const ValueNode& node, bool exclude_empty_dicts = false);

// Deep comparison; an int never equals a double.
bool DeepEqual(const ValueNode& a, const ValueNode& b);

// Marks |node| and everything below it dead.
void MarkDead(ValueNode* node);

// True when |needle| is |root| or lies below it.
bool Contains(const ValueNode* root, const ValueNode* needle);

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_VALUE_NODE_H_
