// Type-preserving binary encoding of CefListValue and CefDictionaryValue
// trees for the channel between engine processes.

#ifndef CEFENGINE_COMMON_VALUE_CODEC_H_
#define CEFENGINE_COMMON_VALUE_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "include/cef_values.h"

namespace cefengine {

// Appends primitives to a byte string (little-endian fixed-width integers,
// length-prefixed strings).
class Writer {
 public:
  explicit Writer(std::string* out) : out_(out) {}

  void U8(uint8_t value);
  void U32(uint32_t value);
  void U64(uint64_t value);
  void I32(int32_t value);
  void F64(double value);
  void Bytes(const std::string& value);

  // Appends |list| (null counts as empty).
  void List(CefRefPtr<CefListValue> list);
  void Dictionary(CefRefPtr<CefDictionaryValue> dict);

 private:
  template <typename Container, typename Key>
  void Entry(CefRefPtr<Container> container, const Key& key);

  std::string* out_;
};

// Reads what Writer wrote. Every method returns false on truncated or
// malformed input and leaves the reader failed.
class Reader {
 public:
  Reader(const char* data, size_t size) : data_(data), size_(size) {}

  bool U8(uint8_t* value);
  bool U32(uint32_t* value);
  bool U64(uint64_t* value);
  bool I32(int32_t* value);
  bool F64(double* value);
  bool Bytes(std::string* value);

  // Nesting deeper than kMaxDepth is refused so hostile input cannot
  // exhaust the stack.
  bool List(CefRefPtr<CefListValue>* list);
  bool Dictionary(CefRefPtr<CefDictionaryValue>* dict);

  bool AtEnd() const { return pos_ == size_; }

  static constexpr int kMaxDepth = 100;

 private:
  bool Take(size_t n, const char** p);
  bool ListAt(CefRefPtr<CefListValue>* list, int depth);
  bool DictionaryAt(CefRefPtr<CefDictionaryValue>* dict, int depth);
  // Reads one tagged value into |list| at |index| or |dict| at |key|.
  bool Entry(CefRefPtr<CefListValue> list,
             size_t index,
             CefRefPtr<CefDictionaryValue> dict,
             const CefString& key,
             int depth);

  const char* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_VALUE_CODEC_H_
