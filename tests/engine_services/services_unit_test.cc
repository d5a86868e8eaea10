// Accept filters as the file dialog shows them.

#include <gtest/gtest.h>

#include "browser/dialogs/file_dialog.h"

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

}  // namespace
}  // namespace cefengine
