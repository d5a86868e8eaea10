#include <chrono>
#include <string>
#include <string_view>

#include "client/error_page.h"
#include "gtest/gtest.h"
#include "tests/error_page/page_test_support.h"

extern const std::string_view EmbedTestAllBytes;
extern const std::string_view EmbedTestEmpty;

namespace {

std::string FilledPage(const std::string& reloadUrl) {
  const std::string url = BuildErrorPageUrl(reloadUrl);
  const std::optional<std::string> html = DecodeErrorPageUrl(url);
  EXPECT_TRUE(html.has_value()) << "not a percent-encoded base64 data URL";
  return html.value_or(std::string());
}

// Evaluates the page's reloadUrl definition in a real script engine and
// returns the constant's UTF-8 bytes in hex, or an error text.
std::string EvaluateReloadUrl(const std::string& html) {
  const std::string line = ReloadUrlLine(html);
  if (line.empty()) {
    return "<no reloadUrl line>";
  }
  TempDir dir;
  const std::string script =
      dir.Write("reload_url.js",
                line +
                    "\nprocess.stdout.write(Buffer.from(reloadUrl, 'utf8')"
                    ".toString('hex'));\n");
  const CommandResult result =
      RunCommand({NODE_EXECUTABLE, script}, {{"HOME", dir.path()}}, dir.path(),
                 std::chrono::seconds(30));
  if (!result.started || result.exitCode != 0) {
    return "<node failed: " + result.errors + ">";
  }
  return result.output;
}

// The script element as the HTML parser sees it: from its start tag to the
// first end tag, in any letter case.
std::string ScriptElement(const std::string& html) {
  std::string lower = html;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  const size_t start = lower.find("<script>");
  if (start == std::string::npos) {
    return std::string();
  }
  const size_t end = lower.find("</script", start);
  return html.substr(
      start, end == std::string::npos ? std::string::npos : end - start);
}

constexpr char kLastStatement[] = "window.addEventListener(\"load\"";

}  // namespace

// The page must be self-contained, fully filled and carry its fixed texts;
// a placeholder left behind would show up verbatim to the user.
TEST(ErrorPageDocument, FilledPageCarriesBuildLineAndNoPlaceholders) {
  const std::string url = BuildErrorPageUrl("http://localhost:35580");
  const std::string prefix = "data:text/html;base64,";
  ASSERT_EQ(url.compare(0, prefix.size(), prefix), 0) << url.substr(0, 40);
  // Base64's "+", "/" and "=" must be percent-encoded in the URL.
  EXPECT_EQ(url.find_first_of("+/=", prefix.size()), std::string::npos);

  const std::string html = FilledPage("http://localhost:35580");
  ASSERT_FALSE(html.empty());
  EXPECT_EQ(html[0], '\n');
  EXPECT_EQ(html.find("{{"), std::string::npos);
  EXPECT_EQ(html.find("}}"), std::string::npos);
  EXPECT_NE(html.find("Client v505 | Linux-x64"), std::string::npos);
  EXPECT_NE(html.find("<title>Korvel Error</title>"), std::string::npos);
  EXPECT_NE(html.find("The app could not be loaded due to a network error. "
                      "Please check\nyour internet connection and try again "
                      "later."),
            std::string::npos);
  EXPECT_NE(html.find("The local service is currently unavailable."),
            std::string::npos);
  EXPECT_NE(html.find("id=\"reload-btn\""), std::string::npos);
  EXPECT_EQ(ReloadUrlLine(html),
            "const reloadUrl = \"http://localhost:35580\";");
}

// The embedded constant must be the resource file byte for byte; a stale or
// truncated embedding would ship an outdated page.
TEST(ErrorPageDocument, EmbeddedTemplateEqualsResourceFile) {
  const std::string file = ReadFile(KORVEL_ERROR_PAGE_TEMPLATE_FILE);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(std::string(ErrorPageTemplate), file);
}

// Embedding must keep every byte value, including NUL and bytes above 0x7f,
// and must cope with an empty file.
TEST(ErrorPageDocument, EmbeddingKeepsEveryByte) {
  ASSERT_EQ(EmbedTestAllBytes.size(), 256u);
  for (size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(static_cast<unsigned char>(EmbedTestAllBytes[i]), i) << i;
  }
  EXPECT_TRUE(EmbedTestEmpty.empty());
}

// Each URL must come out of the page's script exactly as given, and none may
// end the script element early (an unescaped "</script>" or "<!--<script>"
// would let the URL inject markup and break Reload).
TEST(ErrorPageDocument, ReloadUrlSurvivesScriptAndHtmlParsing) {
  const std::string cases[] = {
      "http://localhost:35580/",
      "http://localhost:35580/a\"b",
      "http://localhost:35580/back\\slash\\",
      "http://localhost:35580/?q=1<2",
      "http://x/</script><script>alert(1)</script>",
      "http://x/</SCRIPT >",
      "http://x/<!--<script>",
      "http://x/\ttab\rcr\nlf\r\n",
      "http://x/\\x3C\\n",
      "http://localhost:35580/\xc3\xbcnic\xc3\xb6"
      "de/\xe6\x97\xa5\xe6\x9c\xac",
      "http://x/\xe2\x80\xa8line\xe2\x80\xa9separators",
      std::string("http://x/nul\0byte", 17),
  };
  for (const std::string& reloadUrl : cases) {
    SCOPED_TRACE(reloadUrl);
    const std::string html = FilledPage(reloadUrl);
    EXPECT_EQ(EvaluateReloadUrl(html), ToHex(reloadUrl));
    EXPECT_NE(ScriptElement(html).find(kLastStatement), std::string::npos)
        << "the script element ends before its last statement";
  }
}

// A URL that contains placeholder text must be inserted once and left alone:
// neither re-expanded nor looping forever.
TEST(ErrorPageDocument, PlaceholderTextInUrlIsNotReplacedAgain) {
  const std::string reloadUrl =
      "http://x/{{RELOAD_URL}}/{{CLIENT_VERSION}}/{{SYSTEM_ARCH}}";
  const std::string html = FilledPage(reloadUrl);
  EXPECT_EQ(EvaluateReloadUrl(html), ToHex(reloadUrl));
  EXPECT_NE(html.find("Client v505 | Linux-x64"), std::string::npos);
}

// An empty reload URL fills the constant with nothing; the caller picks the
// URL to pass.
TEST(ErrorPageDocument, EmptyReloadUrl) {
  const std::string html = FilledPage("");
  EXPECT_EQ(ReloadUrlLine(html), "const reloadUrl = \"\";");
  EXPECT_EQ(EvaluateReloadUrl(html), "");
}

// The escaping table, spelled out: the exact forms matter to other readers
// of the page (e.g. "\x3C" rather than a bare "<").
TEST(ErrorPageDocument, EscapeForScriptString) {
  EXPECT_EQ(EscapeForScriptString("a\tb\nc\rd\"e<f\\g"),
            "a\\tb\\nc\\rd\\\"e\\x3Cf\\\\g");
  EXPECT_EQ(EscapeForScriptString(std::string("\0", 1)), "\\x00");
  // Bytes that are not ASCII are copied, valid UTF-8 or not.
  EXPECT_EQ(EscapeForScriptString("\xc3\xbc\xff>'"), "\xc3\xbc\xff>'");
  EXPECT_EQ(EscapeForScriptString(""), "");
}
