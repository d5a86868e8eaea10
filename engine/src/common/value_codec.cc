#include "common/value_codec.h"

#include <cstring>

namespace cefengine {

namespace {

// Wire tags; part of the format between the processes of one build.
enum Tag : uint8_t {
  kNull = 0,
  kBool = 1,
  kInt = 2,
  kDouble = 3,
  kString = 4,
  kBinary = 5,
  kDictionary = 6,
  kList = 7,
};

// A single entry can never be smaller than its tag byte, which bounds the
// counts a reader accepts before allocating.
constexpr size_t kMinEntrySize = 1;

}  // namespace

void Writer::U8(uint8_t value) {
  out_->push_back(static_cast<char>(value));
}

void Writer::U32(uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out_->push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void Writer::U64(uint64_t value) {
  for (int i = 0; i < 8; ++i)
    out_->push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void Writer::I32(int32_t value) {
  U32(static_cast<uint32_t>(value));
}

void Writer::F64(double value) {
  uint64_t bits;
  static_assert(sizeof(bits) == sizeof(value), "IEEE double expected");
  std::memcpy(&bits, &value, sizeof(bits));
  U64(bits);
}

void Writer::Bytes(const std::string& value) {
  U32(static_cast<uint32_t>(value.size()));
  out_->append(value);
}

void Writer::List(CefRefPtr<CefListValue> list) {
  const size_t size = list ? list->GetSize() : 0;
  U32(static_cast<uint32_t>(size));
  for (size_t i = 0; i < size; ++i)
    Entry(list, i);
}

void Writer::Dictionary(CefRefPtr<CefDictionaryValue> dict) {
  CefDictionaryValue::KeyList keys;
  if (dict)
    dict->GetKeys(keys);
  U32(static_cast<uint32_t>(keys.size()));
  for (const CefString& key : keys) {
    Bytes(key.ToString());
    Entry(dict, key);
  }
}

// Lists and dictionaries share their getters, keyed by index or by name.
template <typename Container, typename Key>
void Writer::Entry(CefRefPtr<Container> container, const Key& key) {
  switch (container->GetType(key)) {
    case VTYPE_BOOL:
      U8(kBool);
      U8(container->GetBool(key) ? 1 : 0);
      break;
    case VTYPE_INT:
      U8(kInt);
      I32(container->GetInt(key));
      break;
    case VTYPE_DOUBLE:
      U8(kDouble);
      F64(container->GetDouble(key));
      break;
    case VTYPE_STRING:
      U8(kString);
      Bytes(container->GetString(key).ToString());
      break;
    case VTYPE_BINARY: {
      U8(kBinary);
      CefRefPtr<CefBinaryValue> binary = container->GetBinary(key);
      std::string bytes(binary ? binary->GetSize() : 0, '\0');
      if (!bytes.empty())
        binary->GetData(&bytes[0], bytes.size(), 0);
      Bytes(bytes);
      break;
    }
    case VTYPE_DICTIONARY:
      U8(kDictionary);
      Dictionary(container->GetDictionary(key));
      break;
    case VTYPE_LIST:
      U8(kList);
      List(container->GetList(key));
      break;
    default:
      U8(kNull);
      break;
  }
}

bool Reader::Take(size_t n, const char** p) {
  if (failed_ || size_ - pos_ < n) {
    failed_ = true;
    return false;
  }
  *p = data_ + pos_;
  pos_ += n;
  return true;
}

bool Reader::U8(uint8_t* value) {
  const char* p;
  if (!Take(1, &p))
    return false;
  *value = static_cast<uint8_t>(*p);
  return true;
}

bool Reader::U32(uint32_t* value) {
  const char* p;
  if (!Take(4, &p))
    return false;
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(p[i])) << (8 * i);
  *value = v;
  return true;
}

bool Reader::U64(uint64_t* value) {
  const char* p;
  if (!Take(8, &p))
    return false;
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i)
    v |= static_cast<uint64_t>(static_cast<uint8_t>(p[i])) << (8 * i);
  *value = v;
  return true;
}

bool Reader::I32(int32_t* value) {
  uint32_t v;
  if (!U32(&v))
    return false;
  *value = static_cast<int32_t>(v);
  return true;
}

bool Reader::F64(double* value) {
  uint64_t bits;
  if (!U64(&bits))
    return false;
  std::memcpy(value, &bits, sizeof(bits));
  return true;
}

bool Reader::Bytes(std::string* value) {
  uint32_t length;
  const char* p;
  if (!U32(&length) || !Take(length, &p))
    return false;
  value->assign(p, length);
  return true;
}

bool Reader::List(CefRefPtr<CefListValue>* list) {
  return ListAt(list, 0);
}

bool Reader::Dictionary(CefRefPtr<CefDictionaryValue>* dict) {
  return DictionaryAt(dict, 0);
}

bool Reader::ListAt(CefRefPtr<CefListValue>* list, int depth) {
  uint32_t count;
  if (depth > kMaxDepth || !U32(&count) ||
      count > (size_ - pos_) / kMinEntrySize) {
    failed_ = true;
    return false;
  }
  CefRefPtr<CefListValue> result = CefListValue::Create();
  result->SetSize(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!Entry(result, i, nullptr, CefString(), depth))
      return false;
  }
  *list = result;
  return true;
}

bool Reader::DictionaryAt(CefRefPtr<CefDictionaryValue>* dict, int depth) {
  uint32_t count;
  if (depth > kMaxDepth || !U32(&count) ||
      count > (size_ - pos_) / kMinEntrySize) {
    failed_ = true;
    return false;
  }
  CefRefPtr<CefDictionaryValue> result = CefDictionaryValue::Create();
  for (uint32_t i = 0; i < count; ++i) {
    std::string key;
    if (!Bytes(&key) || !Entry(nullptr, 0, result, CefString(key), depth))
      return false;
  }
  *dict = result;
  return true;
}

bool Reader::Entry(CefRefPtr<CefListValue> list,
                   size_t index,
                   CefRefPtr<CefDictionaryValue> dict,
                   const CefString& key,
                   int depth) {
  uint8_t tag;
  if (!U8(&tag))
    return false;
  switch (tag) {
    case kNull:
      list ? list->SetNull(index) : dict->SetNull(key);
      return true;
    case kBool: {
      uint8_t v;
      if (!U8(&v) || v > 1)
        break;
      list ? list->SetBool(index, v == 1) : dict->SetBool(key, v == 1);
      return true;
    }
    case kInt: {
      int32_t v;
      if (!I32(&v))
        break;
      list ? list->SetInt(index, v) : dict->SetInt(key, v);
      return true;
    }
    case kDouble: {
      double v;
      if (!F64(&v))
        break;
      list ? list->SetDouble(index, v) : dict->SetDouble(key, v);
      return true;
    }
    case kString: {
      std::string v;
      if (!Bytes(&v))
        break;
      list ? list->SetString(index, v) : dict->SetString(key, v);
      return true;
    }
    case kBinary: {
      std::string v;
      if (!Bytes(&v))
        break;
      CefRefPtr<CefBinaryValue> binary =
          CefBinaryValue::Create(v.data(), v.size());
      list ? list->SetBinary(index, binary) : dict->SetBinary(key, binary);
      return true;
    }
    case kDictionary: {
      CefRefPtr<CefDictionaryValue> v;
      if (!DictionaryAt(&v, depth + 1))
        break;
      list ? list->SetDictionary(index, v) : dict->SetDictionary(key, v);
      return true;
    }
    case kList: {
      CefRefPtr<CefListValue> v;
      if (!ListAt(&v, depth + 1))
        break;
      list ? list->SetList(index, v) : dict->SetList(key, v);
      return true;
    }
    default:
      break;
  }
  failed_ = true;
  return false;
}

}  // namespace cefengine
