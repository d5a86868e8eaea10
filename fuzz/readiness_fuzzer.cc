// The readiness answer: the body of /ready as the backend sends it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "backend/readiness.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string body = fuzz::AsString(data, size);
  ReadyInfo info;
  info.versionName = "left alone";
  const bool valid = ParseReadyResponse(body, info);
  if (!valid) {
    // A refused answer leaves the caller's last answer as it was.
    FUZZ_CHECK(info.versionName == "left alone");
    return 0;
  }
  FUZZ_CHECK(!body.empty());
  // The message of a timed-out wait is built from whatever was read.
  const std::string message =
      ReadyTimeoutMessage(true, info, info.version ^ 1, "refused");
  FUZZ_CHECK(message.rfind("backend ready check timed out", 0) == 0);
  FUZZ_CHECK(AcceptsReadyResponse(200, info, info.version, info.versionName) ==
             info.ready);
  return 0;
}
