// The allow-list parser and the navigation policy on arbitrary text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "client/url_policy.h"
#include "fuzz/fuzz_check.h"
#include "include/cef_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const AllowList kDefault = BuildAllowList(kDefaultAllowList);
  FuzzedDataProvider input(data, size);
  const std::string listText = input.ConsumeRandomLengthString(256);
  const std::string url = input.ConsumeRemainingBytesAsString();

  const AllowList list = BuildAllowList(listText);
  for (const std::string& entry : list) {
    FUZZ_CHECK(!entry.empty() && entry.front() != ' ' && entry.back() != ' ');
    FUZZ_CHECK(entry.find(',') == std::string::npos);
    for (char c : entry) {
      FUZZ_CHECK(!std::isupper(static_cast<unsigned char>(c)));
    }
  }

  for (const AllowList* hosts : {&kDefault, &list}) {
    const bool allowed = IsAllowedUrl(url, *hosts);
    // The engine loads a URL by its canonical form: the decision must not
    // depend on how the page wrote it.
    CefURLParts parts;
    if (CefParseURL(url, parts)) {
      const std::string spec = CefString(&parts.spec).ToString();
      FUZZ_CHECK(IsAllowedUrl(spec, *hosts) == allowed);
      FUZZ_CHECK(IsInternalUrl(spec) == IsInternalUrl(url));
    }
  }
  IsExternalOpenerUrl(url);
  return 0;
}
