// The development engine's JSON reader and writer: what the reader accepts,
// the writer writes as text that reads back to the same text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "include/cef_parser.h"

namespace {

void CheckRoundTrip(CefRefPtr<CefValue> value) {
  const std::string text = CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString();
  FUZZ_CHECK(!text.empty());
  CefRefPtr<CefValue> again =
      CefParseJSON(text.data(), text.size(), JSON_PARSER_RFC);
  FUZZ_CHECK(again);
  FUZZ_CHECK(again->GetType() == value->GetType());
  FUZZ_CHECK(CefWriteJSON(again, JSON_WRITER_DEFAULT).ToString() == text);
  // Pretty printing is the same value.
  const std::string pretty =
      CefWriteJSON(value, JSON_WRITER_PRETTY_PRINT).ToString();
  CefRefPtr<CefValue> fromPretty =
      CefParseJSON(pretty.data(), pretty.size(), JSON_PARSER_RFC);
  FUZZ_CHECK(fromPretty);
  FUZZ_CHECK(CefWriteJSON(fromPretty, JSON_WRITER_DEFAULT).ToString() == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CefRefPtr<CefValue> strict = CefParseJSON(data, size, JSON_PARSER_RFC);
  CefRefPtr<CefValue> lenient =
      CefParseJSON(data, size, JSON_PARSER_ALLOW_TRAILING_COMMAS);
  // Trailing commas only widen what is accepted.
  FUZZ_CHECK(!strict || lenient);
  if (strict) {
    CheckRoundTrip(strict);
  }
  if (lenient) {
    CheckRoundTrip(lenient);
  }

  CefString error;
  CefRefPtr<CefValue> withError = CefParseJSONAndReturnError(
      CefString(std::string(reinterpret_cast<const char*>(data), size)),
      JSON_PARSER_RFC, error);
  if (!withError) {
    FUZZ_CHECK(!error.empty());
  }
  return 0;
}
