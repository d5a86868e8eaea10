// The scripts that carry the browser's answers into the page, checked on
// their text where the page relies on it. (That any string arrives as
// exactly that string: fuzz/reply_scripts_fuzzer.cc.)

#include <string>

#include <gtest/gtest.h>

#include "bridge/common/reply_scripts.h"
#include "bridge/renderer/renderer_app.h"
#include "include/cef_process_message.h"

namespace {

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

}  // namespace
