#include "src/base/value_node.h"

#include <cmath>
#include <utility>

namespace cef_base {

std::recursive_mutex& ValuesLock() {
  static std::recursive_mutex lock;
  return lock;
}

ValueNodePtr NewNode(cef_value_type_t type) {
  auto node = std::make_shared<ValueNode>();
  node->type = type;
  return node;
}

ValueNodePtr NewBool(bool value) {
  auto node = NewNode(VTYPE_BOOL);
  node->bool_value = value;
  return node;
}

ValueNodePtr NewInt(int value) {
  auto node = NewNode(VTYPE_INT);
  node->int_value = value;
  return node;
}

ValueNodePtr NewDouble(double value) {
  auto node = NewNode(VTYPE_DOUBLE);
  // JSON has no NaN or infinity; like the production engine, store 0.
  node->double_value = std::isfinite(value) ? value : 0.0;
  return node;
}

ValueNodePtr NewString(std::string utf8) {
  auto node = NewNode(VTYPE_STRING);
  node->string_value = std::move(utf8);
  return node;
}

ValueNodePtr DeepCopy(const ValueNode& node, bool exclude_empty_dicts) {
  auto copy = NewNode(node.type);
  copy->bool_value = node.bool_value;
  copy->int_value = node.int_value;
  copy->double_value = node.double_value;
  copy->string_value = node.string_value;
  copy->binary_value = node.binary_value;
  for (const auto& [key, child] : node.dict_value) {
    ValueNodePtr child_copy = DeepCopy(*child, exclude_empty_dicts);
    if (exclude_empty_dicts && child_copy->type == VTYPE_DICTIONARY &&
        child_copy->dict_value.empty()) {
      continue;
    }
    copy->dict_value.emplace(key, std::move(child_copy));
  }
  copy->list_value.reserve(node.list_value.size());
  for (const auto& child : node.list_value) {
    copy->list_value.push_back(DeepCopy(*child, exclude_empty_dicts));
  }
  return copy;
}

bool DeepEqual(const ValueNode& a, const ValueNode& b) {
  if (&a == &b) {
    return true;
  }
  if (a.type != b.type) {
    return false;
  }
  switch (a.type) {
    case VTYPE_BOOL:
      return a.bool_value == b.bool_value;
    case VTYPE_INT:
      return a.int_value == b.int_value;
    case VTYPE_DOUBLE:
      return a.double_value == b.double_value;
    case VTYPE_STRING:
      return a.string_value == b.string_value;
    case VTYPE_BINARY:
      return a.binary_value == b.binary_value;
    case VTYPE_DICTIONARY: {
      if (a.dict_value.size() != b.dict_value.size()) {
        return false;
      }
      auto it = b.dict_value.begin();
      for (const auto& [key, child] : a.dict_value) {
        if (key != it->first || !DeepEqual(*child, *it->second)) {
          return false;
        }
        ++it;
      }
      return true;
    }
    case VTYPE_LIST: {
      if (a.list_value.size() != b.list_value.size()) {
        return false;
      }
      for (size_t i = 0; i < a.list_value.size(); ++i) {
        if (!DeepEqual(*a.list_value[i], *b.list_value[i])) {
          return false;
        }
      }
      return true;
    }
    default:
      return true;
  }
}

void MarkDead(ValueNode* node) {
  node->live = false;
  for (auto& entry : node->dict_value) {
    MarkDead(entry.second.get());
  }
  for (auto& child : node->list_value) {
    MarkDead(child.get());
  }
}

bool Contains(const ValueNode* root, const ValueNode* needle) {
  if (root == needle) {
    return true;
  }
  for (const auto& entry : root->dict_value) {
    if (Contains(entry.second.get(), needle)) {
      return true;
    }
  }
  for (const auto& child : root->list_value) {
    if (Contains(child.get(), needle)) {
      return true;
    }
  }
  return false;
}

}  // namespace cef_base
