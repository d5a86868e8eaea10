// The shared state of binary, dictionary and list objects, the objects
// that stand for container entries, and the engine-internal constructors.

#include <utility>

#include "src/base/values_impl.h"
#include "src/base/values_internal.h"

namespace cef_base {

NodeHolder::NodeHolder(ValueNodePtr node, bool owned, bool read_only)
    : node_(std::move(node)), owned_(owned), read_only_(read_only) {}

NodeHolder::~NodeHolder() {
  ValuesLockGuard lock(ValuesLock());
  if (node_ && !owned_) {
    MarkDead(node_.get());
  }
}

ValueNodePtr NodeHolder::CopyOrDetach(const ValueNode* target) {
  if (!Valid()) {
    return nullptr;
  }
  if (owned_ || read_only_) {
    return DeepCopy(*node_);
  }
  if (target && Contains(node_.get(), target)) {
    return nullptr;
  }
  return std::move(node_);
}

CefRefPtr<CefValue> MakeValueRef(const ValueNodePtr& child, bool read_only) {
  if (!child) {
    return nullptr;
  }
  switch (child->type) {
    case VTYPE_BINARY:
      return new ValueImpl(MakeBinaryRef(child));
    case VTYPE_DICTIONARY:
      return new ValueImpl(MakeDictionaryRef(child, read_only));
    case VTYPE_LIST:
      return new ValueImpl(MakeListRef(child, read_only));
    default:
      return new ValueImpl(DeepCopy(*child));
  }
}

CefRefPtr<CefBinaryValue> MakeBinaryRef(const ValueNodePtr& child) {
  if (!child || child->type != VTYPE_BINARY) {
    return nullptr;
  }
  return new BinaryValueImpl(child, /*owned=*/true);
}

CefRefPtr<CefDictionaryValue> MakeDictionaryRef(const ValueNodePtr& child,
                                                bool read_only) {
  if (!child || child->type != VTYPE_DICTIONARY) {
    return nullptr;
  }
  return new DictionaryValueImpl(child, /*owned=*/true, read_only);
}

CefRefPtr<CefListValue> MakeListRef(const ValueNodePtr& child, bool read_only) {
  if (!child || child->type != VTYPE_LIST) {
    return nullptr;
  }
  return new ListValueImpl(child, /*owned=*/true, read_only);
}

CefRefPtr<CefValue> CreateValueFromNode(ValueNodePtr root) {
  if (!root) {
    return nullptr;
  }
  switch (root->type) {
    case VTYPE_BINARY:
      return new ValueImpl(CefRefPtr<CefBinaryValue>(
          new BinaryValueImpl(std::move(root), /*owned=*/false)));
    case VTYPE_DICTIONARY:
      return new ValueImpl(CreateDictionaryFromNode(std::move(root), false));
    case VTYPE_LIST:
      return new ValueImpl(CreateListFromNode(std::move(root), false));
    default:
      return new ValueImpl(std::move(root));
  }
}

CefRefPtr<CefDictionaryValue> CreateDictionaryFromNode(ValueNodePtr root,
                                                       bool read_only) {
  if (!root || root->type != VTYPE_DICTIONARY) {
    return nullptr;
  }
  return new DictionaryValueImpl(std::move(root), /*owned=*/false, read_only);
}

CefRefPtr<CefListValue> CreateListFromNode(ValueNodePtr root, bool read_only) {
  if (!root || root->type != VTYPE_LIST) {
    return nullptr;
  }
  return new ListValueImpl(std::move(root), /*owned=*/false, read_only);
}

namespace {

ValueNodePtr CopyHolderNode(NodeHolder* holder) {
  ValuesLockGuard lock(ValuesLock());
  return holder && holder->Valid() ? DeepCopy(*holder->node_) : nullptr;
}

}  // namespace

ValueNodePtr CopyNodeOf(CefValue* value) {
  ValuesLockGuard lock(ValuesLock());
  const ValueNode* node =
      value ? static_cast<ValueImpl*>(value)->Node() : nullptr;
  return node ? DeepCopy(*node) : nullptr;
}

ValueNodePtr CopyNodeOf(CefDictionaryValue* value) {
  return CopyHolderNode(static_cast<DictionaryValueImpl*>(value));
}

ValueNodePtr CopyNodeOf(CefListValue* value) {
  return CopyHolderNode(static_cast<ListValueImpl*>(value));
}

ValueNodePtr CopyNodeOf(CefBinaryValue* value) {
  return CopyHolderNode(static_cast<BinaryValueImpl*>(value));
}

}  // namespace cef_base
