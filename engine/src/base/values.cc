// CefValue, CefBinaryValue, CefDictionaryValue and CefListValue over the
// shared node trees of value_node.h.

#include <algorithm>
#include <cstring>
#include <utility>

#include "include/cef_values.h"
#include "src/base/value_node.h"
#include "src/base/values_internal.h"

namespace cef_base {
namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

// What every container object knows about the node it stands for.
class NodeHolder {
 public:
  NodeHolder(ValueNodePtr node, bool owned, bool read_only)
      : node_(std::move(node)), owned_(owned), read_only_(read_only) {}

  // A free-standing root takes its tree with it: references into the tree
  // turn invalid.
  ~NodeHolder() {
    Lock lock(ValuesLock());
    if (node_ && !owned_) {
      MarkDead(node_.get());
    }
  }

  bool Valid() const { return node_ && node_->live; }
  bool Writable() const { return Valid() && !read_only_; }

  // The node to store into |target|: a copy when this object is owned by a
  // container or read-only, otherwise the node itself, after which this
  // object is detached. nullptr when invalid or when storing would nest a
  // tree inside itself.
  ValueNodePtr CopyOrDetach(const ValueNode* target) {
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

  ValueNodePtr node_;
  const bool owned_;
  const bool read_only_;
};

class BinaryValueImpl;
class DictionaryValueImpl;
class ListValueImpl;

CefRefPtr<CefValue> MakeValueFor(const ValueNodePtr& child, bool read_only);

class BinaryValueImpl : public CefBinaryValue, public NodeHolder {
 public:
  // Binary data has no setters at all; "read-only" does not apply, so a
  // free-standing binary value is moved, not copied, into containers.
  BinaryValueImpl(ValueNodePtr node, bool owned)
      : NodeHolder(std::move(node), owned, /*read_only=*/false) {}

  bool IsValid() override {
    Lock lock(ValuesLock());
    return Valid();
  }
  bool IsOwned() override {
    Lock lock(ValuesLock());
    return Valid() && owned_;
  }
  bool IsSame(CefRefPtr<CefBinaryValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<BinaryValueImpl*>(that.get());
    if (!other) {
      return false;
    }
    return other == this || (Valid() && other->node_ == node_);
  }
  bool IsEqual(CefRefPtr<CefBinaryValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<BinaryValueImpl*>(that.get());
    if (!other) {
      return false;
    }
    if (other == this) {
      return true;
    }
    return Valid() && other->Valid() && DeepEqual(*node_, *other->node_);
  }
  CefRefPtr<CefBinaryValue> Copy() override {
    Lock lock(ValuesLock());
    if (!Valid()) {
      return nullptr;
    }
    return new BinaryValueImpl(DeepCopy(*node_), /*owned=*/false);
  }
  const void* GetRawData() override {
    Lock lock(ValuesLock());
    return Valid() ? node_->binary_value.data() : nullptr;
  }
  size_t GetSize() override {
    Lock lock(ValuesLock());
    return Valid() ? node_->binary_value.size() : 0;
  }
  size_t GetData(void* buffer,
                 size_t buffer_size,
                 size_t data_offset) override {
    Lock lock(ValuesLock());
    if (!Valid() || !buffer || buffer_size == 0) {
      return 0;
    }
    const auto& data = node_->binary_value;
    if (data_offset >= data.size()) {
      return 0;
    }
    const size_t count = std::min(buffer_size, data.size() - data_offset);
    std::memcpy(buffer, data.data() + data_offset, count);
    return count;
  }

 private:
  IMPLEMENT_REFCOUNTING(BinaryValueImpl);
};

// The getters and setters shared by dictionaries and lists. |Slot| finds an
// entry (or nullptr); |Put| replaces or adds one.
template <class Derived, class Index>
class ContainerOps {
 protected:
  Derived* self() { return static_cast<Derived*>(this); }

  CefValueType TypeAt(Index index) {
    Lock lock(ValuesLock());
    const ValueNode* child = self()->Valid() ? self()->Slot(index) : nullptr;
    return child ? child->type : VTYPE_INVALID;
  }

  template <typename T, typename Getter>
  T ReadAt(Index index, cef_value_type_t type, T fallback, Getter getter) {
    Lock lock(ValuesLock());
    const ValueNode* child = self()->Valid() ? self()->Slot(index) : nullptr;
    return child && child->type == type ? getter(*child) : fallback;
  }

  CefRefPtr<CefValue> ValueAt(Index index);
  CefRefPtr<CefBinaryValue> BinaryAt(Index index);
  CefRefPtr<CefDictionaryValue> DictionaryAt(Index index);
  CefRefPtr<CefListValue> ListAt(Index index);

  bool PutNode(Index index, ValueNodePtr node) {
    Lock lock(ValuesLock());
    if (!self()->Writable() || !node) {
      return false;
    }
    self()->Put(index, std::move(node));
    return true;
  }

  // Stores a container value: copies an owned one, moves a free-standing
  // one in (detaching |holder|).
  bool PutHolder(Index index, NodeHolder* holder) {
    Lock lock(ValuesLock());
    if (!holder || !self()->Writable()) {
      return false;
    }
    ValueNodePtr node = holder->CopyOrDetach(self()->node_.get());
    if (!node) {
      return false;
    }
    self()->Put(index, std::move(node));
    return true;
  }

  bool PutValue(Index index, CefRefPtr<CefValue> value);
};

class DictionaryValueImpl
    : public CefDictionaryValue,
      public NodeHolder,
      public ContainerOps<DictionaryValueImpl, const CefString&> {
 public:
  DictionaryValueImpl(ValueNodePtr node, bool owned, bool read_only)
      : NodeHolder(std::move(node), owned, read_only) {}

  bool IsValid() override {
    Lock lock(ValuesLock());
    return Valid();
  }
  bool IsOwned() override {
    Lock lock(ValuesLock());
    return Valid() && owned_;
  }
  bool IsReadOnly() override {
    Lock lock(ValuesLock());
    return read_only_;
  }
  bool IsSame(CefRefPtr<CefDictionaryValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<DictionaryValueImpl*>(that.get());
    if (!other) {
      return false;
    }
    return other == this || (Valid() && other->node_ == node_);
  }
  bool IsEqual(CefRefPtr<CefDictionaryValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<DictionaryValueImpl*>(that.get());
    if (!other) {
      return false;
    }
    if (other == this) {
      return true;
    }
    return Valid() && other->Valid() && DeepEqual(*node_, *other->node_);
  }
  CefRefPtr<CefDictionaryValue> Copy(bool exclude_empty_children) override {
    Lock lock(ValuesLock());
    if (!Valid()) {
      return nullptr;
    }
    return new DictionaryValueImpl(DeepCopy(*node_, exclude_empty_children),
                                   /*owned=*/false, /*read_only=*/false);
  }
  size_t GetSize() override {
    Lock lock(ValuesLock());
    return Valid() ? node_->dict_value.size() : 0;
  }
  bool Clear() override {
    Lock lock(ValuesLock());
    if (!Writable()) {
      return false;
    }
    for (auto& entry : node_->dict_value) {
      MarkDead(entry.second.get());
    }
    node_->dict_value.clear();
    return true;
  }
  bool HasKey(const CefString& key) override {
    Lock lock(ValuesLock());
    return Valid() && Slot(key);
  }
  bool GetKeys(KeyList& keys) override {
    Lock lock(ValuesLock());
    if (!Valid()) {
      return false;
    }
    for (const auto& entry : node_->dict_value) {
      keys.push_back(CefString(entry.first));
    }
    return true;
  }
  bool Remove(const CefString& key) override {
    Lock lock(ValuesLock());
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
  CefValueType GetType(const CefString& key) override { return TypeAt(key); }
  CefRefPtr<CefValue> GetValue(const CefString& key) override {
    return ValueAt(key);
  }
  bool GetBool(const CefString& key) override {
    return ReadAt(key, VTYPE_BOOL, false,
                  [](const ValueNode& n) { return n.bool_value; });
  }
  int GetInt(const CefString& key) override {
    return ReadAt(key, VTYPE_INT, 0,
                  [](const ValueNode& n) { return n.int_value; });
  }
  double GetDouble(const CefString& key) override {
    return ReadAt(key, VTYPE_DOUBLE, 0.0,
                  [](const ValueNode& n) { return n.double_value; });
  }
  CefString GetString(const CefString& key) override {
    return ReadAt(key, VTYPE_STRING, CefString(),
                  [](const ValueNode& n) { return CefString(n.string_value); });
  }
  CefRefPtr<CefBinaryValue> GetBinary(const CefString& key) override {
    return BinaryAt(key);
  }
  CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) override {
    return DictionaryAt(key);
  }
  CefRefPtr<CefListValue> GetList(const CefString& key) override {
    return ListAt(key);
  }
  bool SetValue(const CefString& key, CefRefPtr<CefValue> value) override {
    return PutValue(key, value);
  }
  bool SetNull(const CefString& key) override {
    return PutNode(key, NewNode(VTYPE_NULL));
  }
  bool SetBool(const CefString& key, bool value) override {
    return PutNode(key, NewBool(value));
  }
  bool SetInt(const CefString& key, int value) override {
    return PutNode(key, NewInt(value));
  }
  bool SetDouble(const CefString& key, double value) override {
    return PutNode(key, NewDouble(value));
  }
  bool SetString(const CefString& key, const CefString& value) override {
    return PutNode(key, NewString(value.ToString()));
  }
  bool SetBinary(const CefString& key,
                 CefRefPtr<CefBinaryValue> value) override {
    return PutHolder(key, static_cast<BinaryValueImpl*>(value.get()));
  }
  bool SetDictionary(const CefString& key,
                     CefRefPtr<CefDictionaryValue> value) override {
    return PutHolder(key, static_cast<DictionaryValueImpl*>(value.get()));
  }
  bool SetList(const CefString& key, CefRefPtr<CefListValue> value) override;

  // ContainerOps hooks; called with the lock held.
  ValueNode* Slot(const CefString& key) {
    auto it = node_->dict_value.find(key.ToString());
    return it == node_->dict_value.end() ? nullptr : it->second.get();
  }
  ValueNodePtr SlotPtr(const CefString& key) {
    auto it = node_->dict_value.find(key.ToString());
    return it == node_->dict_value.end() ? nullptr : it->second;
  }
  void Put(const CefString& key, ValueNodePtr node) {
    ValueNodePtr& slot = node_->dict_value[key.ToString()];
    if (slot) {
      MarkDead(slot.get());
    }
    slot = std::move(node);
  }

 private:
  IMPLEMENT_REFCOUNTING(DictionaryValueImpl);
};

class ListValueImpl : public CefListValue,
                      public NodeHolder,
                      public ContainerOps<ListValueImpl, size_t> {
 public:
  ListValueImpl(ValueNodePtr node, bool owned, bool read_only)
      : NodeHolder(std::move(node), owned, read_only) {}

  bool IsValid() override {
    Lock lock(ValuesLock());
    return Valid();
  }
  bool IsOwned() override {
    Lock lock(ValuesLock());
    return Valid() && owned_;
  }
  bool IsReadOnly() override {
    Lock lock(ValuesLock());
    return read_only_;
  }
  bool IsSame(CefRefPtr<CefListValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<ListValueImpl*>(that.get());
    if (!other) {
      return false;
    }
    return other == this || (Valid() && other->node_ == node_);
  }
  bool IsEqual(CefRefPtr<CefListValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<ListValueImpl*>(that.get());
    if (!other) {
      return false;
    }
    if (other == this) {
      return true;
    }
    return Valid() && other->Valid() && DeepEqual(*node_, *other->node_);
  }
  CefRefPtr<CefListValue> Copy() override {
    Lock lock(ValuesLock());
    if (!Valid()) {
      return nullptr;
    }
    return new ListValueImpl(DeepCopy(*node_), /*owned=*/false,
                             /*read_only=*/false);
  }
  bool SetSize(size_t size) override {
    Lock lock(ValuesLock());
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
  size_t GetSize() override {
    Lock lock(ValuesLock());
    return Valid() ? node_->list_value.size() : 0;
  }
  bool Clear() override { return Writable() && SetSize(0); }
  bool Remove(size_t index) override {
    Lock lock(ValuesLock());
    if (!Writable() || index >= node_->list_value.size()) {
      return false;
    }
    auto& list = node_->list_value;
    MarkDead(list[index].get());
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
  }
  CefValueType GetType(size_t index) override { return TypeAt(index); }
  CefRefPtr<CefValue> GetValue(size_t index) override { return ValueAt(index); }
  bool GetBool(size_t index) override {
    return ReadAt(index, VTYPE_BOOL, false,
                  [](const ValueNode& n) { return n.bool_value; });
  }
  int GetInt(size_t index) override {
    return ReadAt(index, VTYPE_INT, 0,
                  [](const ValueNode& n) { return n.int_value; });
  }
  double GetDouble(size_t index) override {
    return ReadAt(index, VTYPE_DOUBLE, 0.0,
                  [](const ValueNode& n) { return n.double_value; });
  }
  CefString GetString(size_t index) override {
    return ReadAt(index, VTYPE_STRING, CefString(),
                  [](const ValueNode& n) { return CefString(n.string_value); });
  }
  CefRefPtr<CefBinaryValue> GetBinary(size_t index) override {
    return BinaryAt(index);
  }
  CefRefPtr<CefDictionaryValue> GetDictionary(size_t index) override {
    return DictionaryAt(index);
  }
  CefRefPtr<CefListValue> GetList(size_t index) override {
    return ListAt(index);
  }
  bool SetValue(size_t index, CefRefPtr<CefValue> value) override {
    return PutValue(index, value);
  }
  bool SetNull(size_t index) override {
    return PutNode(index, NewNode(VTYPE_NULL));
  }
  bool SetBool(size_t index, bool value) override {
    return PutNode(index, NewBool(value));
  }
  bool SetInt(size_t index, int value) override {
    return PutNode(index, NewInt(value));
  }
  bool SetDouble(size_t index, double value) override {
    return PutNode(index, NewDouble(value));
  }
  bool SetString(size_t index, const CefString& value) override {
    return PutNode(index, NewString(value.ToString()));
  }
  bool SetBinary(size_t index, CefRefPtr<CefBinaryValue> value) override {
    return PutHolder(index, static_cast<BinaryValueImpl*>(value.get()));
  }
  bool SetDictionary(size_t index,
                     CefRefPtr<CefDictionaryValue> value) override {
    return PutHolder(index, static_cast<DictionaryValueImpl*>(value.get()));
  }
  bool SetList(size_t index, CefRefPtr<CefListValue> value) override {
    return PutHolder(index, static_cast<ListValueImpl*>(value.get()));
  }

  // ContainerOps hooks; called with the lock held.
  ValueNode* Slot(size_t index) {
    return index < node_->list_value.size() ? node_->list_value[index].get()
                                            : nullptr;
  }
  ValueNodePtr SlotPtr(size_t index) {
    return index < node_->list_value.size() ? node_->list_value[index]
                                            : nullptr;
  }
  // Setting past the end pads with nulls.
  void Put(size_t index, ValueNodePtr node) {
    auto& list = node_->list_value;
    while (list.size() <= index) {
      list.push_back(NewNode(VTYPE_NULL));
    }
    MarkDead(list[index].get());
    list[index] = std::move(node);
  }

 private:
  IMPLEMENT_REFCOUNTING(ListValueImpl);
};

bool DictionaryValueImpl::SetList(const CefString& key,
                                  CefRefPtr<CefListValue> value) {
  return PutHolder(key, static_cast<ListValueImpl*>(value.get()));
}

class ValueImpl : public CefValue {
 public:
  ValueImpl() = default;
  explicit ValueImpl(ValueNodePtr simple) : simple_(std::move(simple)) {}
  explicit ValueImpl(CefRefPtr<CefBinaryValue> value) : binary_(value) {}
  explicit ValueImpl(CefRefPtr<CefDictionaryValue> value) : dict_(value) {}
  explicit ValueImpl(CefRefPtr<CefListValue> value) : list_(value) {}

  bool IsValid() override {
    Lock lock(ValuesLock());
    if (NodeHolder* holder = Holder()) {
      return holder->Valid();
    }
    return simple_ != nullptr;
  }
  bool IsOwned() override {
    Lock lock(ValuesLock());
    NodeHolder* holder = Holder();
    return holder && holder->Valid() && holder->owned_;
  }
  // Binary values count as read-only.
  bool IsReadOnly() override {
    Lock lock(ValuesLock());
    NodeHolder* holder = Holder();
    return binary_ || (holder && holder->read_only_);
  }
  bool IsSame(CefRefPtr<CefValue> that) override {
    Lock lock(ValuesLock());
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
  bool IsEqual(CefRefPtr<CefValue> that) override {
    Lock lock(ValuesLock());
    auto* other = static_cast<ValueImpl*>(that.get());
    if (other == this) {
      return true;
    }
    if (!other || other->Type() != Type()) {
      return false;
    }
    const ValueNode* mine = Node();
    const ValueNode* theirs = other->Node();
    if (!Holder() && !simple_) {
      return true;  // Both invalid.
    }
    return mine && theirs && DeepEqual(*mine, *theirs);
  }
  CefRefPtr<CefValue> Copy() override {
    Lock lock(ValuesLock());
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
  CefValueType GetType() override {
    Lock lock(ValuesLock());
    return Type();
  }
  bool GetBool() override {
    Lock lock(ValuesLock());
    return simple_ && simple_->type == VTYPE_BOOL && simple_->bool_value;
  }
  int GetInt() override {
    Lock lock(ValuesLock());
    return simple_ && simple_->type == VTYPE_INT ? simple_->int_value : 0;
  }
  double GetDouble() override {
    Lock lock(ValuesLock());
    return simple_ && simple_->type == VTYPE_DOUBLE ? simple_->double_value
                                                    : 0.0;
  }
  CefString GetString() override {
    Lock lock(ValuesLock());
    return simple_ && simple_->type == VTYPE_STRING
               ? CefString(simple_->string_value)
               : CefString();
  }
  CefRefPtr<CefBinaryValue> GetBinary() override {
    Lock lock(ValuesLock());
    return binary_;
  }
  CefRefPtr<CefDictionaryValue> GetDictionary() override {
    Lock lock(ValuesLock());
    return dict_;
  }
  CefRefPtr<CefListValue> GetList() override {
    Lock lock(ValuesLock());
    return list_;
  }
  bool SetNull() override { return SetSimple(NewNode(VTYPE_NULL)); }
  bool SetBool(bool value) override { return SetSimple(NewBool(value)); }
  bool SetInt(int value) override { return SetSimple(NewInt(value)); }
  bool SetDouble(double value) override { return SetSimple(NewDouble(value)); }
  bool SetString(const CefString& value) override {
    return SetSimple(NewString(value.ToString()));
  }
  bool SetBinary(CefRefPtr<CefBinaryValue> value) override {
    Lock lock(ValuesLock());
    Reset();
    binary_ = value;
    return true;
  }
  bool SetDictionary(CefRefPtr<CefDictionaryValue> value) override {
    Lock lock(ValuesLock());
    Reset();
    dict_ = value;
    return true;
  }
  bool SetList(CefRefPtr<CefListValue> value) override {
    Lock lock(ValuesLock());
    Reset();
    list_ = value;
    return true;
  }

  // Called with the lock held by containers that store this value.
  ValueNodePtr CopyOrDetach(const ValueNode* target) {
    if (NodeHolder* holder = Holder()) {
      return holder->CopyOrDetach(target);
    }
    return simple_ ? DeepCopy(*simple_) : nullptr;
  }

  // After storing, a complex value refers to the stored entry.
  void ReferTo(const ValueNodePtr& stored, bool read_only) {
    if (binary_) {
      binary_ = new BinaryValueImpl(stored, /*owned=*/true);
    } else if (dict_) {
      dict_ = new DictionaryValueImpl(stored, /*owned=*/true, read_only);
    } else if (list_) {
      list_ = new ListValueImpl(stored, /*owned=*/true, read_only);
    }
  }

  // The data, or nullptr when invalid.
  const ValueNode* Node() {
    if (NodeHolder* holder = Holder()) {
      return holder->Valid() ? holder->node_.get() : nullptr;
    }
    return simple_.get();
  }

 private:
  NodeHolder* Holder() {
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

  CefValueType Type() {
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

  void Reset() {
    simple_ = nullptr;
    binary_ = nullptr;
    dict_ = nullptr;
    list_ = nullptr;
  }

  bool SetSimple(ValueNodePtr node) {
    Lock lock(ValuesLock());
    Reset();
    simple_ = std::move(node);
    return true;
  }

  ValueNodePtr simple_;
  CefRefPtr<CefBinaryValue> binary_;
  CefRefPtr<CefDictionaryValue> dict_;
  CefRefPtr<CefListValue> list_;

  IMPLEMENT_REFCOUNTING(ValueImpl);
};

// A value object for an entry of a container: simple data is copied,
// complex data is referenced.
CefRefPtr<CefValue> MakeValueFor(const ValueNodePtr& child, bool read_only) {
  switch (child->type) {
    case VTYPE_BINARY:
      return new ValueImpl(CefRefPtr<CefBinaryValue>(
          new BinaryValueImpl(child, /*owned=*/true)));
    case VTYPE_DICTIONARY:
      return new ValueImpl(CefRefPtr<CefDictionaryValue>(
          new DictionaryValueImpl(child, /*owned=*/true, read_only)));
    case VTYPE_LIST:
      return new ValueImpl(CefRefPtr<CefListValue>(
          new ListValueImpl(child, /*owned=*/true, read_only)));
    default:
      return new ValueImpl(DeepCopy(*child));
  }
}

template <class Derived, class Index>
CefRefPtr<CefValue> ContainerOps<Derived, Index>::ValueAt(Index index) {
  Lock lock(ValuesLock());
  if (!self()->Valid()) {
    return nullptr;
  }
  ValueNodePtr child = self()->SlotPtr(index);
  return child ? MakeValueFor(child, self()->read_only_) : nullptr;
}

template <class Derived, class Index>
CefRefPtr<CefBinaryValue> ContainerOps<Derived, Index>::BinaryAt(Index index) {
  Lock lock(ValuesLock());
  ValueNodePtr child = self()->Valid() ? self()->SlotPtr(index) : nullptr;
  if (!child || child->type != VTYPE_BINARY) {
    return nullptr;
  }
  return new BinaryValueImpl(child, /*owned=*/true);
}

template <class Derived, class Index>
CefRefPtr<CefDictionaryValue> ContainerOps<Derived, Index>::DictionaryAt(
    Index index) {
  Lock lock(ValuesLock());
  ValueNodePtr child = self()->Valid() ? self()->SlotPtr(index) : nullptr;
  if (!child || child->type != VTYPE_DICTIONARY) {
    return nullptr;
  }
  return new DictionaryValueImpl(child, /*owned=*/true, self()->read_only_);
}

template <class Derived, class Index>
CefRefPtr<CefListValue> ContainerOps<Derived, Index>::ListAt(Index index) {
  Lock lock(ValuesLock());
  ValueNodePtr child = self()->Valid() ? self()->SlotPtr(index) : nullptr;
  if (!child || child->type != VTYPE_LIST) {
    return nullptr;
  }
  return new ListValueImpl(child, /*owned=*/true, self()->read_only_);
}

template <class Derived, class Index>
bool ContainerOps<Derived, Index>::PutValue(Index index,
                                            CefRefPtr<CefValue> value) {
  Lock lock(ValuesLock());
  auto* impl = static_cast<ValueImpl*>(value.get());
  if (!impl || !self()->Writable()) {
    return false;
  }
  ValueNodePtr node = impl->CopyOrDetach(self()->node_.get());
  if (!node) {
    return false;
  }
  self()->Put(index, node);
  impl->ReferTo(node, self()->read_only_);
  return true;
}

}  // namespace

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

ValueNodePtr CopyNodeOf(CefValue* value) {
  Lock lock(ValuesLock());
  const ValueNode* node =
      value ? static_cast<ValueImpl*>(value)->Node() : nullptr;
  return node ? DeepCopy(*node) : nullptr;
}

namespace {

ValueNodePtr CopyHolderNode(NodeHolder* holder) {
  Lock lock(ValuesLock());
  return holder && holder->Valid() ? DeepCopy(*holder->node_) : nullptr;
}

}  // namespace

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

// static
CefRefPtr<CefValue> CefValue::Create() {
  return cef_base::CreateValueFromNode(cef_base::NewNode(VTYPE_NULL));
}

// static
CefRefPtr<CefBinaryValue> CefBinaryValue::Create(const void* data,
                                                 size_t data_size) {
  if (!data || data_size == 0) {
    return nullptr;
  }
  auto node = cef_base::NewNode(VTYPE_BINARY);
  const auto* bytes = static_cast<const uint8_t*>(data);
  node->binary_value.assign(bytes, bytes + data_size);
  return cef_base::CreateValueFromNode(std::move(node))->GetBinary();
}

// static
CefRefPtr<CefDictionaryValue> CefDictionaryValue::Create() {
  return cef_base::CreateDictionaryFromNode(cef_base::NewNode(VTYPE_DICTIONARY),
                                            /*read_only=*/false);
}

// static
CefRefPtr<CefListValue> CefListValue::Create() {
  return cef_base::CreateListFromNode(cef_base::NewNode(VTYPE_LIST),
                                      /*read_only=*/false);
}
