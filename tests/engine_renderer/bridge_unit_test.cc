// The bridge's pure parts: rewriting of extension sources, script literals,
// frame identifiers and the number semantics of script values.

#include <cmath>

#include <gtest/gtest.h>

#include "common/bridge_script.h"
#include "include/cef_parser.h"
#include "renderer/v8_value_impl.h"

namespace cefengine {
namespace {

TEST(BridgeScriptTest, NativeDeclarationsBecomeBridgeCalls) {
  const std::string code =
      "a.f = function(x) { native function f(x, y);  return f(x); };\n"
      "a.g = function() {native\n function $g_1 ( ) ; return $g_1(); };";
  const std::string out = RewriteNativeDeclarations(code, 3, "CALL");
  EXPECT_EQ(
      "a.f = function(x) { function f() { return CALL(3, \"f\", arguments); }"
      "  return f(x); };\n"
      "a.g = function() {function $g_1() { return CALL(3, \"$g_1\", "
      "arguments); } return $g_1(); };",
      out);
  // Source without declarations is left alone.
  EXPECT_EQ(
      "var native = 1; function f() {}",
      RewriteNativeDeclarations("var native = 1; function f() {}", 0, "CALL"));
}

TEST(BridgeScriptTest, PageScriptHoldsTokenAndExtensionsInOrder) {
  const std::string script =
      BuildPageScript("tok123", {{"v8/one", "var one; native function a();"},
                                 {"v8/two", "var two; native function b();"}});
  EXPECT_NE(std::string::npos, script.find("const token = \"tok123\";"));
  const size_t one = script.find("CALL_ANY");
  EXPECT_EQ(std::string::npos, one);
  const size_t a = script.find("(0, \"a\", arguments)");
  const size_t b = script.find("(1, \"b\", arguments)");
  ASSERT_NE(std::string::npos, a);
  ASSERT_NE(std::string::npos, b);
  EXPECT_LT(a, b);
  EXPECT_EQ(std::string::npos, script.find("native function"));
}

// Guards against script injection through relayed code and reply texts.
TEST(BridgeScriptTest, JsonQuoteIsASafeScriptLiteral) {
  EXPECT_EQ("\"a\\\"b\\\\c\\n\\r\\t\\u0000\\u001f\"",
            JsonQuote(std::string("a\"b\\c\n\r\t\0\x1f", 10)));
  EXPECT_EQ("\"\\u2028\\u2029\\u003c/script>\"",
            JsonQuote("\xe2\x80\xa8\xe2\x80\xa9</script>"));
  // Whatever the text, a JSON parser gets it back unchanged.
  const std::string text = "x\xc3\xa9\xe2\x80\xa8<\"\\\x01";
  CefRefPtr<CefValue> parsed = CefParseJSON(JsonQuote(text), JSON_PARSER_RFC);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(text, parsed->GetString().ToString());
  const std::string relay = BuildRelayScript("t", "d", "alert(\"</script>\")");
  EXPECT_NE(std::string::npos,
            relay.find("c: \"alert(\\\"\\u003c/script>\\\")\""));
}

TEST(BridgeScriptTest, FrameIdentifiers) {
  EXPECT_EQ("7-0", MainFrameId(7));
  EXPECT_EQ("7-sabc", SubFrameId(7, "abc"));
  EXPECT_EQ("abc", DocumentIdOf("7-sabc"));
  EXPECT_EQ("", DocumentIdOf("7-0"));
  EXPECT_NE(NewBridgeToken(), NewBridgeToken());
  EXPECT_EQ(32u, NewBridgeToken().size());
}

CefRefPtr<CefV8Value> Tagged(const std::string& json) {
  return CefV8ValueImpl::FromTagged(
      CefParseJSON(json, JSON_PARSER_RFC)->GetDictionary());
}

// Integers read as the production engine reads them: either kind as the
// other, by two's complement; fractions are no integers at all.
TEST(V8ValueTest, NumbersFollowTheScriptEngine) {
  CefRefPtr<CefV8Value> negative = CefV8Value::CreateInt(-5);
  EXPECT_TRUE(negative->IsInt());
  EXPECT_TRUE(negative->IsUInt());
  EXPECT_TRUE(negative->IsDouble());
  EXPECT_EQ(4294967291u, negative->GetUIntValue());
  EXPECT_EQ(-5.0, negative->GetDoubleValue());

  CefRefPtr<CefV8Value> big = CefV8Value::CreateUInt(3000000000u);
  EXPECT_TRUE(big->IsInt());
  EXPECT_TRUE(big->IsUInt());
  EXPECT_EQ(-1294967296, big->GetIntValue());
  EXPECT_EQ(3000000000.0, big->GetDoubleValue());

  CefRefPtr<CefV8Value> small = CefV8Value::CreateUInt(7);
  EXPECT_TRUE(small->IsInt());
  EXPECT_EQ(7, small->GetIntValue());

  CefRefPtr<CefV8Value> fraction = CefV8Value::CreateDouble(1.5);
  EXPECT_FALSE(fraction->IsInt());
  EXPECT_EQ(0, fraction->GetIntValue());
  EXPECT_FALSE(fraction->GetBoolValue());
  EXPECT_EQ("", fraction->GetStringValue().ToString());

  EXPECT_TRUE(
      CefV8Value::CreateString("a")->IsSame(CefV8Value::CreateString("a")));
  EXPECT_TRUE(CefV8Value::CreateInt(2)->IsSame(CefV8Value::CreateInt(2)));
  EXPECT_FALSE(CefV8Value::CreateInt(2)->IsSame(CefV8Value::CreateDouble(2)));
  EXPECT_FALSE(CefV8Value::CreateNull()->IsSame(CefV8Value::CreateUndefined()));
}

TEST(V8ValueTest, TaggedValuesBothWays) {
  EXPECT_EQ(-3, Tagged("{\"t\":\"i\",\"v\":-3}")->GetIntValue());
  EXPECT_EQ(4000000000u,
            Tagged("{\"t\":\"j\",\"v\":4000000000}")->GetUIntValue());
  EXPECT_TRUE(
      std::isnan(Tagged("{\"t\":\"d\",\"x\":\"NaN\"}")->GetDoubleValue()));
  EXPECT_TRUE(
      std::signbit(Tagged("{\"t\":\"d\",\"x\":\"-0\"}")->GetDoubleValue()));
  EXPECT_EQ(2.0, Tagged("{\"t\":\"d\",\"v\":2}")->GetDoubleValue());
  EXPECT_FALSE(Tagged("{\"t\":\"d\",\"v\":2}")->IsInt());
  EXPECT_TRUE(Tagged("{\"t\":\"z\"}")->IsNull());
  EXPECT_TRUE(Tagged("{\"t\":\"a\"}")->IsArray());
  EXPECT_TRUE(Tagged("{\"t\":\"f\"}")->IsFunction());
  EXPECT_TRUE(Tagged("{\"t\":\"?\"}")->IsUndefined());
  // An int tag with an out-of-range number stays a number.
  EXPECT_EQ(1e12, Tagged("{\"t\":\"i\",\"v\":1e12}")->GetDoubleValue());

  EXPECT_EQ("{\"t\":\"u\"}", CefV8ValueImpl::ToTaggedJson(nullptr));
  EXPECT_EQ("{\"t\":\"i\",\"v\":-1}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateInt(-1)));
  EXPECT_EQ("{\"t\":\"j\",\"v\":3000000000}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateUInt(3000000000u)));
  EXPECT_EQ("{\"t\":\"d\",\"x\":\"-Infinity\"}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateDouble(-INFINITY)));
  EXPECT_EQ("{\"t\":\"d\",\"v\":0.10000000000000001}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateDouble(0.1)));
  EXPECT_EQ("{\"t\":\"s\",\"v\":\"a\\\"\"}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateString("a\"")));
}

}  // namespace
}  // namespace cefengine
