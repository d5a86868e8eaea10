// The bridge's pure parts: script literals, page tokens and the getters of
// script values. (The rewriting of the extension's native declarations and
// the page script around it run in every bridge test.)

#include <gtest/gtest.h>

#include "common/bridge_script.h"
#include "include/cef_parser.h"
#include "renderer/v8_value_impl.h"

namespace cefengine {
namespace {

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

// The shell reads each argument with the getter of the type it expects,
// whatever the page passed: as in the production engine, a fraction is no
// integer, and a getter of another type gives that type's empty value. (The
// page's integers as either kind: RendererBridgeTest.)
TEST(V8ValueTest, GettersOfAnotherTypeGiveEmptyValues) {
  CefRefPtr<CefV8Value> fraction = CefV8Value::CreateDouble(1.5);
  EXPECT_FALSE(fraction->IsInt());
  EXPECT_EQ(0, fraction->GetIntValue());
  EXPECT_FALSE(fraction->GetBoolValue());
  EXPECT_EQ("", fraction->GetStringValue().ToString());
}

}  // namespace
}  // namespace cefengine
