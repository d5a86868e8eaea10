// The engine's conversions behind browsers: zoom levels and load error
// codes.

#include <cmath>

#include <gtest/gtest.h>

#include "browser/browser/net_error.h"
#include "browser/browser/zoom.h"

namespace cefengine {
namespace {

// Qt refuses factors outside 0.25..5 and keeps the old one: an out-of-range
// level must clamp, a non-finite one must not reach Qt at all, and no
// factor reads back as a non-finite level. (The scale a level gives the
// page: EngineBrowserTest.ZoomLevelReachesThePage; a level's round trip:
// BridgeTest.PageDrivesTheWindowAndItsQueriesAnswer.)
TEST(EngineBrowserZoom, LevelsAreClampedToQtsRange) {
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(20.0), kMaxZoomFactor);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(-20.0), kMinZoomFactor);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(NAN), 1.0);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(INFINITY), 1.0);
  EXPECT_DOUBLE_EQ(ZoomFactorToLevel(0.0), 0.0);
}

// A failure Qt reports without a usable code must still be a failure: the
// shell answers every failed load but an aborted one with its error page.
// (An HTTP error status is none: EngineBrowserTest.LoadsEndWithStatusOrError.)
TEST(EngineBrowserNetError, FailureWithoutACodeStaysAFailure) {
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::NoErrorDomain, 0),
            ERR_FAILED);
}

}  // namespace
}  // namespace cefengine
