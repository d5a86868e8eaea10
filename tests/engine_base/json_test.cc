#include <string>

#include "gtest/gtest.h"
#include "include/cef_parser.h"

namespace {

CefRefPtr<CefValue> Parse(const std::string& json,
                          cef_json_parser_options_t options = JSON_PARSER_RFC) {
  return CefParseJSON(json, options);
}

std::string Write(CefRefPtr<CefValue> value,
                  cef_json_writer_options_t options = JSON_WRITER_DEFAULT) {
  return CefWriteJSON(value, options).ToString();
}

std::string RoundTrip(const std::string& json) {
  CefRefPtr<CefValue> value = Parse(json);
  return value ? Write(value) : "<error>";
}

// A double with an integral value must stay a double: the page sends 12.0
// and expects 12.0 back, not 12.
TEST(JsonTest, NumbersKeepTheirType) {
  CefRefPtr<CefValue> value = Parse("12.0");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->GetType(), VTYPE_DOUBLE);
  EXPECT_EQ(value->GetDouble(), 12.0);
  EXPECT_EQ(Write(value), "12.0");

  EXPECT_EQ(Parse("12")->GetType(), VTYPE_INT);
  EXPECT_EQ(Parse("-2147483648")->GetType(), VTYPE_INT);
  EXPECT_EQ(Parse("2147483647")->GetInt(), 2147483647);
  // One past the 32-bit range becomes a double.
  CefRefPtr<CefValue> big = Parse("2147483648");
  EXPECT_EQ(big->GetType(), VTYPE_DOUBLE);
  EXPECT_EQ(big->GetDouble(), 2147483648.0);
  EXPECT_EQ(Write(big), "2147483648.0");
  EXPECT_EQ(Parse("1e2")->GetType(), VTYPE_DOUBLE);
  EXPECT_EQ(Parse("-0")->GetType(), VTYPE_INT);
}

TEST(JsonTest, WritesShortestRoundTripDoubles) {
  EXPECT_EQ(RoundTrip("0.1"), "0.1");
  EXPECT_EQ(RoundTrip("1.5e300"), "1.5e+300");
  EXPECT_EQ(RoundTrip("1e21"), "1e+21");
  EXPECT_EQ(RoundTrip("1e20"), "100000000000000000000.0");
  EXPECT_EQ(RoundTrip("0.000001"), "0.000001");
  EXPECT_EQ(RoundTrip("1e-7"), "1e-7");
  EXPECT_EQ(RoundTrip("-2.5"), "-2.5");
  EXPECT_EQ(RoundTrip("123456.789"), "123456.789");
  EXPECT_EQ(RoundTrip("[0.30000000000000004]"), "[0.30000000000000004]");
}

TEST(JsonTest, StrictModeRefusesExtensions) {
  for (const char* bad :
       {"[1,2,]", "{\"a\":1,}", "// note\n{}", "{} /* c */", "['single']",
        "{a:1}", "01", "1.", ".5", "+1", "NaN", "1e400", "\"tab\there\"",
        "\"\\x41\"", "[1] [2]", "tru", "", "   "}) {
    EXPECT_FALSE(Parse(bad)) << bad;
  }

  // The one relaxation the engine offers.
  CefRefPtr<CefValue> list = Parse("[1,2,]", JSON_PARSER_ALLOW_TRAILING_COMMAS);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->GetList()->GetSize(), 2u);
  EXPECT_TRUE(Parse("{\"a\":1,}", JSON_PARSER_ALLOW_TRAILING_COMMAS));
  EXPECT_FALSE(Parse("[1,,]", JSON_PARSER_ALLOW_TRAILING_COMMAS));
  EXPECT_FALSE(Parse("[,]", JSON_PARSER_ALLOW_TRAILING_COMMAS));
}

TEST(JsonTest, NestingIsLimitedTo200Levels) {
  const std::string ok = std::string(200, '[') + std::string(200, ']');
  EXPECT_TRUE(Parse(ok));
  const std::string deep = std::string(201, '[') + std::string(201, ']');
  EXPECT_FALSE(Parse(deep));
  // Very deep input must fail cleanly rather than exhaust the stack.
  EXPECT_FALSE(Parse(std::string(100000, '[')));
}

TEST(JsonTest, StringsDecodeEscapesAndRequireUtf8) {
  CefRefPtr<CefValue> value =
      Parse("\"a\\\"b\\\\c\\/d\\n\\u00e9\\ud83d\\ude00\"");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->GetString().ToString16(), u"a\"b\\c/d\n\u00e9\U0001F600");
  // Lone surrogates in escapes are errors.
  EXPECT_FALSE(Parse("\"\\ud83d\""));
  EXPECT_FALSE(Parse("\"\\ude00\""));
  // Raw invalid UTF-8 in the buffer form is an error.
  const char bad[] = "\"\xFF\"";
  EXPECT_FALSE(CefParseJSON(bad, 3, JSON_PARSER_RFC));
  const char good[] = "\"\xC3\xA9\"";
  EXPECT_EQ(CefParseJSON(good, 4, JSON_PARSER_RFC)->GetString().ToString16(),
            u"\u00e9");
  // A byte order mark is skipped.
  EXPECT_TRUE(Parse("\xEF\xBB\xBF{}"));
}

TEST(JsonTest, DictionariesAreWrittenInKeyOrder) {
  CefRefPtr<CefValue> value =
      Parse("{\"b\":[true,null],\"a\":{\"z\":1,\"y\":\"s\"},\"b\":2}");
  ASSERT_TRUE(value);
  // The last of repeated keys wins.
  EXPECT_EQ(Write(value), "{\"a\":{\"y\":\"s\",\"z\":1},\"b\":2}");
}

}  // namespace
