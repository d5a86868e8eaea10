#include <string>

#include "gtest/gtest.h"
#include "include/internal/cef_string.h"

namespace {

// U+1F600 needs a surrogate pair in UTF-16 and four bytes in UTF-8; a
// conversion that handles code units one by one breaks it.
TEST(CefStringTest, ConvertsBetweenEncodingsIncludingSurrogatePairs) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // aé€😀z
  const CefString str(utf8);
  EXPECT_EQ(str.ToString16(), u"a\u00E9\u20AC\U0001F600z");
  EXPECT_EQ(str.length(), 6u);  // the emoji takes two code units
  EXPECT_EQ(str.ToString(), utf8);
  EXPECT_EQ(str.ToWString(), L"a\u00E9\u20AC\U0001F600z");
  EXPECT_EQ(CefString(std::wstring(L"\U0001F600")).ToString(),
            "\xF0\x9F\x98\x80");
  EXPECT_EQ(CefString(u"\U0001F600").ToString(), "\xF0\x9F\x98\x80");
}

// Malformed input must not be dropped silently or crash; each bad
// sequence turns into U+FFFD and the C function reports the problem.
TEST(CefStringTest, InvalidInputBecomesReplacementCharacters) {
  EXPECT_EQ(CefString(std::string("a\xFF"
                                  "b"))
                .ToString16(),
            u"a\uFFFDb");
  // A truncated three-byte sequence is one replacement, not two.
  EXPECT_EQ(CefString(std::string("\xE2\x82"
                                  "x"))
                .ToString16(),
            u"\uFFFDx");
  // Overlong encodings and encoded surrogates are refused.
  EXPECT_EQ(CefString(std::string("\xC0\xAF")).ToString16(), u"\uFFFD\uFFFD");
  EXPECT_EQ(CefString(std::string("\xED\xA0\x80")).ToString16(),
            u"\uFFFD\uFFFD\uFFFD");
  // A lone surrogate in UTF-16 cannot be written as UTF-8.
  const char16_t lone[] = {u'x', 0xD800, u'y'};
  EXPECT_EQ(CefString(lone, 3, true).ToString(), "x\xEF\xBF\xBDy");

  cef_string_utf16_t out = {};
  EXPECT_EQ(cef_string_utf8_to_utf16("ok", 2, &out), 1);
  EXPECT_EQ(cef_string_utf8_to_utf16("\xFF", 1, &out), 0);
  EXPECT_EQ(out.length, 1u);
  EXPECT_EQ(out.str[0], 0xFFFD);
  cef_string_utf16_clear(&out);
  EXPECT_EQ(out.str, nullptr);
  EXPECT_EQ(cef_string_ascii_to_utf16("\xC3\xA9", 2, &out), 0);
}

TEST(CefStringTest, CopiesOwnTheirDataAndReferencesDoNot) {
  CefString original("value");
  CefString copy(original);
  original = "changed";
  EXPECT_EQ(copy.ToString(), "value");
  EXPECT_TRUE(copy.IsOwner());

  const char16_t data[] = u"shared";
  CefString reference(data, 6, /*copy=*/false);
  EXPECT_EQ(reference.c_str(), data);
  CefString owned(data, 6, /*copy=*/true);
  EXPECT_NE(owned.c_str(), data);
  EXPECT_EQ(owned, reference);

  // Assigning a string to itself keeps its contents.
  CefString& alias = copy;
  copy = alias;
  EXPECT_EQ(copy.ToString(), "value");
  // Setting from one's own buffer (a self copy) must not read freed memory.
  cef_string_t s = {};
  cef_string_utf16_set(u"abc", 3, &s, true);
  cef_string_utf16_set(s.str, s.length, &s, true);
  EXPECT_EQ(std::u16string(s.str, s.length), u"abc");
  cef_string_utf16_clear(&s);
}

}  // namespace
