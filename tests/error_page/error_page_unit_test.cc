#include <cctype>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "client/error_page.h"
#include "gtest/gtest.h"
#include "nlohmann/json.hpp"
#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/temp_dir.h"

extern const std::string_view EmbedTestAllBytes;
extern const std::string_view EmbedTestEmpty;

namespace {

using engine_test::TempDir;
using nlohmann::json;

// Decodes each built URL in a real script engine, independently of the
// builder's own encoders: strict Base64 under percent-encoding, then the
// page's reloadUrl line evaluated as the page's script would. Gives per URL
// {html, value (the constant)} or {error}.
constexpr char kDecoder[] = R"(
const prefix = "data:text/html;base64,";
const urls = JSON.parse(require("fs").readFileSync(process.argv[2], "utf8"));
process.stdout.write(JSON.stringify(urls.map((url) => {
  try {
    if (!url.startsWith(prefix)) throw "not a base64 data URL";
    const base64 = decodeURIComponent(url.slice(prefix.length));
    const bytes = Buffer.from(base64, "base64");
    if (bytes.toString("base64") !== base64) throw "malformed base64";
    const html = bytes.toString("utf8");
    const start = html.indexOf("const reloadUrl = ");
    if (start < 0) throw "no reloadUrl line";
    const line = html.slice(start, html.indexOf("\n", start));
    const value = new Function(line + "\nreturn reloadUrl;")();
    return {html, value};
  } catch (error) {
    return {error: String(error)};
  }
})));
)";

std::vector<json> DecodedPages(const std::vector<std::string>& reloadUrls) {
  json urls = json::array();
  for (const std::string& reloadUrl : reloadUrls) {
    urls.push_back(BuildErrorPageUrl(reloadUrl));
  }
  TempDir dir("korvel-error-page");
  const std::optional<std::string> out = engine_test::RunForOutput(
      {NODE_EXECUTABLE, dir.Write("decode.js", kDecoder),
       dir.Write("urls.json", urls.dump())},
      std::chrono::seconds(30));
  EXPECT_TRUE(out.has_value()) << "node failed";
  const json pages = json::parse(out.value_or("[]"), nullptr, false);
  EXPECT_EQ(pages.size(), reloadUrls.size());
  return pages.is_array() ? pages.get<std::vector<json>>()
                          : std::vector<json>();
}

// The script element as the HTML parser sees it: from its start tag to the
// first end tag, in any letter case.
std::string ScriptElement(std::string html) {
  const std::string original = html;
  for (char& c : html) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  const size_t start = html.find("<script>");
  if (start == std::string::npos) {
    return std::string();
  }
  const size_t end = html.find("</script", start);
  return original.substr(
      start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

// The embedded constant must be the resource file byte for byte (a stale or
// truncated embedding ships an outdated page), and embedding must keep every
// byte value, NUL and bytes above 0x7f included, and cope with an empty file.
TEST(ErrorPageDocument, EmbeddingKeepsEveryByte) {
  const std::string file =
      engine_test::ReadFile(KORVEL_ERROR_PAGE_TEMPLATE_FILE);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(std::string(ErrorPageTemplate), file);
  ASSERT_EQ(EmbedTestAllBytes.size(), 256u);
  for (size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(static_cast<unsigned char>(EmbedTestAllBytes[i]), i) << i;
  }
  EXPECT_TRUE(EmbedTestEmpty.empty());
}

// Each URL must come out of the page's script exactly as given, in a real
// script engine (whatever bytes it holds: fuzz/error_page_fuzzer.cc), and
// none may end the script element early (an unescaped "</script>" or
// "<!--<script>" would let the URL inject markup and break Reload). Placeholder
// text in a URL is inserted once, neither re-expanded nor looping; a
// placeholder left in the page would show verbatim. Base64's "+", "/" and "="
// must be percent-encoded in the URL.
TEST(ErrorPageDocument, ReloadUrlSurvivesScriptAndHtmlParsing) {
  const std::vector<std::string> cases = {
      "http://localhost:35580",
      "",
      "http://x/a\"b\\</SCRIPT ><script>alert(1)</script>",
      "http://x/<!--<script>",
      "http://x/\xe2\x80\xa8line\xe2\x80\xa9separators\r\n",
      std::string("http://x/nul\0byte", 17),
      "http://x/{{RELOAD_URL}}/{{CLIENT_VERSION}}/{{SYSTEM_ARCH}}",
  };
  const std::vector<json> pages = DecodedPages(cases);
  for (size_t i = 0; i < pages.size(); ++i) {
    SCOPED_TRACE(cases[i]);
    const std::string url = BuildErrorPageUrl(cases[i]);
    EXPECT_EQ(url.find_first_of("+/=", url.find(',')), std::string::npos);
    ASSERT_FALSE(pages[i].contains("error")) << pages[i]["error"];
    EXPECT_EQ(pages[i]["value"], cases[i]);
    const std::string html = pages[i]["html"];
    EXPECT_NE(html.find("Client v505 | Linux-x64"), std::string::npos);
    if (cases[i].find("{{") == std::string::npos) {
      EXPECT_EQ(html.find("{{"), std::string::npos);
    }
    EXPECT_NE(ScriptElement(html).find("window.addEventListener(\"load\""),
              std::string::npos)
        << "the script element ends before its last statement";
  }
}
