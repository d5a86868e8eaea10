// Generic values: simple types, binary blobs, dictionaries and lists.
//
// Ownership: a dictionary, list or binary value is either free-standing
// (created by Create(), Copy() or a parser) or owned by a containing
// dictionary or list. Getters of a container return references into it;
// a reference becomes invalid (IsValid() false) when its container removes or
// replaces that entry, or when the free-standing root is destroyed. Storing a
// free-standing value into a container moves its data there and invalidates
// the stored object; storing an owned value stores a copy. Every object may
// be used on any thread.

#ifndef CEF_INCLUDE_CEF_VALUES_H_
#define CEF_INCLUDE_CEF_VALUES_H_
#pragma once

#include <vector>

#include "include/cef_base.h"

class CefBinaryValue;
class CefDictionaryValue;
class CefListValue;

typedef cef_value_type_t CefValueType;

// Holds one value of any type. Binary, dictionary and list values are held by
// reference, never copied.
class CefValue : public virtual CefBaseRefCounted {
 public:
  // A new value of type VTYPE_NULL.
  static CefRefPtr<CefValue> Create();

  // False when a held reference has become invalid. Simple types are always
  // valid; Set*() makes the object usable again.
  virtual bool IsValid() = 0;
  // True when the held binary, dictionary or list is owned by a container.
  virtual bool IsOwned() = 0;
  // True for binary values and read-only containers.
  virtual bool IsReadOnly() = 0;
  // True when both refer to the same underlying data.
  virtual bool IsSame(CefRefPtr<CefValue> that) = 0;
  // True when both hold equal values (deep comparison).
  virtual bool IsEqual(CefRefPtr<CefValue> that) = 0;
  // A deep copy.
  virtual CefRefPtr<CefValue> Copy() = 0;
  virtual CefValueType GetType() = 0;

  // Each getter returns its type's zero value (false, 0, 0.0, "") when the
  // held value is of another type; there is no numeric conversion.
  virtual bool GetBool() = 0;
  virtual int GetInt() = 0;
  virtual double GetDouble() = 0;
  virtual CefString GetString() = 0;
  // The held reference, or nullptr for other types.
  virtual CefRefPtr<CefBinaryValue> GetBinary() = 0;
  virtual CefRefPtr<CefDictionaryValue> GetDictionary() = 0;
  virtual CefRefPtr<CefListValue> GetList() = 0;

  // Setters replace the held value and return true.
  virtual bool SetNull() = 0;
  virtual bool SetBool(bool value) = 0;
  virtual bool SetInt(int value) = 0;
  virtual bool SetDouble(double value) = 0;
  virtual bool SetString(const CefString& value) = 0;
  // Keeps a reference to |value|; its ownership does not change.
  virtual bool SetBinary(CefRefPtr<CefBinaryValue> value) = 0;
  virtual bool SetDictionary(CefRefPtr<CefDictionaryValue> value) = 0;
  virtual bool SetList(CefRefPtr<CefListValue> value) = 0;
};

// An immutable block of bytes.
class CefBinaryValue : public virtual CefBaseRefCounted {
 public:
  // Copies |data|; returns nullptr when |data| is null or |data_size| is 0.
  static CefRefPtr<CefBinaryValue> Create(const void* data, size_t data_size);

  virtual bool IsValid() = 0;
  virtual bool IsOwned() = 0;
  virtual bool IsSame(CefRefPtr<CefBinaryValue> that) = 0;
  virtual bool IsEqual(CefRefPtr<CefBinaryValue> that) = 0;
  virtual CefRefPtr<CefBinaryValue> Copy() = 0;
  // Valid while this object is alive and valid.
  virtual const void* GetRawData() = 0;
  virtual size_t GetSize() = 0;
  // Copies up to |buffer_size| bytes starting at |data_offset| into |buffer|
  // and returns how many were copied.
  virtual size_t GetData(void* buffer,
                         size_t buffer_size,
                         size_t data_offset) = 0;
};

// String-keyed values, kept in key order.
class CefDictionaryValue : public virtual CefBaseRefCounted {
 public:
  typedef std::vector<CefString> KeyList;

  // A new, empty, free-standing dictionary.
  static CefRefPtr<CefDictionaryValue> Create();

  virtual bool IsValid() = 0;
  virtual bool IsOwned() = 0;
  virtual bool IsReadOnly() = 0;
  virtual bool IsSame(CefRefPtr<CefDictionaryValue> that) = 0;
  virtual bool IsEqual(CefRefPtr<CefDictionaryValue> that) = 0;
  // A writable, free-standing deep copy. With |exclude_empty_children|
  // empty nested dictionaries are left out.
  virtual CefRefPtr<CefDictionaryValue> Copy(bool exclude_empty_children) = 0;
  virtual size_t GetSize() = 0;
  virtual bool Clear() = 0;
  virtual bool HasKey(const CefString& key) = 0;
  // Appends the keys, in order, to |keys|.
  virtual bool GetKeys(KeyList& keys) = 0;
  virtual bool Remove(const CefString& key) = 0;
  // VTYPE_INVALID when |key| is absent.
  virtual CefValueType GetType(const CefString& key) = 0;
  // Simple values are copied; complex ones are returned by reference.
  virtual CefRefPtr<CefValue> GetValue(const CefString& key) = 0;
  virtual bool GetBool(const CefString& key) = 0;
  virtual int GetInt(const CefString& key) = 0;
  virtual double GetDouble(const CefString& key) = 0;
  virtual CefString GetString(const CefString& key) = 0;
  virtual CefRefPtr<CefBinaryValue> GetBinary(const CefString& key) = 0;
  virtual CefRefPtr<CefDictionaryValue> GetDictionary(const CefString& key) = 0;
  virtual CefRefPtr<CefListValue> GetList(const CefString& key) = 0;
  // Stores |value|'s data; afterwards |value| refers to the stored entry.
  virtual bool SetValue(const CefString& key, CefRefPtr<CefValue> value) = 0;
  virtual bool SetNull(const CefString& key) = 0;
  virtual bool SetBool(const CefString& key, bool value) = 0;
  virtual bool SetInt(const CefString& key, int value) = 0;
  virtual bool SetDouble(const CefString& key, double value) = 0;
  virtual bool SetString(const CefString& key, const CefString& value) = 0;
  // Copies an owned |value|; takes over a free-standing one, which then
  // becomes invalid.
  virtual bool SetBinary(const CefString& key,
                         CefRefPtr<CefBinaryValue> value) = 0;
  virtual bool SetDictionary(const CefString& key,
                             CefRefPtr<CefDictionaryValue> value) = 0;
  virtual bool SetList(const CefString& key, CefRefPtr<CefListValue> value) = 0;
};

// An ordered sequence of values.
class CefListValue : public virtual CefBaseRefCounted {
 public:
  // A new, empty, free-standing list.
  static CefRefPtr<CefListValue> Create();

  virtual bool IsValid() = 0;
  virtual bool IsOwned() = 0;
  virtual bool IsReadOnly() = 0;
  virtual bool IsSame(CefRefPtr<CefListValue> that) = 0;
  virtual bool IsEqual(CefRefPtr<CefListValue> that) = 0;
  virtual CefRefPtr<CefListValue> Copy() = 0;
  // Grows with null entries or shrinks from the end.
  virtual bool SetSize(size_t size) = 0;
  virtual size_t GetSize() = 0;
  virtual bool Clear() = 0;
  virtual bool Remove(size_t index) = 0;
  virtual CefValueType GetType(size_t index) = 0;
  virtual CefRefPtr<CefValue> GetValue(size_t index) = 0;
  virtual bool GetBool(size_t index) = 0;
  virtual int GetInt(size_t index) = 0;
  virtual double GetDouble(size_t index) = 0;
  virtual CefString GetString(size_t index) = 0;
  virtual CefRefPtr<CefBinaryValue> GetBinary(size_t index) = 0;
  virtual CefRefPtr<CefDictionaryValue> GetDictionary(size_t index) = 0;
  virtual CefRefPtr<CefListValue> GetList(size_t index) = 0;
  // Setting past the end grows the list with null entries.
  virtual bool SetValue(size_t index, CefRefPtr<CefValue> value) = 0;
  virtual bool SetNull(size_t index) = 0;
  virtual bool SetBool(size_t index, bool value) = 0;
  virtual bool SetInt(size_t index, int value) = 0;
  virtual bool SetDouble(size_t index, double value) = 0;
  virtual bool SetString(size_t index, const CefString& value) = 0;
  virtual bool SetBinary(size_t index, CefRefPtr<CefBinaryValue> value) = 0;
  virtual bool SetDictionary(size_t index,
                             CefRefPtr<CefDictionaryValue> value) = 0;
  virtual bool SetList(size_t index, CefRefPtr<CefListValue> value) = 0;
};

#endif  // CEF_INCLUDE_CEF_VALUES_H_
