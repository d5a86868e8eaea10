// The classes behind CefValue, CefBinaryValue, CefDictionaryValue and
// CefListValue. Every method takes ValuesLock(); helpers marked "locked"
// expect the caller to hold it.

#ifndef ENGINE_SRC_BASE_VALUES_IMPL_H_
#define ENGINE_SRC_BASE_VALUES_IMPL_H_

#include <mutex>

#include "include/cef_values.h"
#include "src/base/value_node.h"

namespace cef_base {

using ValuesLockGuard = std::lock_guard<std::recursive_mutex>;

// What a binary, dictionary or list object knows about its node.
class NodeHolder {
 public:
  NodeHolder(ValueNodePtr node, bool owned, bool read_only);
  // A free-standing root takes its tree with it: references into the tree
  // turn invalid.
  ~NodeHolder();

  bool Valid() const { return node_ && node_->live; }
  bool Writable() const { return Valid() && !read_only_; }

  // Locked. The node to store into the container whose node is |target|: a
  // copy when this object is owned or read-only, otherwise the node itself,
  // after which this object is detached (invalid). nullptr when invalid or
  // when storing would nest a tree inside itself.
  ValueNodePtr CopyOrDetach(const ValueNode* target);

  ValueNodePtr node_;
  const bool owned_;
  const bool read_only_;
};

class BinaryValueImpl : public CefBinaryValue, public NodeHolder {
 public:
  BinaryValueImpl(ValueNodePtr node, bool owned);

  // CefBinaryValue methods:
  bool IsValid() override;
  bool IsOwned() override;
  bool IsSame(CefRefPtr<CefBinaryValue> that) override;
  bool IsEqual(CefRefPtr<CefBinaryValue> that) override;
  CefRefPtr<CefBinaryValue> Copy() override;
  const void* GetRawData() override;
  size_t GetSize() override;
  size_t GetData(void* buffer, size_t buffer_size, size_t data_offset) override;

 private:
  IMPLEMENT_REFCOUNTING(BinaryValueImpl);
};

class DictionaryValueImpl : public CefDictionaryValue, public NodeHolder {
 public:
  DictionaryValueImpl(ValueNodePtr node, bool owned, bool read_only);

  // CefDictionaryValue methods:
  bool IsValid() override;
  bool IsOwned() override;
  bool IsReadOnly() override;
  bool IsSame(CefRefPtr<CefDictionaryValue> that) override;
  bool IsEqual(CefRefPtr<CefDictionaryValue> that) override;
  CefRefPtr<CefDictionaryValue> Copy(bool exclude_empty_children) override;
  size_t GetSize() override;
  bool Clear() override;
  bool HasKey(const CefString& key) override;
  bool GetKeys(KeyList& keys) override;
  bool Remove(const CefString& key) override;
  CefValueType GetType(const CefString& key) override;
  CefRefPtr<CefValue> GetValue(const CefString& key) override;
  bool GetBool(const CefString& key) override;
  int GetInt(const CefString& key) override;
  double GetDouble(const CefString& key) override;
  CefString GetString(const CefString& key) override;
  CefRefPtr<CefBinaryValue> GetBinary(const CefString& key) override;
  CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) override;
  CefRefPtr<CefListValue> GetList(const CefString& key) override;
  bool SetValue(const CefString& key, CefRefPtr<CefValue> value) override;
  bool SetNull(const CefString& key) override;
  bool SetBool(const CefString& key, bool value) override;
  bool SetInt(const CefString& key, int value) override;
  bool SetDouble(const CefString& key, double value) override;
  bool SetString(const CefString& key, const CefString& value) override;
  bool SetBinary(const CefString& key,
                 CefRefPtr<CefBinaryValue> value) override;
  bool SetDictionary(const CefString& key,
                     CefRefPtr<CefDictionaryValue> value) override;
  bool SetList(const CefString& key, CefRefPtr<CefListValue> value) override;

 private:
  // Locked. The entry for |key|, or nullptr (also when invalid).
  ValueNodePtr Find(const CefString& key);
  // Replaces or adds an entry; the replaced subtree dies.
  bool Put(const CefString& key, ValueNodePtr node);
  bool PutHolder(const CefString& key, NodeHolder* holder);

  IMPLEMENT_REFCOUNTING(DictionaryValueImpl);
};

class ListValueImpl : public CefListValue, public NodeHolder {
 public:
  ListValueImpl(ValueNodePtr node, bool owned, bool read_only);

  // CefListValue methods:
  bool IsValid() override;
  bool IsOwned() override;
  bool IsReadOnly() override;
  bool IsSame(CefRefPtr<CefListValue> that) override;
  bool IsEqual(CefRefPtr<CefListValue> that) override;
  CefRefPtr<CefListValue> Copy() override;
  bool SetSize(size_t size) override;
  size_t GetSize() override;
  bool Clear() override;
  bool Remove(size_t index) override;
  CefValueType GetType(size_t index) override;
  CefRefPtr<CefValue> GetValue(size_t index) override;
  bool GetBool(size_t index) override;
  int GetInt(size_t index) override;
  double GetDouble(size_t index) override;
  CefString GetString(size_t index) override;
  CefRefPtr<CefBinaryValue> GetBinary(size_t index) override;
  CefRefPtr<CefDictionaryValue> GetDictionary(size_t index) override;
  CefRefPtr<CefListValue> GetList(size_t index) override;
  bool SetValue(size_t index, CefRefPtr<CefValue> value) override;
  bool SetNull(size_t index) override;
  bool SetBool(size_t index, bool value) override;
  bool SetInt(size_t index, int value) override;
  bool SetDouble(size_t index, double value) override;
  bool SetString(size_t index, const CefString& value) override;
  bool SetBinary(size_t index, CefRefPtr<CefBinaryValue> value) override;
  bool SetDictionary(size_t index,
                     CefRefPtr<CefDictionaryValue> value) override;
  bool SetList(size_t index, CefRefPtr<CefListValue> value) override;

 private:
  // Locked. The entry at |index|, or nullptr (also when invalid).
  ValueNodePtr Find(size_t index);
  // Replaces an entry, padding with nulls past the end.
  bool Put(size_t index, ValueNodePtr node);
  bool PutHolder(size_t index, NodeHolder* holder);

  IMPLEMENT_REFCOUNTING(ListValueImpl);
};

// Holds a simple value itself, or a binary, dictionary or list object.
class ValueImpl : public CefValue {
 public:
  ValueImpl() = default;
  explicit ValueImpl(ValueNodePtr simple);
  explicit ValueImpl(CefRefPtr<CefBinaryValue> value);
  explicit ValueImpl(CefRefPtr<CefDictionaryValue> value);
  explicit ValueImpl(CefRefPtr<CefListValue> value);

  // CefValue methods:
  bool IsValid() override;
  bool IsOwned() override;
  bool IsReadOnly() override;
  bool IsSame(CefRefPtr<CefValue> that) override;
  bool IsEqual(CefRefPtr<CefValue> that) override;
  CefRefPtr<CefValue> Copy() override;
  CefValueType GetType() override;
  bool GetBool() override;
  int GetInt() override;
  double GetDouble() override;
  CefString GetString() override;
  CefRefPtr<CefBinaryValue> GetBinary() override;
  CefRefPtr<CefDictionaryValue> GetDictionary() override;
  CefRefPtr<CefListValue> GetList() override;
  bool SetNull() override;
  bool SetBool(bool value) override;
  bool SetInt(int value) override;
  bool SetDouble(double value) override;
  bool SetString(const CefString& value) override;
  bool SetBinary(CefRefPtr<CefBinaryValue> value) override;
  bool SetDictionary(CefRefPtr<CefDictionaryValue> value) override;
  bool SetList(CefRefPtr<CefListValue> value) override;

  // Locked. The node to store into a container (see NodeHolder).
  ValueNodePtr CopyOrDetach(const ValueNode* target);
  // Locked. After storing, a complex value refers to the stored entry.
  void ReferTo(const ValueNodePtr& stored, bool read_only);
  // Locked. The data, or nullptr when invalid.
  const ValueNode* Node();

 private:
  NodeHolder* Holder();
  CefValueType Type();
  void Reset();
  bool SetSimple(ValueNodePtr node);

  ValueNodePtr simple_;
  CefRefPtr<CefBinaryValue> binary_;
  CefRefPtr<CefDictionaryValue> dict_;
  CefRefPtr<CefListValue> list_;

  IMPLEMENT_REFCOUNTING(ValueImpl);
};

// Locked. Objects for a container entry; nullptr when |child| is null or of
// another type. Complex data is referenced, simple data copied.
CefRefPtr<CefValue> MakeValueRef(const ValueNodePtr& child, bool read_only);
CefRefPtr<CefBinaryValue> MakeBinaryRef(const ValueNodePtr& child);
CefRefPtr<CefDictionaryValue> MakeDictionaryRef(const ValueNodePtr& child,
                                                bool read_only);
CefRefPtr<CefListValue> MakeListRef(const ValueNodePtr& child, bool read_only);

// Locked. Reads a simple entry of |type|, or |fallback|.
template <typename T, typename Getter>
T ReadSimple(const ValueNodePtr& child,
             cef_value_type_t type,
             T fallback,
             Getter getter) {
  return child && child->type == type ? getter(*child) : fallback;
}

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_VALUES_IMPL_H_
