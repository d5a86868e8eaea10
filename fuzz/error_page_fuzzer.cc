// The error page's data URL: whatever the reload URL holds, the page's
// reloadUrl constant reads back as exactly that text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "client/error_page.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/script_literal.h"

namespace {

constexpr char kPrefix[] = "data:text/html;base64,";
constexpr char kConstant[] = "const reloadUrl = ";
constexpr char kPlaceholder[] = "\"{{RELOAD_URL}}\"";

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      FUZZ_CHECK(i + 2 < text.size());
      const int high = fuzz::HexValue(text[i + 1]);
      const int low = fuzz::HexValue(text[i + 2]);
      FUZZ_CHECK(high >= 0 && low >= 0);
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Base64Decode(const std::string& text) {
  static const std::string kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  FUZZ_CHECK(text.size() % 4 == 0);
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') {
      break;
    }
    const size_t value = kAlphabet.find(c);
    FUZZ_CHECK(value != std::string::npos);
    bits = bits << 6 | static_cast<uint32_t>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>(bits >> count & 0xff);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reloadUrl = fuzz::AsString(data, size);
  const std::string url = BuildErrorPageUrl(reloadUrl);
  FUZZ_CHECK(url.rfind(kPrefix, 0) == 0);
  const std::string page =
      Base64Decode(PercentDecode(url.substr(sizeof(kPrefix) - 1)));

  const std::string pageTemplate(ErrorPageTemplate);
  const size_t inTemplate = pageTemplate.find(kPlaceholder);
  FUZZ_CHECK(inTemplate != std::string::npos);
  const std::string suffix =
      pageTemplate.substr(inTemplate + sizeof(kPlaceholder) - 1);

  size_t at = page.find(kConstant);
  FUZZ_CHECK(at != std::string::npos);
  at += sizeof(kConstant) - 1;
  const size_t literalStart = at;
  std::string value;
  FUZZ_CHECK(fuzz::ReadScriptLiteral(page, &at, &value));
  FUZZ_CHECK(value == reloadUrl);
  // Nothing of the URL reaches past its literal, and nothing in it can end
  // the script element or put a raw NUL into the script.
  const std::string literal = page.substr(literalStart, at - literalStart);
  FUZZ_CHECK(literal.find_first_of(std::string("<\0", 2)) == std::string::npos);
  FUZZ_CHECK(page.compare(at, std::string::npos, suffix) == 0);
  return 0;
}
