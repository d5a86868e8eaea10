// The scripts that carry the browser's answers into the page, checked on
// their exact text where the page relies on it, and run in a real script
// engine (Node) to show that any string arrives as exactly that string.

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bridge/common/bridge_messages.h"
#include "bridge/common/reply_scripts.h"
#include "bridge/renderer/local_answers.h"
#include "bridge/renderer/renderer_app.h"
#include "include/cef_command_line.h"
#include "include/cef_process_message.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

using nlohmann::json;

CefRefPtr<CefProcessMessage> Message(const std::string& name,
                                     CefRefPtr<CefValue> arg0 = nullptr,
                                     CefRefPtr<CefValue> arg1 = nullptr) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
  if (arg0) {
    message->GetArgumentList()->SetValue(0, arg0);
  }
  if (arg1) {
    message->GetArgumentList()->SetValue(1, arg1);
  }
  return message;
}

CefRefPtr<CefValue> Bool(bool b) {
  CefRefPtr<CefValue> v = CefValue::Create();
  v->SetBool(b);
  return v;
}

CefRefPtr<CefValue> Double(double d) {
  CefRefPtr<CefValue> v = CefValue::Create();
  v->SetDouble(d);
  return v;
}

CefRefPtr<CefValue> String(const std::string& s) {
  CefRefPtr<CefValue> v = CefValue::Create();
  v->SetString(s);
  return v;
}

// The query replies settle only their own slot and clear it; the zoom
// level travels with six significant digits.
TEST(ReplyScriptsTest, QueryRepliesSettleTheirSlot) {
  EXPECT_EQ(BuildReplyScript(Message("getZoomResponse", Double(0))),
            "if(korvel.zoomResolve){korvel.zoomResolve(0);"
            "korvel.zoomResolve=null}");
  EXPECT_EQ(BuildReplyScript(Message("getZoomResponse", Double(1234567))),
            "if(korvel.zoomResolve){korvel.zoomResolve(1.23457e+06);"
            "korvel.zoomResolve=null}");
  EXPECT_EQ(BuildReplyScript(Message("isAlwaysOnTopResponse", Bool(true))),
            "if(korvel.isAlwaysOnTopResolve){korvel.isAlwaysOnTopResolve("
            "true);korvel.isAlwaysOnTopResolve=null}");
  EXPECT_EQ(ScriptNumber(-0.000012345), "-1.2345e-05");
  EXPECT_EQ(ScriptNumber(1.0 / 0.0), "Infinity");
  // Names the renderer does not know run nothing.
  EXPECT_EQ(BuildReplyScript(Message("isZoomResponse", Bool(true))), "");
  EXPECT_EQ(BuildReplyScript(Message("getZoom", Double(1))), "");
}

TEST(ReplyScriptsTest, RestartReplyTouchesNothingWithoutAPendingRestart) {
  EXPECT_EQ(BuildReplyScript(
                Message("restartBackendResponse", Bool(true), String("x"))),
            "if(korvel.restartBackendResolve||korvel.restartBackendReject){"
            "if(korvel.restartBackendResolve){korvel.restartBackendResolve();}"
            "korvel.restartBackendResolve=null;"
            "korvel.restartBackendReject=null;}");
  EXPECT_EQ(BuildReplyScript(Message("onBeforeUnload", Bool(true))),
            "korvel.onBeforeUnload(true)");
}

// Text that is no JSON list of paths cannot reach the page as script.
TEST(ReplyScriptsTest, DragFilesAreRewrittenAsData) {
  EXPECT_EQ(DragFilesScript("[]"), "korvel.dragFiles = [];");
  EXPECT_EQ(DragFilesScript("[\"/a b\"]"), "korvel.dragFiles = [\"/a b\"];");
  EXPECT_EQ(DragFilesScript("[];alert(1)"), "korvel.dragFiles = [];");
  EXPECT_EQ(DragFilesScript("alert(1)"), "korvel.dragFiles = [];");
}

TEST(LocalAnswersTest, LaunchArgsRecordTheCommandLine) {
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  const char* argv[] = {"/opt/korvel/korvel", "--type=renderer", "first",
                        "--flag", "second"};
  line->InitFromArgv(5, argv);
  const json record = json::parse(LaunchArgsJson(line));
  EXPECT_EQ(record["commandLine"], line->GetCommandLineString().ToString());
  EXPECT_EQ(record["argv"], json::array({"first", "second"}));
  EXPECT_EQ(record["switches"], json({{"flag", ""}, {"type", "renderer"}}));
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
  const std::string script = dir.path() + "/scripts.js";
  std::ofstream(script, std::ios::binary) << program;
  FILE* node = popen(("node " + script).c_str(), "r");
  ASSERT_NE(node, nullptr);
  std::string output;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, node)) > 0;) {
    output.append(buffer, n);
  }
  ASSERT_EQ(pclose(node), 0) << output;

  const json seen = json::parse(output);
  ASSERT_EQ(seen.size(), texts.size() * 4);
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(seen[4 * i], texts[i]);
    EXPECT_EQ(seen[4 * i + 1], texts[i]);
    EXPECT_EQ(seen[4 * i + 2], json::array({texts[i], "/plain"}));
    EXPECT_EQ(seen[4 * i + 3], texts[i]);
  }
}

}  // namespace
