#include <string>

#include "gtest/gtest.h"
#include "include/cef_parser.h"

namespace {

std::string Decode(const std::string& text, int rules, bool utf8 = true) {
  return CefURIDecode(text, utf8, static_cast<cef_uri_unescape_rule_t>(rules))
      .ToString();
}

TEST(EncodingTest, Base64RoundTripsBinaryData) {
  const unsigned char bytes[] = {0x00, 0xFF, 0x10, 0x80, 0x7F};
  const CefString encoded = CefBase64Encode(bytes, sizeof(bytes));
  EXPECT_EQ(encoded.ToString(), "AP8QgH8=");
  CefRefPtr<CefBinaryValue> decoded = CefBase64Decode(encoded);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->GetSize(), sizeof(bytes));
  EXPECT_EQ(std::string(static_cast<const char*>(decoded->GetRawData()), 5),
            std::string(reinterpret_cast<const char*>(bytes), 5));

  EXPECT_EQ(CefBase64Encode("f", 1).ToString(), "Zg==");
  EXPECT_EQ(CefBase64Encode("fo", 2).ToString(), "Zm8=");
  EXPECT_EQ(CefBase64Encode("foo", 3).ToString(), "Zm9v");
  EXPECT_TRUE(CefBase64Encode("x", 0).empty());

  // Strict decoding: padding, length and alphabet are checked.
  for (const char* bad : {"Zg", "Zm9v!A==", "Z===", "Zg==Zg==", ""}) {
    EXPECT_FALSE(CefBase64Decode(bad)) << bad;
  }
  EXPECT_EQ(CefBase64Decode("Zm8=")->GetSize(), 2u);
}

TEST(EncodingTest, URIEncodeEscapesAllButUnreserved) {
  EXPECT_EQ(CefURIEncode("a b+c", false).ToString(), "a%20b%2Bc");
  EXPECT_EQ(CefURIEncode("a b+c", true).ToString(), "a+b%2Bc");
  EXPECT_EQ(CefURIEncode("-_.!~*'()", false).ToString(), "-_.!~*'()");
  EXPECT_EQ(CefURIEncode("/?#&=%\"<>", false).ToString(),
            "%2F%3F%23%26%3D%25%22%3C%3E");
  // Non-ASCII text is encoded as UTF-8 bytes.
  EXPECT_EQ(CefURIEncode(u"\u00e9\U0001F600", false).ToString(),
            "%C3%A9%F0%9F%98%80");
}

TEST(EncodingTest, URIDecodeFollowsTheRules) {
  EXPECT_EQ(Decode("i%20=%203%3b", UU_SPACES), "i = 3;");
  EXPECT_EQ(Decode("a%20b", UU_NORMAL), "a%20b");
  EXPECT_EQ(Decode("%41%2F%5C", UU_NORMAL), "A%2F%5C");
  EXPECT_EQ(Decode("%41%2F%5C", UU_PATH_SEPARATORS), "A/\\");
  EXPECT_EQ(Decode("%25%26%23%2B%3F", UU_NORMAL), "%25%26%23%2B%3F");
  EXPECT_EQ(
      Decode("%25%26%23%2B%3F", UU_URL_SPECIAL_CHARS_EXCEPT_PATH_SEPARATORS),
      "%&#+?");
  EXPECT_EQ(Decode("a+b", UU_NORMAL), "a+b");
  EXPECT_EQ(Decode("a+b", UU_REPLACE_PLUS_WITH_SPACE), "a b");
  // Control characters and invisible bidi overrides stay escaped.
  EXPECT_EQ(Decode("%0A%E2%80%AE", UU_NORMAL | UU_SPACES), "%0A%E2%80%AE");
  EXPECT_EQ(Decode("%C3%A9", UU_NORMAL), "\xC3\xA9");
  // Bytes that are not UTF-8 stay escaped.
  EXPECT_EQ(Decode("%FF%41", UU_NORMAL), "%FFA");
  EXPECT_EQ(Decode("%E2%82", UU_NORMAL), "%E2%82");
  EXPECT_EQ(Decode("%", UU_NORMAL), "%");
}

}  // namespace
