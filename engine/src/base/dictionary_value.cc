#include <utility>

#include "src/base/values_impl.h"
#include "src/base/values_internal.h"

namespace cef_base {

DictionaryValueImpl::DictionaryValueImpl(ValueNodePtr node,
                                         bool owned,
                                         bool read_only)
    : NodeHolder(std::move(node), owned, read_only) {}

bool DictionaryValueImpl::IsValid() {
  ValuesLockGuard lock(ValuesLock());
  return Valid();
}

bool DictionaryValueImpl::IsOwned() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() && owned_;
}

bool DictionaryValueImpl::IsReadOnly() {
  return read_only_;
}

bool DictionaryValueImpl::IsSame(CefRefPtr<CefDictionaryValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<DictionaryValueImpl*>(that.get());
  if (!other) {
    return false;
  }
  return other == this || (Valid() && other->node_ == node_);
}

bool DictionaryValueImpl::IsEqual(CefRefPtr<CefDictionaryValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<DictionaryValueImpl*>(that.get());
  if (!other) {
    return false;
  }
  if (other == this) {
    return true;
  }
  return Valid() && other->Valid() && DeepEqual(*node_, *other->node_);
}

CefRefPtr<CefDictionaryValue> DictionaryValueImpl::Copy(
    bool exclude_empty_children) {
  ValuesLockGuard lock(ValuesLock());
  if (!Valid()) {
    return nullptr;
  }
  return new DictionaryValueImpl(DeepCopy(*node_, exclude_empty_children),
                                 /*owned=*/false, /*read_only=*/false);
}

size_t DictionaryValueImpl::GetSize() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() ? node_->dict_value.size() : 0;
}

bool DictionaryValueImpl::Clear() {
  ValuesLockGuard lock(ValuesLock());
  if (!Writable()) {
    return false;
  }
  for (auto& entry : node_->dict_value) {
    MarkDead(entry.second.get());
  }
  node_->dict_value.clear();
  return true;
}

bool DictionaryValueImpl::HasKey(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return Find(key) != nullptr;
}

bool DictionaryValueImpl::GetKeys(KeyList& keys) {
  ValuesLockGuard lock(ValuesLock());
  if (!Valid()) {
    return false;
  }
  for (const auto& entry : node_->dict_value) {
    keys.push_back(CefString(entry.first));
  }
  return true;
}

bool DictionaryValueImpl::Remove(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  if (!Writable()) {
    return false;
  }
  auto it = node_->dict_value.find(key.ToString());
  if (it == node_->dict_value.end()) {
    return false;
  }
  MarkDead(it->second.get());
  node_->dict_value.erase(it);
  return true;
}

CefValueType DictionaryValueImpl::GetType(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  ValueNodePtr child = Find(key);
  return child ? child->type : VTYPE_INVALID;
}

CefRefPtr<CefValue> DictionaryValueImpl::GetValue(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return MakeValueRef(Find(key), read_only_);
}

bool DictionaryValueImpl::GetBool(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(Find(key), VTYPE_BOOL, false,
                    [](const ValueNode& n) { return n.bool_value; });
}

int DictionaryValueImpl::GetInt(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(Find(key), VTYPE_INT, 0,
                    [](const ValueNode& n) { return n.int_value; });
}

double DictionaryValueImpl::GetDouble(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(Find(key), VTYPE_DOUBLE, 0.0,
                    [](const ValueNode& n) { return n.double_value; });
}

CefString DictionaryValueImpl::GetString(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(
      Find(key), VTYPE_STRING, CefString(),
      [](const ValueNode& n) { return CefString(n.string_value); });
}

CefRefPtr<CefBinaryValue> DictionaryValueImpl::GetBinary(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return MakeBinaryRef(Find(key));
}

CefRefPtr<CefDictionaryValue> DictionaryValueImpl::GetDictionary(
    const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return MakeDictionaryRef(Find(key), read_only_);
}

CefRefPtr<CefListValue> DictionaryValueImpl::GetList(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return MakeListRef(Find(key), read_only_);
}

bool DictionaryValueImpl::SetValue(const CefString& key,
                                   CefRefPtr<CefValue> value) {
  ValuesLockGuard lock(ValuesLock());
  auto* impl = static_cast<ValueImpl*>(value.get());
  if (!impl || !Writable()) {
    return false;
  }
  ValueNodePtr node = impl->CopyOrDetach(node_.get());
  if (!Put(key, node)) {
    return false;
  }
  impl->ReferTo(node, read_only_);
  return true;
}

bool DictionaryValueImpl::SetNull(const CefString& key) {
  ValuesLockGuard lock(ValuesLock());
  return Put(key, NewNode(VTYPE_NULL));
}

bool DictionaryValueImpl::SetBool(const CefString& key, bool value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(key, NewBool(value));
}

bool DictionaryValueImpl::SetInt(const CefString& key, int value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(key, NewInt(value));
}

bool DictionaryValueImpl::SetDouble(const CefString& key, double value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(key, NewDouble(value));
}

bool DictionaryValueImpl::SetString(const CefString& key,
                                    const CefString& value) {
  ValuesLockGuard lock(ValuesLock());
  return Put(key, NewString(value.ToString()));
}

bool DictionaryValueImpl::SetBinary(const CefString& key,
                                    CefRefPtr<CefBinaryValue> value) {
  ValuesLockGuard lock(ValuesLock());
  return PutHolder(key, static_cast<BinaryValueImpl*>(value.get()));
}

bool DictionaryValueImpl::SetDictionary(const CefString& key,
                                        CefRefPtr<CefDictionaryValue> value) {
  ValuesLockGuard lock(ValuesLock());
  return PutHolder(key, static_cast<DictionaryValueImpl*>(value.get()));
}

bool DictionaryValueImpl::SetList(const CefString& key,
                                  CefRefPtr<CefListValue> value) {
  ValuesLockGuard lock(ValuesLock());
  return PutHolder(key, static_cast<ListValueImpl*>(value.get()));
}

ValueNodePtr DictionaryValueImpl::Find(const CefString& key) {
  if (!Valid()) {
    return nullptr;
  }
  auto it = node_->dict_value.find(key.ToString());
  return it == node_->dict_value.end() ? nullptr : it->second;
}

bool DictionaryValueImpl::Put(const CefString& key, ValueNodePtr node) {
  if (!node || !Writable()) {
    return false;
  }
  ValueNodePtr& slot = node_->dict_value[key.ToString()];
  if (slot) {
    MarkDead(slot.get());
  }
  slot = std::move(node);
  return true;
}

bool DictionaryValueImpl::PutHolder(const CefString& key, NodeHolder* holder) {
  // Check first: detaching |holder| and then failing would lose its data.
  if (!holder || !Writable()) {
    return false;
  }
  return Put(key, holder->CopyOrDetach(node_.get()));
}

}  // namespace cef_base

// static
CefRefPtr<CefDictionaryValue> CefDictionaryValue::Create() {
  return cef_base::CreateDictionaryFromNode(cef_base::NewNode(VTYPE_DICTIONARY),
                                            /*read_only=*/false);
}
