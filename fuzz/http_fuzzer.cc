// The loopback client's response parser and its URL splitting.

#include <cstddef>
#include <cstdint>
#include <string>

#include "backend/http_client.h"
#include "fuzz/fuzz_check.h"

namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::AsString(data, size);

  HttpResponse response;
  if (ParseHttpResponse(text, response)) {
    FUZZ_CHECK(response.status > 0);
    // The body is what follows the first blank line, never more.
    FUZZ_CHECK(response.body.size() <= text.size());
    FUZZ_CHECK(text.compare(text.size() - response.body.size(),
                            response.body.size(), response.body) == 0);
  }

  // What a request is built from must not split its request line or its
  // Host header, whatever the URL held.
  std::string host, port, hostHeader, path;
  if (ParseHttpUrl(text, host, port, hostHeader, path)) {
    FUZZ_CHECK(!host.empty());
    FUZZ_CHECK(AllDigits(port));
    FUZZ_CHECK(!path.empty() && path[0] == '/');
    for (const std::string* part : {&host, &hostHeader, &path}) {
      FUZZ_CHECK(part->find_first_of(std::string(" \r\n\t\0", 5)) ==
                 std::string::npos);
    }
  }
  return 0;
}
