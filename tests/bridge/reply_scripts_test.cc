// The scripts that carry the browser's answers into the page, checked on
// their text where the page relies on it, and run in a real script engine
// (Node) to show that any string arrives as exactly that string.

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bridge/common/reply_scripts.h"
#include "bridge/renderer/renderer_app.h"
#include "include/cef_process_message.h"
#include "tests/support/engine_harness/child_process.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

using nlohmann::json;

CefRefPtr<CefProcessMessage> Message(const std::string& name, double number) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
  message->GetArgumentList()->SetDouble(0, number);
  return message;
}

// A query reply settles only its own slot and clears it; numbers are
// script literals (six significant digits, never "inf"); names the renderer
// does not know run nothing. (Each query's routing: the end-to-end test.)
TEST(ReplyScriptsTest, QueryRepliesSettleTheirSlot) {
  EXPECT_EQ(BuildReplyScript(Message("getZoomResponse", 1234567)),
            "if(korvel.zoomResolve){korvel.zoomResolve(1.23457e+06);"
            "korvel.zoomResolve=null}");
  EXPECT_EQ(ScriptNumber(-0.000012345), "-1.2345e-05");
  EXPECT_EQ(ScriptNumber(1.0 / 0.0), "Infinity");
  EXPECT_EQ(BuildReplyScript(Message("isZoomResponse", 1)), "");
  EXPECT_EQ(BuildReplyScript(Message("getZoom", 1)), "");
}

// Text that is no JSON list of paths cannot reach the page as script.
TEST(ReplyScriptsTest, DragFilesAreRewrittenAsData) {
  EXPECT_EQ(DragFilesScript("[\"/a b\"]"), "korvel.dragFiles = [\"/a b\"];");
  EXPECT_EQ(DragFilesScript("[];alert(1)"), "korvel.dragFiles = [];");
  EXPECT_EQ(DragFilesScript("alert(1)"), "korvel.dragFiles = [];");
}

// A string of the pieces that break hand-made script literals, with plain
// and non-ASCII text between them.
std::string Hazardous(std::mt19937& random) {
  static const std::vector<std::string> pieces = {"'",
                                                  "\"",
                                                  "\\",
                                                  "\n",
                                                  "\r",
                                                  "\xe2\x80\xa8",
                                                  "\xe2\x80\xa9",
                                                  "</script>",
                                                  std::string(1, '\0'),
                                                  "\t",
                                                  "a",
                                                  " ",
                                                  "\xc3\xa9",
                                                  "\xf0\x9f\x98\x80",
                                                  "${x}",
                                                  "`",
                                                  "\\u0041"};
  std::string text;
  const int count = std::uniform_int_distribution<int>(0, 12)(random);
  for (int i = 0; i < count; ++i) {
    text += pieces[std::uniform_int_distribution<size_t>(
        0, pieces.size() - 1)(random)];
  }
  return text;
}

// Each script runs against a stand-in `korvel` and `window` in Node, which
// prints what the page's functions received.
TEST(ReplyScriptsTest, AnyStringReachesThePageExactly) {
  std::mt19937 random(20261207);
  std::vector<std::string> texts = {"", "</script><script>alert(1)</script>",
                                    "a\")+alert(1)+(\""};
  for (int i = 0; i < 200; ++i) {
    texts.push_back(Hazardous(random));
  }
  std::string program =
      "const seen = [];\n"
      "const korvel = {\n"
      "  restartBackendReject: (e) => seen.push(e.message),\n"
      "  selectFileCallback: (paths) => seen.push(paths),\n"
      "  onDownloadUpdated: (item) => seen.push(item.name),\n"
      "};\n"
      "const window = {dispatchEvent: (e) => seen.push(e.detail.action)};\n"
      "class CustomEvent { constructor(t, init) { this.detail = "
      "init.detail; } }\n";
  for (const std::string& text : texts) {
    CefRefPtr<CefDictionaryValue> item = CefDictionaryValue::Create();
    item->SetString("name", text);
    program += RestartReplyScript(false, text) + ";\n";
    program += "korvel.restartBackendReject = (e) => seen.push(e.message);\n";
    program += NativeMenuScript(text) + ";\n";
    program += SelectFileScript({text, "/plain"}) + ";\n";
    program += DownloadUpdatedScript(item) + ";\n";
  }
  program += "process.stdout.write(JSON.stringify(seen));\n";

  engine_test::TempDir dir("korvel-reply-scripts");
  const std::optional<std::string> output = engine_test::RunForOutput(
      {"/usr/bin/env", "node", dir.Write("scripts.js", program)},
      std::chrono::seconds(30));
  ASSERT_TRUE(output.has_value());

  const json seen = json::parse(*output);
  ASSERT_EQ(seen.size(), texts.size() * 4);
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(seen[4 * i], texts[i]);
    EXPECT_EQ(seen[4 * i + 1], texts[i]);
    EXPECT_EQ(seen[4 * i + 2], json::array({texts[i], "/plain"}));
    EXPECT_EQ(seen[4 * i + 3], texts[i]);
  }
}

}  // namespace
