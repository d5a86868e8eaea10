#include <string>

#include "gtest/gtest.h"
#include "include/internal/cef_string.h"
#include "include/internal/cef_string_list.h"
#include "include/internal/cef_string_map.h"

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

TEST(CefStringTest, ComparesAndSortsWithEmptyFirst) {
  const CefString empty;
  EXPECT_EQ(empty, CefString(""));
  EXPECT_LT(empty, CefString("a"));
  EXPECT_LT(CefString("a"), CefString("b"));
  EXPECT_LT(CefString("ab"), CefString("abc"));
  // Code point order, not signed-char order.
  cef_string_utf8_t a = {const_cast<char*>("\xC3\xA9"), 2, nullptr};
  cef_string_utf8_t b = {const_cast<char*>("z"), 1, nullptr};
  EXPECT_GT(cef_string_utf8_cmp(&a, &b), 0);
}

TEST(CefStringTest, UserFreeStringsMoveOwnership) {
  CefString str("handed over");
  cef_string_userfree_t userfree = str.DetachToUserFree();
  ASSERT_NE(userfree, nullptr);
  EXPECT_TRUE(str.empty());
  EXPECT_EQ(std::u16string(userfree->str, userfree->length), u"handed over");

  CefString back;
  back.AttachToUserFree(userfree);  // frees the userfree struct
  EXPECT_EQ(back.ToString(), "handed over");
  EXPECT_EQ(CefString().DetachToUserFree(), nullptr);
}

// Lists and maps keep copies: a caller that changes or frees its string
// afterwards must not change what was stored.
TEST(CefStringTest, ListAndMapCopyTheirValues) {
  cef_string_list_t list = cef_string_list_alloc();
  CefString value("first");
  cef_string_list_append(list, value.GetStruct());
  cef_string_map_t map = cef_string_map_alloc();
  cef_string_map_append(map, value.GetStruct(), value.GetStruct());
  value = "changed";
  cef_string_t out = {};
  ASSERT_EQ(cef_string_list_value(list, 0, &out), 1);
  EXPECT_EQ(CefString(&out).ToString(), "first");
  EXPECT_EQ(cef_string_list_value(list, 1, &out), 0);
  ASSERT_EQ(cef_string_map_find(map, CefString("first").GetStruct(), &out), 1);
  EXPECT_EQ(CefString(&out).ToString(), "first");
  cef_string_list_free(list);
  cef_string_map_free(map);
  cef_string_clear(&out);
}

}  // namespace
