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

// Each page gets a bridge token of its own.
TEST(BridgeScriptTest, TokensDiffer) {
  EXPECT_NE(NewBridgeToken(), NewBridgeToken());
  EXPECT_EQ(32u, NewBridgeToken().size());
}

CefRefPtr<CefV8Value> Tagged(const std::string& json) {
  return CefV8ValueImpl::FromTagged(
      CefParseJSON(json, JSON_PARSER_RFC)->GetDictionary());
}

// Integers read as the production engine reads them: either kind as the
// other, by two's complement (the page's -1 and 3000000000 as arguments:
// engine_renderer_test); a fraction is no integer, and a getter of another
// type gives that type's empty value.
TEST(V8ValueTest, NumbersFollowTheScriptEngine) {
  EXPECT_EQ(4294967291u, CefV8Value::CreateInt(-5)->GetUIntValue());
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

// What the page's side cannot send: an int tag out of range stays a number,
// an unknown tag is undefined, an integral double tag stays a double. Going
// out, infinities and doubles keep their exact value. (The common values
// both ways: engine_renderer_test.)
TEST(V8ValueTest, TaggedValuesAtTheirLimits) {
  EXPECT_EQ(1e12, Tagged("{\"t\":\"i\",\"v\":1e12}")->GetDoubleValue());
  EXPECT_TRUE(Tagged("{\"t\":\"?\"}")->IsUndefined());
  EXPECT_FALSE(Tagged("{\"t\":\"d\",\"v\":2}")->IsInt());
  EXPECT_EQ("{\"t\":\"d\",\"x\":\"-Infinity\"}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateDouble(-INFINITY)));
  EXPECT_EQ("{\"t\":\"d\",\"v\":0.10000000000000001}",
            CefV8ValueImpl::ToTaggedJson(CefV8Value::CreateDouble(0.1)));
}

}  // namespace
}  // namespace cefengine
