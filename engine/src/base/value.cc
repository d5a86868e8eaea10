#include <utility>

#include "src/base/values_impl.h"
#include "src/base/values_internal.h"

namespace cef_base {

ValueImpl::ValueImpl(ValueNodePtr simple) : simple_(std::move(simple)) {}
ValueImpl::ValueImpl(CefRefPtr<CefBinaryValue> value) : binary_(value) {}
ValueImpl::ValueImpl(CefRefPtr<CefDictionaryValue> value) : dict_(value) {}
ValueImpl::ValueImpl(CefRefPtr<CefListValue> value) : list_(value) {}

bool ValueImpl::IsValid() {
  ValuesLockGuard lock(ValuesLock());
  if (NodeHolder* holder = Holder()) {
    return holder->Valid();
  }
  return simple_ != nullptr;
}

bool ValueImpl::IsOwned() {
  ValuesLockGuard lock(ValuesLock());
  NodeHolder* holder = Holder();
  return holder && holder->Valid() && holder->owned_;
}

// Binary values count as read-only.
bool ValueImpl::IsReadOnly() {
  ValuesLockGuard lock(ValuesLock());
  NodeHolder* holder = Holder();
  return binary_ || (holder && holder->read_only_);
}

bool ValueImpl::IsSame(CefRefPtr<CefValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<ValueImpl*>(that.get());
  if (other == this) {
    return true;
  }
  if (!other || other->Type() != Type()) {
    return false;
  }
  NodeHolder* mine = Holder();
  NodeHolder* theirs = other->Holder();
  return mine && theirs && mine->Valid() && mine->node_ == theirs->node_;
}

bool ValueImpl::IsEqual(CefRefPtr<CefValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<ValueImpl*>(that.get());
  if (other == this) {
    return true;
  }
  if (!other || other->Type() != Type()) {
    return false;
  }
  if (Type() == VTYPE_INVALID) {
    return true;
  }
  const ValueNode* mine = Node();
  const ValueNode* theirs = other->Node();
  return mine && theirs && DeepEqual(*mine, *theirs);
}

CefRefPtr<CefValue> ValueImpl::Copy() {
  ValuesLockGuard lock(ValuesLock());
  if (binary_) {
    return new ValueImpl(binary_->Copy());
  }
  if (dict_) {
    return new ValueImpl(dict_->Copy(false));
  }
  if (list_) {
    return new ValueImpl(list_->Copy());
  }
  return simple_ ? new ValueImpl(DeepCopy(*simple_)) : new ValueImpl();
}

CefValueType ValueImpl::GetType() {
  ValuesLockGuard lock(ValuesLock());
  return Type();
}

bool ValueImpl::GetBool() {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(simple_, VTYPE_BOOL, false,
                    [](const ValueNode& n) { return n.bool_value; });
}

int ValueImpl::GetInt() {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(simple_, VTYPE_INT, 0,
                    [](const ValueNode& n) { return n.int_value; });
}

double ValueImpl::GetDouble() {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(simple_, VTYPE_DOUBLE, 0.0,
                    [](const ValueNode& n) { return n.double_value; });
}

CefString ValueImpl::GetString() {
  ValuesLockGuard lock(ValuesLock());
  return ReadSimple(simple_, VTYPE_STRING, CefString(), [](const ValueNode& n) {
    return CefString(n.string_value);
  });
}

CefRefPtr<CefBinaryValue> ValueImpl::GetBinary() {
  ValuesLockGuard lock(ValuesLock());
  return binary_;
}

CefRefPtr<CefDictionaryValue> ValueImpl::GetDictionary() {
  ValuesLockGuard lock(ValuesLock());
  return dict_;
}

CefRefPtr<CefListValue> ValueImpl::GetList() {
  ValuesLockGuard lock(ValuesLock());
  return list_;
}

bool ValueImpl::SetNull() {
  return SetSimple(NewNode(VTYPE_NULL));
}

bool ValueImpl::SetBool(bool value) {
  return SetSimple(NewBool(value));
}

bool ValueImpl::SetInt(int value) {
  return SetSimple(NewInt(value));
}

bool ValueImpl::SetDouble(double value) {
  return SetSimple(NewDouble(value));
}

bool ValueImpl::SetString(const CefString& value) {
  return SetSimple(NewString(value.ToString()));
}

bool ValueImpl::SetBinary(CefRefPtr<CefBinaryValue> value) {
  ValuesLockGuard lock(ValuesLock());
  Reset();
  binary_ = value;
  return true;
}

bool ValueImpl::SetDictionary(CefRefPtr<CefDictionaryValue> value) {
  ValuesLockGuard lock(ValuesLock());
  Reset();
  dict_ = value;
  return true;
}

bool ValueImpl::SetList(CefRefPtr<CefListValue> value) {
  ValuesLockGuard lock(ValuesLock());
  Reset();
  list_ = value;
  return true;
}

ValueNodePtr ValueImpl::CopyOrDetach(const ValueNode* target) {
  if (NodeHolder* holder = Holder()) {
    return holder->CopyOrDetach(target);
  }
  return simple_ ? DeepCopy(*simple_) : nullptr;
}

void ValueImpl::ReferTo(const ValueNodePtr& stored, bool read_only) {
  if (binary_) {
    binary_ = MakeBinaryRef(stored);
  } else if (dict_) {
    dict_ = MakeDictionaryRef(stored, read_only);
  } else if (list_) {
    list_ = MakeListRef(stored, read_only);
  }
}

const ValueNode* ValueImpl::Node() {
  if (NodeHolder* holder = Holder()) {
    return holder->Valid() ? holder->node_.get() : nullptr;
  }
  return simple_.get();
}

NodeHolder* ValueImpl::Holder() {
  if (binary_) {
    return static_cast<BinaryValueImpl*>(binary_.get());
  }
  if (dict_) {
    return static_cast<DictionaryValueImpl*>(dict_.get());
  }
  if (list_) {
    return static_cast<ListValueImpl*>(list_.get());
  }
  return nullptr;
}

CefValueType ValueImpl::Type() {
  if (binary_) {
    return VTYPE_BINARY;
  }
  if (dict_) {
    return VTYPE_DICTIONARY;
  }
  if (list_) {
    return VTYPE_LIST;
  }
  return simple_ ? simple_->type : VTYPE_INVALID;
}

void ValueImpl::Reset() {
  simple_ = nullptr;
  binary_ = nullptr;
  dict_ = nullptr;
  list_ = nullptr;
}

bool ValueImpl::SetSimple(ValueNodePtr node) {
  ValuesLockGuard lock(ValuesLock());
  Reset();
  simple_ = std::move(node);
  return true;
}

}  // namespace cef_base

// static
CefRefPtr<CefValue> CefValue::Create() {
  return cef_base::CreateValueFromNode(cef_base::NewNode(VTYPE_NULL));
}
