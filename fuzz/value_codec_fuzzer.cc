// The engine's value codec for messages between its processes: what the
// reader accepts, the writer writes again as bytes that read back the same.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/value_codec.h"
#include "fuzz/fuzz_check.h"

namespace {

template <typename T>
bool Read(const std::string& bytes, CefRefPtr<T>* value);

template <>
bool Read(const std::string& bytes, CefRefPtr<CefListValue>* value) {
  cefengine::Reader reader(bytes.data(), bytes.size());
  return reader.List(value) && reader.AtEnd();
}

template <>
bool Read(const std::string& bytes, CefRefPtr<CefDictionaryValue>* value) {
  cefengine::Reader reader(bytes.data(), bytes.size());
  return reader.Dictionary(value) && reader.AtEnd();
}

void Write(CefRefPtr<CefListValue> value, std::string* bytes) {
  cefengine::Writer(bytes).List(value);
}

void Write(CefRefPtr<CefDictionaryValue> value, std::string* bytes) {
  cefengine::Writer(bytes).Dictionary(value);
}

template <typename T>
void Check(const std::string& bytes) {
  CefRefPtr<T> value;
  if (!Read(bytes, &value)) {
    return;
  }
  FUZZ_CHECK(value);
  std::string written;
  Write(value, &written);
  CefRefPtr<T> again;
  FUZZ_CHECK(Read(written, &again));
  std::string rewritten;
  Write(again, &rewritten);
  FUZZ_CHECK(rewritten == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::string bytes = fuzz::AsString(data + 1, size - 1);
  if (data[0] & 1) {
    Check<CefDictionaryValue>(bytes);
  } else {
    Check<CefListValue>(bytes);
  }
  return 0;
}
