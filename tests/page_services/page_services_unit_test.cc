// The pure decisions of the page services: download targets and items,
// drag links and dropped files, accept filters.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bridge/common/reply_scripts.h"
#include "client/downloads.h"
#include "client/file_dialog.h"
#include "client/file_drag.h"
#include "client/native_drag.h"

namespace {

// An unset or empty HOME must not propose "/Downloads/": the password
// database's home takes its place.
TEST(DownloadsTest, ProposalFallsBackToThePasswordHome) {
  EXPECT_EQ(ProposeDownloadPath(nullptr, "/pw", "report.pdf"),
            "/pw/Downloads/report.pdf");
  EXPECT_EQ(ProposeDownloadPath("", "/pw", "report.pdf"),
            "/pw/Downloads/report.pdf");
  // No home at all: the engine's own default folder, never the root's.
  EXPECT_EQ(ProposeDownloadPath(nullptr, "", "report.pdf"), "");
  EXPECT_EQ(ProposeDownloadPath("/home/ann", "/pw", ""),
            "/home/ann/Downloads/");
}

// Byte counts of 2 GiB and more once arrived cut to their low 32 bits
// (3 GiB as -1073741824); the page must see the true numbers, and smaller
// counts must stay integers.
TEST(DownloadsTest, ItemCountsAreExactBeyondTwoGiB) {
  DownloadReport report;
  report.name = "big.iso";
  report.id = 4000000000u;
  report.totalBytes = 3LL << 30;
  report.currentBytes = (2LL << 30) - 1;
  CefRefPtr<CefDictionaryValue> item = DownloadItemDictionary(report);
  EXPECT_EQ(item->GetType("currentBytes"), VTYPE_INT);
  EXPECT_EQ(item->GetInt("currentBytes"), 2147483647);
  EXPECT_EQ(item->GetType("totalBytes"), VTYPE_DOUBLE);
  EXPECT_EQ(item->GetType("id"), VTYPE_DOUBLE);
  EXPECT_EQ(item->GetType("code"), VTYPE_INT);
  // What the page's script receives.
  const std::string script = DownloadUpdatedScript(item);
  EXPECT_NE(script.find("\"totalBytes\":3221225472"), std::string::npos)
      << script;
  EXPECT_NE(script.find("\"currentBytes\":2147483647"), std::string::npos);
  EXPECT_NE(script.find("\"id\":4000000000"), std::string::npos);

  report.totalBytes = 2LL << 30;
  report.currentBytes = 24;
  item = DownloadItemDictionary(report);
  EXPECT_EQ(item->GetDouble("totalBytes"), 2147483648.0);
  EXPECT_EQ(item->GetType("currentBytes"), VTYPE_INT);
}

std::vector<std::string> Paths(const std::string& text) {
  std::vector<std::string> paths = {"unchanged"};
  if (!DragLinkPaths(text, paths)) {
    return {"<none>"};
  }
  return paths;
}

// Of a drag link's list only non-empty strings name files, and an escape
// that is not one stays as it is. (That bytes which are no UTF-8 name no
// file: fuzz/drag_link_fuzzer.cc.)
TEST(FileDragTest, DragLinksNameTheFilesThePageNamed) {
  for (const char* text : {"korvel://drag?paths=[\"\",7,null,\"/x/100%\"]",
                           "korvel://drag?paths=%5B%22/x/100%%22%5D"}) {
    EXPECT_EQ(Paths(text), std::vector<std::string>{"/x/100%"}) << text;
  }
}

TEST(FileDragTest, LinkConversionReplacesTheDragOrLeavesIt) {
  CefRefPtr<CefDragData> data = CefDragData::Create();
  data->SetFragmentText("some text");
  data->SetLinkURL("korvel://drag?paths=%5B%22/tmp/r%C3%A9sum%C3%A9.pdf%22%5D");
  // The link is taken wherever it stands, also behind other text.
  ASSERT_TRUE(ConvertDragLink(data));
  std::vector<CefString> paths;
  ASSERT_TRUE(data->GetFilePaths(paths));
  EXPECT_EQ(paths, std::vector<CefString>{"/tmp/r\xc3\xa9sum\xc3\xa9.pdf"});
  EXPECT_TRUE(data->IsFile());
  // Text left behind would be dropped as text beside the files.
  EXPECT_EQ(data->GetLinkURL(), "");
  EXPECT_EQ(data->GetFragmentText(), "");

  CefRefPtr<CefDragData> other = CefDragData::Create();
  other->SetLinkURL("korvel://drag?paths=[1,2");
  other->SetFragmentText("plain text");
  EXPECT_FALSE(ConvertDragLink(other));
  EXPECT_EQ(other->GetLinkURL(), "korvel://drag?paths=[1,2");
  EXPECT_EQ(other->GetFragmentText(), "plain text");
  EXPECT_FALSE(other->IsFile());
}

// A relative path (as a file URI it would name a host) and a string with
// NUL (no file has one) are not dragged at all.
TEST(NativeDragTest, OnlyAbsolutePathsAreDragged) {
  const std::vector<std::string> paths = DraggableFiles(
      "[\"/tmp/a b#1%.txt\", \"rel/x\", \"\", 3, \"/n\\u0000ul\",\n"
      " \"/d/\\u00e9t\\u00e9 'q' \\\"w\\\"\\n\\r~_-.+&\"]");
  ASSERT_EQ(paths, (std::vector<std::string>{
                       "/tmp/a b#1%.txt",
                       "/d/\xc3\xa9t\xc3\xa9 'q' \"w\"\n\r~_-.+&"}));
  EXPECT_TRUE(DraggableFiles("{\"a\": \"/x\"}").empty());
  EXPECT_TRUE(DraggableFiles("[\"/x\"").empty());
}

TEST(FileDialogTest, AcceptFiltersAreCutAtEveryComma) {
  using Filters = std::vector<CefString>;
  EXPECT_EQ(SplitAcceptFilters(""), Filters{""});
  EXPECT_EQ(SplitAcceptFilters("image/*, .txt,"),
            (Filters{"image/*", " .txt", ""}));
}

}  // namespace
