// Downloads, file dialogs and developer tools of the development engine,
// driven through services_test_app under Xvfb and openbox.

#include <unistd.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "tests/engine_browser/browser_harness.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

// The attachment: 400 KB in 8 KB pieces, 60 ms apart, with a
// Content-Length: about 3 s, slow enough for several progress reports
// (Chromium sends one at most every half second).
constexpr size_t kFileSize = 400 * 1024;
constexpr size_t kChunk = 8 * 1024;

bool IsDownloadEnd(const json& event) {
  const json& item = event["item"];
  return item.value("complete", false) || item.value("canceled", false) ||
         item.value("interrupted", false);
}

// The shell's way: a navigation to an attachment becomes a download, the
// handler continues with a proposed path and the save dialog, and the file
// lands whole where the user typed, not at the proposal; progress comes in
// steps on the way, never backwards, always for the same item. (The
// proposal taken as it is, a cancelled dialog and the item's fields as the
// page sees them:
// PageServicesTest.DownloadsReportToThePageAndLandWhereTheDialogSaid.)
TEST(EngineServicesTest, DownloadLandsWhereTheSaveDialogSaid) {
  TempDir downloads;
  TempDir elsewhere;
  std::string content(kFileSize, '\0');
  for (size_t i = 0; i < kFileSize; ++i) {
    content[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
  }
  PageServer server;
  server.Page("/page", "<title>page</title>downloads");
  server.Download("/file", content, "file.bin", kChunk, milliseconds(60));
  BrowserApp app;
  ASSERT_TRUE(app.started());
  app.Policy({{"download_dir", downloads.path()}});
  ASSERT_GT(app.Create(server.Url("/page")), 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  app.Mark();
  app.Command({{"cmd", "js"},
               {"code", "location.href = '" + server.Url("/file") + "';"}});
  EXPECT_EQ(app.WaitForEvent("can_download")["url"], server.Url("/file"));
  const json before = app.WaitForEvent("before_download");
  ASSERT_FALSE(before.is_null());
  EXPECT_EQ(before["suggested_name"], "file.bin");
  const std::string dialog = FindWindowByTitle("Save");
  ASSERT_FALSE(dialog.empty());
  TypeInto(dialog, "xdotool key ctrl+a type --delay 10 '" + elsewhere.path() +
                       "/chosen.bin'; xdotool key Return");
  const json end =
      app.WaitForEvent("download_updated", IsDownloadEnd, milliseconds(30000));
  ASSERT_FALSE(end.is_null());
  EXPECT_TRUE(end["item"]["complete"]);
  EXPECT_EQ(end["item"]["received"], kFileSize);
  EXPECT_EQ(end["item"]["total"], kFileSize);
  EXPECT_EQ(end["item"]["path"], elsewhere.path() + "/chosen.bin");
  EXPECT_EQ(ReadFile(elsewhere.path() + "/chosen.bin"), content);
  EXPECT_NE(access((downloads.path() + "/file.bin").c_str(), F_OK), 0);

  const std::vector<json> updates = app.Events("download_updated");
  int partial = 0;
  int64_t last = 0;
  for (const json& update : updates) {
    EXPECT_EQ(update["item"]["id"], before["item"]["id"]);
    // An unknown size is 0, as in the production engine, never negative.
    EXPECT_GE(update["item"]["total"].get<int64_t>(), 0);
    const int64_t received = update["item"]["received"];
    EXPECT_GE(received, last);
    last = received;
    if (received > 0 && received < static_cast<int64_t>(kFileSize)) {
      ++partial;
    }
  }
  EXPECT_GE(partial, 3) << "too few progress reports";
  EXPECT_EQ(std::count_if(updates.begin(), updates.end(), IsDownloadEnd), 1);
}

// Only one file dialog per browser: a second request is dismissed at once
// and the first dialog still answers, on the UI thread. (Every mode, the
// filters and the chosen paths:
// PageServicesTest.FileDialogsHandThePageExactlyTheChosenPaths.)
TEST(EngineServicesTest, FileDialogRefusesASecondOneWhileOpen) {
  BrowserApp app;
  ASSERT_TRUE(app.started());
  ASSERT_GT(app.Create("data:text/html,<title>dialogs</title>"), 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  app.Mark();
  app.Command({{"cmd", "file_dialog"}, {"tag", 1}, {"title", "First"}});
  const std::string dialog = FindWindowByTitle("First");
  ASSERT_FALSE(dialog.empty());
  app.Command({{"cmd", "file_dialog"}, {"tag", 2}, {"title", "Second"}});
  const json refused = app.WaitForEvent(
      "file_dialog_dismissed", [](const json& e) { return e["tag"] == 2; });
  ASSERT_FALSE(refused.is_null());
  EXPECT_TRUE(refused["paths"].empty());
  EXPECT_TRUE(Shell("xdotool search --name '^Second$'").empty());

  TypeInto(dialog, "xdotool key Escape");
  const json first = app.WaitForEvent(
      "file_dialog_dismissed", [](const json& e) { return e["tag"] == 1; });
  ASSERT_FALSE(first.is_null());
  EXPECT_TRUE(first["ui_thread"]);
}

// The tools open once, as a browser of their own that the application
// places, however often they are asked for. (Their window as the shell
// places it: BridgeTest.PageDrivesTheWindowAndItsQueriesAnswer.)
TEST(EngineServicesTest, DevToolsOpenOnce) {
  BrowserApp app;
  ASSERT_TRUE(app.started());
  const int browser =
      app.Create("data:text/html,<title>inspected</title><p>page</p>");
  ASSERT_GT(browser, 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  app.Mark();
  app.Command({{"cmd", "show_devtools"}});
  const json placed = app.WaitForEvent("popup_view_created");
  ASSERT_FALSE(placed.is_null());
  EXPECT_TRUE(placed["is_devtools"]);
  EXPECT_EQ(placed["browser"], browser);

  app.Mark();
  app.Command({{"cmd", "show_devtools"}});
  app.Drain(milliseconds(1000));
  EXPECT_TRUE(app.Events("popup_view_created").empty());
}

}  // namespace
}  // namespace engine_test
