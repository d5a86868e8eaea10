#include <utility>

#include "src/base/values_impl.h"
#include "src/base/values_internal.h"

namespace cef_base {

ListValueImpl::ListValueImpl(ValueNodePtr node, bool owned, bool read_only)
    : NodeHolder(std::move(node), owned, read_only) {}

bool ListValueImpl::IsValid() {
  ValuesLockGuard lock(ValuesLock());
  return Valid();
}

bool ListValueImpl::IsOwned() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() && owned_;
}

bool ListValueImpl::IsReadOnly() {
  return read_only_;
}

bool ListValueImpl::IsSame(CefRefPtr<CefListValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<ListValueImpl*>(that.get());
  if (!other) {
    return false;
  }
  return other == this || (Valid() && other->node_ == node_);
}

bool ListValueImpl::IsEqual(CefRefPtr<CefListValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<ListValueImpl*>(that.get());
  if (!other) {
    return false;
  }
  if (other == this) {
    return true;
  }
  return Valid() && other->Valid() && DeepEqual(*node_, *other->node_);
}

CefRefPtr<CefListValue> ListValueImpl::Copy() {
  ValuesLockGuard lock(ValuesLock());
  if (!Valid()) {
    return nullptr;
  }
  return new ListValueImpl(DeepCopy(*node_), /*owned=*/false,
                           /*read_only=*/false);
}

bool ListValueImpl::SetSize(size_t size) {
  ValuesLockGuard lock(ValuesLock());
  if (!Writable()) {
    return false;
  }
  auto& list = node_->list_value;
  while (list.size() > size) {
    MarkDead(list.back().get());
    list.pop_back();
  }
  while (list.size() < size) {
    list.push_back(NewNode(VTYPE_NULL));
  }
  return true;
}

size_t ListValueImpl::GetSize() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() ? node_->list_value.size() : 0;
}

bool ListValueImpl::Clear() {
  return SetSize(0);
}

bool ListValueImpl::Remove(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  if (!Writable() || index >= node_->list_value.size()) {
    return false;
  }
  auto& list = node_->list_value;
  MarkDead(list[index].get());
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

CefValueType ListValueImpl::GetType(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  ValueNodePtr child = Find(index);
  return child ? child->type : VTYPE_INVALID;
}

CefRefPtr<CefValue> ListValueImpl::GetValue(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return MakeValueRef(Find(index), read_only_);
}

bool ListValueImpl::GetBool(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(Find(index), VTYPE_BOOL, false,
                    [](const ValueNode& n) { return n.bool_value; });
}

int ListValueImpl::GetInt(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(Find(index), VTYPE_INT, 0,
                    [](const ValueNode& n) { return n.int_value; });
}

double ListValueImpl::GetDouble(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(Find(index), VTYPE_DOUBLE, 0.0,
                    [](const ValueNode& n) { return n.double_value; });
}

CefString ListValueImpl::GetString(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(
      Find(index), VTYPE_STRING, CefString(),
      [](const ValueNode& n) { return CefString(n.string_value); });
}

CefRefPtr<CefBinaryValue> ListValueImpl::GetBinary(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return MakeBinaryRef(Find(index));
}

CefRefPtr<CefDictionaryValue> ListValueImpl::GetDictionary(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return MakeDictionaryRef(Find(index), read_only_);
}

CefRefPtr<CefListValue> ListValueImpl::GetList(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return MakeListRef(Find(index), read_only_);
}

bool ListValueImpl::SetValue(size_t index, CefRefPtr<CefValue> value) {
  ValuesLockGuard lock(ValuesLock());
  auto* impl = static_cast<ValueImpl*>(value.get());
  if (!impl || !Writable()) {
    return false;
  }
  ValueNodePtr node = impl->CopyOrDetach(node_.get());
  if (!Put(index, node)) {
    return false;
  }
  impl->ReferTo(node, read_only_);
  return true;
}

bool ListValueImpl::SetNull(size_t index) {
  ValuesLockGuard lock(ValuesLock());
  return Put(index, NewNode(VTYPE_NULL));
}

bool ListValueImpl::SetBool(size_t index, bool value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(index, NewBool(value));
}

bool ListValueImpl::SetInt(size_t index, int value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(index, NewInt(value));
}

bool ListValueImpl::SetDouble(size_t index, double value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(index, NewDouble(value));
}

bool ListValueImpl::SetString(size_t index, const CefString& value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(index, NewString(value.ToString()));
}

bool ListValueImpl::SetBinary(size_t index, CefRefPtr<CefBinaryValue> value) {
  ValuesLockGuard lock(ValuesLock());
  return PutHolder(index, static_cast<BinaryValueImpl*>(value.get()));
}

bool ListValueImpl::SetDictionary(size_t index,
                                  CefRefPtr<CefDictionaryValue> value) {
  ValuesLockGuard lock(ValuesLock());
  return PutHolder(index, static_cast<DictionaryValueImpl*>(value.get()));
}

bool ListValueImpl::SetList(size_t index, CefRefPtr<CefListValue> value) {
  ValuesLockGuard lock(ValuesLock());
  return PutHolder(index, static_cast<ListValueImpl*>(value.get()));
}

ValueNodePtr ListValueImpl::Find(size_t index) {
  if (!Valid() || index >= node_->list_value.size()) {
    return nullptr;
  }
  return node_->list_value[index];
}

bool ListValueImpl::Put(size_t index, ValueNodePtr node) {
  if (!node || !Writable()) {
    return false;
  }
  auto& list = node_->list_value;
  while (list.size() <= index) {
    list.push_back(NewNode(VTYPE_NULL));
  }
  MarkDead(list[index].get());
  list[index] = std::move(node);
  return true;
}

bool ListValueImpl::PutHolder(size_t index, NodeHolder* holder) {
  // Check first: detaching |holder| and then failing would lose its data.
  if (!holder || !Writable()) {
    return false;
  }
  return Put(index, holder->CopyOrDetach(node_.get()));
}

}  // namespace cef_base

// static
CefRefPtr<CefListValue> CefListValue::Create() {
  return cef_base::CreateListFromNode(cef_base::NewNode(VTYPE_LIST),
                                      /*read_only=*/false);
}
