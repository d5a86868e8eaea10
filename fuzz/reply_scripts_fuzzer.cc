// The reply scripts: every outside value enters them as a JSON literal that
// reads back as exactly that value (checked with a JSON reader of its own)
// and holds nothing that ends a line or a script element.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bridge/common/reply_scripts.h"
#include "fuzz/fuzz_check.h"

namespace {

// The text between |prefix| and |suffix| of |script|, which must have both.
std::string Between(const std::string& script,
                    const std::string& prefix,
                    const std::string& suffix) {
  FUZZ_CHECK(script.size() >= prefix.size() + suffix.size());
  FUZZ_CHECK(script.compare(0, prefix.size(), prefix) == 0);
  FUZZ_CHECK(script.compare(script.size() - suffix.size(), suffix.size(),
                            suffix) == 0);
  return script.substr(prefix.size(),
                       script.size() - prefix.size() - suffix.size());
}

// Parses a literal that must be valid JSON and safe inside a script element.
nlohmann::json ParseLiteral(const std::string& literal) {
  FUZZ_CHECK(!fuzz::HasRawLineTerminatorOrLess(literal));
  nlohmann::json value = nlohmann::json::parse(literal, nullptr, false);
  FUZZ_CHECK(!value.is_discarded());
  return value;
}

void CheckString(const nlohmann::json& value, const std::string& expected) {
  FUZZ_CHECK(value.is_string());
  // Text that is not UTF-8 cannot reach a page as itself; it must still
  // reach it as a string.
  if (fuzz::IsValidUtf8(expected)) {
    FUZZ_CHECK(value.get<std::string>() == expected);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  switch (input.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: {
      const std::string text = input.ConsumeRemainingBytesAsString();
      CheckString(ParseLiteral(ScriptString(text)), text);
      break;
    }
    case 1: {
      const std::string error = input.ConsumeRemainingBytesAsString();
      const std::string script = RestartReplyScript(false, error);
      CheckString(
          ParseLiteral(Between(
              script,
              "if(korvel.restartBackendResolve||korvel.restartBackendReject){"
              "if(korvel.restartBackendReject){korvel.restartBackendReject("
              "new Error(",
              "));}korvel.restartBackendResolve=null;"
              "korvel.restartBackendReject=null;}")),
          error);
      break;
    }
    case 2: {
      std::vector<std::string> paths;
      while (input.remaining_bytes() > 0) {
        paths.push_back(input.ConsumeRandomLengthString(256));
      }
      const nlohmann::json list = ParseLiteral(
          Between(SelectFileScript(paths), "korvel.selectFileCallback(", ")"));
      FUZZ_CHECK(list.is_array() && list.size() == paths.size());
      for (size_t i = 0; i < paths.size(); ++i) {
        CheckString(list[i], paths[i]);
      }
      break;
    }
    case 3: {
      const std::string text = input.ConsumeRemainingBytesAsString();
      const nlohmann::json list = ParseLiteral(
          Between(DragFilesScript(text), "korvel.dragFiles = ", ";"));
      FUZZ_CHECK(list.is_array());
      // An array of strings reaches the page as the same strings. (The
      // checking reader stops at a NUL byte as at the end of its input.)
      const nlohmann::json given = nlohmann::json::parse(text, nullptr, false);
      if (given.is_array() && text.find('\0') == std::string::npos) {
        bool strings = true;
        for (const nlohmann::json& item : given) {
          strings = strings && item.is_string();
        }
        if (strings) {
          FUZZ_CHECK(list == given);
        }
      }
      break;
    }
    case 4: {
      const std::string action = input.ConsumeRemainingBytesAsString();
      const nlohmann::json detail = ParseLiteral(Between(
          NativeMenuScript(action),
          "window.dispatchEvent(new CustomEvent('korvel:native-menu', { "
          "detail: ",
          " }));"));
      FUZZ_CHECK(detail.is_object() && detail.size() == 1);
      CheckString(detail["action"], action);
      break;
    }
  }
  return 0;
}
