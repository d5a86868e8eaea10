// Accept filters as the file dialog shows them, and download item figures.

#include <gtest/gtest.h>

#include "browser/dialogs/file_dialog.h"
#include "browser/downloads/download_item_impl.h"

namespace cefengine {
namespace {

TEST(FileDialogFiltersTest, EachFormBecomesOneNameFilter) {
  const QStringList filters = ToNameFilters(
      {".png", "Images|.png;.gif", "text/plain", "", "Pictures (old)|.bmp"});
  ASSERT_EQ(filters.size(), 4);
  EXPECT_EQ(filters[0], "*.png (*.png)");
  EXPECT_EQ(filters[1], "Images (*.png *.gif)");
  EXPECT_TRUE(filters[2].startsWith("text/plain ("));
  EXPECT_TRUE(filters[2].contains("*.txt"));
  // Qt reads the last parenthesised group as the patterns, so a
  // description must not bring its own.
  EXPECT_EQ(filters[3], "Pictures old (*.bmp)");
  // A wildcard type covers its types and no others.
  const QString images = ToNameFilters({"image/*"}).value(0);
  EXPECT_TRUE(images.contains("*.png"));
  EXPECT_TRUE(images.contains("*.jpg"));
  EXPECT_FALSE(images.contains("*.txt"));
}

// A filter must never widen itself to every file or inject a pattern.
TEST(FileDialogFiltersTest, UnusableFiltersAreDropped) {
  EXPECT_TRUE(ToNameFilters({"", "Nothing|", "All|*", "Glob|.p?g", "x/none",
                             ".", "plain", "Spaces|.a b"})
                  .isEmpty());
  EXPECT_EQ(ToNameFilters({".txt", ".txt"}).size(), 1);
  EXPECT_EQ(ToNameFilters({"|.md"}), QStringList{"*.md (*.md)"});
}

TEST(DownloadItemTest, PercentIsUnknownWithoutATotal) {
  DownloadState state;
  state.received_bytes = 50;
  CefRefPtr<CefDownloadItemImpl> unknown = new CefDownloadItemImpl(state);
  EXPECT_EQ(unknown->GetPercentComplete(), -1);
  state.total_bytes = 200;
  CefRefPtr<CefDownloadItemImpl> known = new CefDownloadItemImpl(state);
  EXPECT_EQ(known->GetPercentComplete(), 25);
  // Past 2 GiB the figure must not overflow.
  state.total_bytes = int64_t{3} << 30;
  state.received_bytes = int64_t{3} << 29;
  CefRefPtr<CefDownloadItemImpl> large = new CefDownloadItemImpl(state);
  EXPECT_EQ(large->GetPercentComplete(), 50);
}

}  // namespace
}  // namespace cefengine
