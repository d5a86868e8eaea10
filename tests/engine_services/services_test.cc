// Downloads, file dialogs and developer tools of the development engine,
// driven through services_test_app under Xvfb and openbox.

#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/engine_browser/browser_harness.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

// 400 KB in 8 KB pieces, 60 ms apart, with a Content-Length: about 3 s,
// slow enough for several progress reports (Chromium sends one at most every
// half second).
constexpr size_t kFileSize = 400 * 1024;
constexpr size_t kChunk = 8 * 1024;

const std::string& FileContent() {
  static const std::string content = [] {
    std::string text(kFileSize, '\0');
    for (size_t i = 0; i < kFileSize; ++i) {
      text[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
    }
    return text;
  }();
  return content;
}

// A page, and attachments at /file, /file2 ... /file4 that trickle out.
class DownloadServer : public PageServer {
 public:
  DownloadServer() {
    Page("/page", "<title>page</title>downloads");
    for (const std::string name : {"file", "file2", "file3", "file4"}) {
      Download("/" + name, FileContent(), name + ".bin", kChunk,
               std::chrono::milliseconds(60));
    }
  }
  const std::string& content() const { return FileContent(); }
};

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

bool IsDownloadEnd(const json& event) {
  const json& item = event["item"];
  return item.value("complete", false) || item.value("canceled", false) ||
         item.value("interrupted", false);
}

// A download reports its progress in steps and completes whole; a refusal
// (CanDownload false, a callback left unanswered) writes nothing, and a
// cancel through the item's callback stops it. (The item's fields as the
// page sees them: page_services_e2e_test.)
TEST(EngineServicesTest, DownloadReportsProgressCompletionAndRefusals) {
  TempDir downloads;
  DownloadServer server;
  BrowserApp app;
  ASSERT_TRUE(app.started());
  app.Policy({{"download_dir", downloads.path()}});
  const int browser = app.Create(server.Url("/page"));
  ASSERT_GT(browser, 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  // A navigation to an attachment becomes a download.
  app.Mark();
  app.Command({{"cmd", "js"},
               {"code", "location.href = '" + server.Url("/file") + "';"}});
  EXPECT_EQ(app.WaitForEvent("can_download")["url"], server.Url("/file"));
  const json before = app.WaitForEvent("before_download");
  ASSERT_FALSE(before.is_null());
  EXPECT_EQ(before["suggested_name"], "file.bin");
  const json end =
      app.WaitForEvent("download_updated", IsDownloadEnd, milliseconds(30000));
  ASSERT_FALSE(end.is_null());
  EXPECT_TRUE(end["item"]["complete"]);
  EXPECT_EQ(end["item"]["received"], kFileSize);
  EXPECT_EQ(end["item"]["total"], kFileSize);
  EXPECT_EQ(end["item"]["path"], downloads.path() + "/file.bin");
  EXPECT_EQ(ReadFile(downloads.path() + "/file.bin"), server.content());

  // Progress came in steps, never backwards, always for the same item.
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

  // CanDownload false: nothing else is asked and nothing is written.
  app.Policy({{"can_download", false}});
  app.Mark();
  app.Command({{"cmd", "start_download"}, {"url", server.Url("/file2")}});
  ASSERT_FALSE(app.WaitForEvent("can_download").is_null());
  app.Drain(milliseconds(1500));
  EXPECT_TRUE(app.Events("before_download").empty());
  EXPECT_TRUE(app.Events("download_updated").empty());
  EXPECT_FALSE(Exists(downloads.path() + "/file2.bin"));

  // A handler that lets the callback go unanswered cancels the download.
  app.Policy({{"can_download", true}, {"before_download", "drop"}});
  app.Mark();
  app.Command({{"cmd", "start_download"}, {"url", server.Url("/file3")}});
  ASSERT_FALSE(app.WaitForEvent("before_download").is_null());
  app.Drain(milliseconds(1500));
  EXPECT_TRUE(app.Events("download_updated").empty());
  EXPECT_FALSE(Exists(downloads.path() + "/file3.bin"));

  // Cancelled through the item callback halfway: the last report says so.
  app.Policy({{"before_download", "continue"}, {"cancel_at", 100000}});
  app.Mark();
  app.Command({{"cmd", "start_download"}, {"url", server.Url("/file4")}});
  const json cancelled =
      app.WaitForEvent("download_updated", IsDownloadEnd, milliseconds(30000));
  ASSERT_FALSE(cancelled.is_null());
  EXPECT_TRUE(cancelled["item"]["canceled"]);
  EXPECT_LT(cancelled["item"]["received"].get<int64_t>(),
            static_cast<int64_t>(kFileSize));
  EXPECT_FALSE(Exists(downloads.path() + "/file4.bin"));
}

// The shell's way: Continue with a proposed path and the save dialog; the
// file lands where the user typed, not at the proposal. (The proposal taken
// as it is and a cancelled dialog: page_services_e2e_test.)
TEST(EngineServicesTest, DownloadSaveDialogChoosesTheTarget) {
  TempDir downloads;
  TempDir elsewhere;
  DownloadServer server;
  BrowserApp app;
  ASSERT_TRUE(app.started());
  app.Policy({{"download_dir", downloads.path()}, {"show_dialog", true}});
  ASSERT_GT(app.Create(server.Url("/page")), 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  app.Mark();
  app.Command({{"cmd", "start_download"}, {"url", server.Url("/file")}});
  const std::string dialog = FindWindowByTitle("Save");
  ASSERT_FALSE(dialog.empty());
  TypeInto(dialog, "xdotool key ctrl+a type --delay 10 '" + elsewhere.path() +
                       "/chosen.bin'; xdotool key Return");
  const json end =
      app.WaitForEvent("download_updated", IsDownloadEnd, milliseconds(30000));
  ASSERT_FALSE(end.is_null());
  EXPECT_TRUE(end["item"]["complete"]);
  EXPECT_EQ(end["item"]["path"], elsewhere.path() + "/chosen.bin");
  EXPECT_EQ(ReadFile(elsewhere.path() + "/chosen.bin"), server.content());
  EXPECT_FALSE(Exists(downloads.path() + "/file.bin"));
}

// Only one file dialog per browser: a second request is dismissed at once
// and the first dialog still answers, on the UI thread. (Every mode, the
// filters and cancelling: page_services_e2e_test, through the shell.)
TEST(EngineServicesTest, FileDialogRefusesASecondOneWhileOpen) {
  TempDir files;
  for (const char* name : {"a.txt", "b.txt"}) {
    std::ofstream(files.path() + "/" + name) << name;
  }
  BrowserApp app;
  ASSERT_TRUE(app.started());
  ASSERT_GT(app.Create("data:text/html,<title>dialogs</title>"), 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  // Two files chosen by typing their names.
  app.Mark();
  app.Command({{"cmd", "file_dialog"},
               {"tag", 1},
               {"mode", 1},
               {"title", "Pick two"},
               {"path", files.path()},
               {"filters", {".txt", "Pictures|.png;.gif", "image/*", ""}}});
  const std::string dialog = FindWindowByTitle("Pick two");
  ASSERT_FALSE(dialog.empty());
  app.Command({{"cmd", "file_dialog"}, {"tag", 2}, {"title", "Second"}});
  const json refused = app.WaitForEvent(
      "file_dialog_dismissed", [](const json& e) { return e["tag"] == 2; });
  ASSERT_FALSE(refused.is_null());
  EXPECT_TRUE(refused["paths"].empty());
  EXPECT_TRUE(Shell("xdotool search --name '^Second$'").empty());

  TypeInto(dialog,
           "xdotool type --delay 10 '\"a.txt\" \"b.txt\"'; xdotool key Return");
  const json picked = app.WaitForEvent(
      "file_dialog_dismissed", [](const json& e) { return e["tag"] == 1; });
  ASSERT_FALSE(picked.is_null());
  EXPECT_TRUE(picked["ui_thread"]);
  std::vector<std::string> paths = picked["paths"];
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{files.path() + "/a.txt",
                                             files.path() + "/b.txt"}));
}

// The tools open once, as a browser of their own that the application
// places, however often they are asked for; closing them closes their
// window and leaves the inspected browser. (Their window as the shell
// places it: bridge_e2e_test.)
TEST(EngineServicesTest, DevToolsOpenOnceAndClose) {
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
  const int devtools = placed["popup"];
  ASSERT_GT(devtools, browser);
  EXPECT_TRUE(app.Command({{"cmd", "has_devtools"}})["result"]);
  const std::string xid = std::to_string(
      app.Command({{"cmd", "state"}, {"browser", devtools}})["window"]
          .get<uint64_t>());
  EXPECT_TRUE(WaitUntil([&] {
    return Shell("xwininfo -id " + xid).find("IsViewable") != std::string::npos;
  }));

  app.Mark();
  app.Command({{"cmd", "show_devtools"}});
  app.Drain(milliseconds(1000));
  EXPECT_TRUE(app.Events("popup_view_created").empty());

  app.Command({{"cmd", "close_devtools"}});
  ASSERT_FALSE(
      app.WaitForEvent("before_close",
                       [&](const json& e) { return e["browser"] == devtools; })
          .is_null());
  EXPECT_FALSE(app.Command({{"cmd", "has_devtools"}})["result"]);
  EXPECT_TRUE(WaitUntil([&] {
    return Shell("xwininfo -id " + xid + " 2>&1").empty() ||
           Shell("xwininfo -id " + xid).find("IsViewable") == std::string::npos;
  }));
  // Closing DevTools leaves the browser it inspected open.
  for (const json& closed : app.Events("before_close")) {
    EXPECT_NE(closed["browser"], browser);
  }
}

}  // namespace
}  // namespace engine_test
