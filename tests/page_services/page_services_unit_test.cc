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
#include "include/cef_parser.h"

namespace {

// An unset or empty HOME must not propose "/Downloads/": the password
// database's home takes its place.
TEST(DownloadsTest, ProposalFallsBackToThePasswordHome) {
  EXPECT_EQ(ProposeDownloadPath("/home/ann", "/pw", "report.pdf"),
            "/home/ann/Downloads/report.pdf");
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

// A percent-encoded payload once decoded one character per byte, so a
// non-ASCII path named a different file; it must name the same file as
// the plain payload, and bytes that are no UTF-8 must not name any.
TEST(FileDragTest, DragLinksNameTheFilesThePageNamed) {
  const std::string plain =
      "korvel://drag?paths=[\"/tmp/a b.txt\",\"/tmp/\xc3\xa9t\xc3\xa9/c\"]";
  const std::vector<std::string> expected = {"/tmp/a b.txt",
                                             "/tmp/\xc3\xa9t\xc3\xa9/c"};
  EXPECT_EQ(Paths(plain), expected);
  EXPECT_EQ(Paths("text before korvel://drag?paths="
                  "%5B%22/tmp/a%20b.txt%22,%22%2Ftmp%2F%C3%A9t%C3%A9/c%22%5D"),
            expected);
  // No UTF-8 (a stray byte, a cut sequence, the overlong form of "/"), no
  // list, or no drag link: no paths.
  for (const char* text :
       {"korvel://drag?paths=%5B%22/tmp/%FF%22%5D",
        "korvel://drag?paths=%5B%22/tmp/%C3%22%5D",
        "korvel://drag?paths=%5B%22%C0%AF%22%5D",
        "korvel://drag?paths={\"a\":1}", "korvel://drag?paths=not json",
        "https://example.com/?paths=[\"/a\"]"}) {
    EXPECT_EQ(Paths(text), std::vector<std::string>{"<none>"}) << text;
  }
  // Empty strings and other kinds are left out; an escape that is not one
  // stays as it is.
  for (const char* text : {"korvel://drag?paths=[\"\",7,null,\"/x/100%\"]",
                           "korvel://drag?paths=%5B%22/x/100%%22%5D"}) {
    EXPECT_EQ(Paths(text), std::vector<std::string>{"/x/100%"}) << text;
  }

  EXPECT_EQ(DraggedFileName("C:\\dir\\x.doc"), "x.doc");
  EXPECT_EQ(DraggedFileName("/tmp/dir/"), "file");
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

// Dropped paths reach the page as data whatever they hold.
TEST(FileDragTest, DroppedFilesAreAJsonArrayOfThePaths) {
  const std::vector<std::string> paths = {"/a'b\"c\\d\ne</script>",
                                          "/\xc3\xbc"};
  const std::string json = DroppedFilesJson(paths);
  CefRefPtr<CefValue> value = CefParseJSON(json, JSON_PARSER_RFC);
  ASSERT_TRUE(value && value->GetType() == VTYPE_LIST) << json;
  ASSERT_EQ(value->GetList()->GetSize(), 2u);
  EXPECT_EQ(value->GetList()->GetString(0).ToString(), paths[0]);
  EXPECT_EQ(value->GetList()->GetString(1).ToString(), paths[1]);
  EXPECT_EQ(DroppedFilesJson({}), "[]");
}

// A path put into a file URI as it stands loses the file: a space, '#' or
// '%' cuts it short or names another, a quote or line break splits the
// list. Every such byte, and each UTF-8 byte of a letter beyond ASCII, must
// arrive percent-encoded; a relative path (it would name a host) and a
// string with NUL (no file has one) are not dragged at all.
TEST(NativeDragTest, DraggedFilesAreListedAsEscapedFileUris) {
  const std::vector<std::string> paths = DraggableFiles(
      "[\"/tmp/a b#1%.txt\", \"rel/x\", \"\", 3, \"/n\\u0000ul\",\n"
      " \"/d/\\u00e9t\\u00e9 'q' \\\"w\\\"\\n\\r~_-.+&\"]");
  ASSERT_EQ(paths, (std::vector<std::string>{
                       "/tmp/a b#1%.txt",
                       "/d/\xc3\xa9t\xc3\xa9 'q' \"w\"\n\r~_-.+&"}));
  EXPECT_EQ(FileUriList(paths),
            "file:///tmp/a%20b%231%25.txt\r\n"
            "file:///d/%C3%A9t%C3%A9%20%27q%27%20%22w%22%0A%0D~_-.%2B%26\r\n");
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
