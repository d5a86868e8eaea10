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
  const json can = app.WaitForEvent("can_download");
  ASSERT_FALSE(can.is_null());
  EXPECT_EQ(can["url"], server.Url("/file"));
  EXPECT_EQ(can["method"], "GET");
  const json before = app.WaitForEvent("before_download");
  ASSERT_FALSE(before.is_null());
  EXPECT_EQ(before["suggested_name"], "file.bin");
  EXPECT_TRUE(before["item"]["valid"]);
  EXPECT_EQ(before["item"]["path"], "");
  const json end =
      app.WaitForEvent("download_updated", IsDownloadEnd, milliseconds(30000));
  ASSERT_FALSE(end.is_null());
  const json& item = end["item"];
  EXPECT_TRUE(item["complete"]);
  EXPECT_FALSE(item["in_progress"]);
  EXPECT_EQ(item["received"], kFileSize);
  EXPECT_EQ(item["total"], kFileSize);
  EXPECT_EQ(item["percent"], 100);
  EXPECT_EQ(item["reason"], 0);
  EXPECT_EQ(item["path"], downloads.path() + "/file.bin");
  EXPECT_EQ(item["url"], server.Url("/file"));
  EXPECT_EQ(item["name"], "file.bin");
  EXPECT_EQ(item["id"], before["item"]["id"]);
  EXPECT_EQ(ReadFile(downloads.path() + "/file.bin"), server.content());

  // Progress came in steps, never backwards, always for the same item.
  const std::vector<json> updates = app.Events("download_updated");
  int partial = 0;
  int64_t last = 0;
  for (const json& update : updates) {
    EXPECT_TRUE(update["item"]["valid"]);
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

// The shell's way: Continue with a proposed path and the save dialog.
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

  // Cancelling the save dialog cancels the download.
  app.Mark();
  app.Command({{"cmd", "start_download"}, {"url", server.Url("/file2")}});
  const std::string second = FindWindowByTitle("Save");
  ASSERT_FALSE(second.empty());
  TypeInto(second, "xdotool key Escape");
  // Reported as the production engine does: one update, cancelled.
  const json dismissed = app.WaitForEvent("download_updated", IsDownloadEnd);
  ASSERT_FALSE(dismissed.is_null());
  EXPECT_TRUE(dismissed["item"]["canceled"]);
  EXPECT_EQ(dismissed["item"]["path"], "");
  app.Drain(milliseconds(1500));
  EXPECT_FALSE(Exists(downloads.path() + "/file2.bin"));
  EXPECT_EQ(app.Events("download_updated").size(), 1u);
}

TEST(EngineServicesTest, FileDialogOpensManyCancelsSavesAndPicksFolders) {
  TempDir files;
  for (const char* name : {"a.txt", "b.txt", "c.png"}) {
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
  // Only one dialog per browser: a second request is dismissed at once.
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

  // Escape cancels: an empty list.
  app.Mark();
  app.Command({{"cmd", "file_dialog"},
               {"tag", 3},
               {"mode", 0},
               {"title", "Cancel me"},
               {"path", files.path() + "/a.txt"}});
  const std::string cancel = FindWindowByTitle("Cancel me");
  ASSERT_FALSE(cancel.empty());
  TypeInto(cancel, "xdotool key Escape");
  const json cancelled = app.WaitForEvent("file_dialog_dismissed");
  ASSERT_FALSE(cancelled.is_null());
  EXPECT_EQ(cancelled["tag"], 3);
  EXPECT_TRUE(cancelled["paths"].empty());

  // Save returns the typed path, which need not exist.
  app.Mark();
  app.Command({{"cmd", "file_dialog"},
               {"tag", 4},
               {"mode", 3},
               {"title", "Save it"},
               {"path", files.path() + "/proposed.txt"}});
  const std::string save = FindWindowByTitle("Save it");
  ASSERT_FALSE(save.empty());
  TypeInto(save,
           "xdotool key ctrl+a type --delay 10 'typed.txt'; xdotool key "
           "Return");
  const json saved = app.WaitForEvent("file_dialog_dismissed");
  ASSERT_FALSE(saved.is_null());
  EXPECT_EQ(saved["paths"], json::array({files.path() + "/typed.txt"}));

  // The proposed name alone, confirmed as it is.
  app.Mark();
  app.Command({{"cmd", "file_dialog"},
               {"tag", 5},
               {"mode", 3},
               {"path", files.path() + "/proposed.txt"}});
  const std::string plain = FindWindowByTitle("Save");
  ASSERT_FALSE(plain.empty());
  TypeInto(plain, "xdotool key Return");
  const json proposed = app.WaitForEvent("file_dialog_dismissed");
  ASSERT_FALSE(proposed.is_null());
  EXPECT_EQ(proposed["paths"], json::array({files.path() + "/proposed.txt"}));

  // A folder: only directories are offered, and the chosen one comes back.
  const std::string folder = files.path() + "/inner";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  app.Mark();
  app.Command({{"cmd", "file_dialog"},
               {"tag", 6},
               {"mode", 2},
               {"title", "Pick a folder"},
               {"path", files.path()}});
  const std::string pick = FindWindowByTitle("Pick a folder");
  ASSERT_FALSE(pick.empty());
  TypeInto(pick, "xdotool type --delay 10 'inner'; xdotool key Return");
  const json chosen = app.WaitForEvent("file_dialog_dismissed");
  ASSERT_FALSE(chosen.is_null());
  EXPECT_EQ(chosen["paths"], json::array({folder}));
}

TEST(EngineServicesTest, DevToolsOpenInTheirOwnWindowAndClose) {
  BrowserApp app;
  ASSERT_TRUE(app.started());
  const int browser =
      app.Create("data:text/html,<title>inspected</title><p>page</p>");
  ASSERT_GT(browser, 0);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  EXPECT_FALSE(app.Command({{"cmd", "has_devtools"}})["result"]);
  const uint64_t main_window = app.Command({{"cmd", "state"}})["window"];

  app.Mark();
  app.Command({{"cmd", "show_devtools"}});
  const json placed = app.WaitForEvent("popup_view_created");
  ASSERT_FALSE(placed.is_null());
  EXPECT_TRUE(placed["is_devtools"]);
  EXPECT_EQ(placed["browser"], browser);
  const int devtools = placed["popup"];
  ASSERT_GT(devtools, browser);
  const json created = app.WaitForEvent(
      "after_created", [&](const json& e) { return e["browser"] == devtools; });
  ASSERT_FALSE(created.is_null());
  EXPECT_EQ(created["opener"], browser);
  const json loaded = app.WaitForEvent(
      "load_end",
      [&](const json& e) {
        return e["browser"] == devtools && e["main"] == true;
      },
      milliseconds(20000));
  ASSERT_FALSE(loaded.is_null());
  EXPECT_EQ(loaded["url"].get<std::string>().rfind("devtools://", 0), 0u)
      << loaded;
  EXPECT_TRUE(app.Command({{"cmd", "has_devtools"}})["result"]);

  // Its own top-level window, with the window manager's frame.
  const uint64_t devtools_window =
      app.Command({{"cmd", "state"}, {"browser", devtools}})["window"];
  ASSERT_NE(devtools_window, 0u);
  EXPECT_NE(devtools_window, main_window);
  const std::string xid = std::to_string(devtools_window);
  EXPECT_TRUE(WaitUntil([&] {
    return Shell("xwininfo -id " + xid).find("IsViewable") != std::string::npos;
  }));
  EXPECT_EQ(Shell("xprop -id " + xid + " _NET_FRAME_EXTENTS")
                .find("_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0"),
            std::string::npos);

  // Asking again shows the same tools, no second window.
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
  // The inspected browser stays.
  EXPECT_TRUE(app.Events("before_close",
                         [&](const json& e) { return e["browser"] == browser; })
                  .empty());
}

}  // namespace
}  // namespace engine_test
