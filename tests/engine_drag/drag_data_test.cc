// CefDragData as clients rely on it, and the drag data the engine builds
// from what Qt hands it.

#include <QMimeData>
#include <QUrl>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browser/browser/drag_data_impl.h"
#include "browser/drag/draggable_regions.h"
#include "browser/drag/mime_drag_data.h"
#include "include/cef_drag_data.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace {

std::vector<std::string> Strings(const std::vector<CefString>& list) {
  std::vector<std::string> out;
  for (const CefString& s : list) {
    out.push_back(s.ToString());
  }
  return out;
}

// The file paths |data| holds, in order.
std::vector<std::string> Paths(CefRefPtr<CefDragData> data) {
  std::vector<CefString> paths;
  data->GetFilePaths(paths);
  return Strings(paths);
}

TEST(DragDataTest, KindFollowsContent) {
  CefRefPtr<CefDragData> data = CefDragData::Create();
  EXPECT_FALSE(data->IsReadOnly());
  // Empty data counts as a fragment, as in the production engine.
  EXPECT_TRUE(data->IsFragment());
  EXPECT_FALSE(data->IsLink());
  EXPECT_FALSE(data->IsFile());

  data->SetFragmentText("some text");
  data->SetLinkURL("korvel://drag?paths=[\"/a\"]");
  EXPECT_TRUE(data->IsLink());
  EXPECT_FALSE(data->IsFragment());

  data->SetLinkURL("");
  data->AddFile("/tmp/x/a.txt", "a.txt");
  EXPECT_TRUE(data->IsFile());
  EXPECT_FALSE(data->IsFragment());
  data->ClearFilenames();
  EXPECT_FALSE(data->IsFile());
  EXPECT_TRUE(data->IsFragment());
}

TEST(DragDataTest, FilesKeepOrderPathsAndNames) {
  CefRefPtr<CefDragData> data = CefDragData::Create();
  std::vector<CefString> list;
  // No files: false and the list untouched.
  EXPECT_FALSE(data->GetFilePaths(list));
  EXPECT_FALSE(data->GetFileNames(list));
  EXPECT_TRUE(list.empty());

  data->AddFile("/home/u/b.txt", "b.txt");
  data->AddFile("/home/u/a dir/a.txt", "a.txt");
  std::vector<CefString> names;
  ASSERT_TRUE(data->GetFileNames(names));
  EXPECT_EQ(Paths(data),
            (std::vector<std::string>{"/home/u/b.txt", "/home/u/a dir/a.txt"}));
  EXPECT_EQ(Strings(names), (std::vector<std::string>{"b.txt", "a.txt"}));
  EXPECT_EQ(data->GetFileName(), "");
}

TEST(DragDataTest, ReadOnlyDataIgnoresWritesAndItsCloneIsWritable) {
  CefRefPtr<cefengine::CefDragDataImpl> data = new cefengine::CefDragDataImpl();
  data->SetLinkURL("http://a.test/");
  data->SetFragmentText("text");
  data->AddFile("/f/one", "one");
  data->SetReadOnly();
  EXPECT_TRUE(data->IsReadOnly());

  data->SetLinkURL("http://b.test/");
  data->SetLinkTitle("t");
  data->SetLinkMetadata("m");
  data->SetFragmentText("other");
  data->SetFragmentHtml("h");
  data->SetFragmentBaseURL("http://c.test/");
  data->AddFile("/f/two", "two");
  data->ClearFilenames();
  data->ResetFileContents();
  EXPECT_EQ(data->GetLinkURL(), "http://a.test/");
  EXPECT_EQ(data->GetLinkTitle(), "");
  EXPECT_EQ(data->GetLinkMetadata(), "");
  EXPECT_EQ(data->GetFragmentText(), "text");
  EXPECT_EQ(data->GetFragmentHtml(), "");
  EXPECT_EQ(data->GetFragmentBaseURL(), "");
  EXPECT_EQ(Paths(data), (std::vector<std::string>{"/f/one"}));

  // The clone is writable and shares nothing with the original.
  CefRefPtr<CefDragData> clone = data->Clone();
  EXPECT_EQ(clone->GetLinkURL(), "http://a.test/");
  clone->ClearFilenames();
  clone->AddFile("/f/three", "three");
  EXPECT_EQ(Paths(clone), (std::vector<std::string>{"/f/three"}));
  EXPECT_EQ(Paths(data), (std::vector<std::string>{"/f/one"}));
}

TEST(DragDataTest, FileContentsGoToTheWriterUntilReset) {
  CefRefPtr<cefengine::CefDragDataImpl> data = new cefengine::CefDragDataImpl();
  EXPECT_EQ(data->GetFileContents(nullptr), 0u);
  data->SetFileContents("image.png", std::string("a\0b", 3));
  EXPECT_TRUE(data->IsFile());
  EXPECT_EQ(data->GetFileName(), "image.png");
  EXPECT_EQ(data->GetFileContents(nullptr), 3u);

  engine_test::TempDir dir("engine-drag-contents");
  const std::string path = dir.path() + "/contents";
  {
    CefRefPtr<CefStreamWriter> writer = CefStreamWriter::CreateForFile(path);
    ASSERT_TRUE(writer);
    EXPECT_EQ(data->GetFileContents(writer), 3u);
  }
  EXPECT_EQ(engine_test::ReadFile(path), std::string("a\0b", 3));
  EXPECT_EQ(CefStreamWriter::CreateForFile("/nonexistent-dir/x"), nullptr);

  data->ResetFileContents();
  EXPECT_EQ(data->GetFileName(), "");
  EXPECT_EQ(data->GetFileContents(nullptr), 0u);
  EXPECT_FALSE(data->IsFile());
}

TEST(MimeDragDataTest, FileUrlsBecomeFullPathsOtherUrlsTheLink) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/tmp/a b/\xc3\xbc.txt"),
                QUrl("https://example.test/x?y=1"),
                QUrl::fromLocalFile("/tmp/dir/"),
                QUrl("https://second.test/")});
  CefRefPtr<cefengine::CefDragDataImpl> data =
      cefengine::DragDataFromMimeData(mime);
  std::vector<CefString> names;
  ASSERT_TRUE(data->GetFileNames(names));
  EXPECT_EQ(Paths(data),
            (std::vector<std::string>{"/tmp/a b/\xc3\xbc.txt", "/tmp/dir/"}));
  EXPECT_EQ(Strings(names), (std::vector<std::string>{"\xc3\xbc.txt", "dir"}));
  EXPECT_EQ(data->GetLinkURL(), "https://example.test/x?y=1");
  EXPECT_TRUE(data->IsFile());
}

TEST(MimeDragDataTest, TextAndHtmlBecomeTheFragment) {
  QMimeData mime;
  mime.setText("plain \xe2\x82\xac");
  mime.setHtml("<i>html</i>");
  CefRefPtr<cefengine::CefDragDataImpl> data =
      cefengine::DragDataFromMimeData(mime);
  EXPECT_TRUE(data->IsFragment());
  EXPECT_FALSE(data->IsFile());
  EXPECT_EQ(data->GetFragmentText(), "plain \xe2\x82\xac");
  EXPECT_EQ(data->GetFragmentHtml(), "<i>html</i>");
}

// The page's report is untrusted text: anything malformed is dropped, not
// turned into a giant or negative-sized region.
TEST(RegionReportTest, ScalesRoundsOutwardsAndSkipsMalformedEntries) {
  bool ok = false;
  const std::vector<CefDraggableRegion> regions = cefengine::ParseRegionReport(
      "[[0,0,400,40,1],[100.5,0.25,49.5,19.5,0],[1,2,3],[\"a\",0,1,1,1],"
      "[0,0,0,10,1],[0,0,1e300,10,1],[5,5,5,5,\"x\"]]",
      1.5, &ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[0], CefDraggableRegion(CefRect(0, 0, 600, 60), true));
  // 150.75 .. 225 wide, 0.375 .. 29.625 high, outer edges rounded out.
  EXPECT_EQ(regions[1], CefDraggableRegion(CefRect(150, 0, 75, 30), false));
  // Only 1 means draggable.
  EXPECT_EQ(regions[2], CefDraggableRegion(CefRect(7, 7, 8, 8), false));

  EXPECT_TRUE(cefengine::ParseRegionReport("[]", 1.0, &ok).empty());
  EXPECT_TRUE(ok);
  EXPECT_TRUE(cefengine::ParseRegionReport("{\"a\":1}", 1.0, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(cefengine::ParseRegionReport("[[0,0,", 1.0, &ok).empty());
  EXPECT_FALSE(ok);
}

}  // namespace
