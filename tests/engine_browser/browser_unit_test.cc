// The engine's conversions and plain objects behind browsers: zoom levels,
// load error codes, requests and process messages.

#include <cmath>

#include <gtest/gtest.h>

#include "browser/browser/net_error.h"
#include "browser/browser/process_message_impl.h"
#include "browser/browser/request_impl.h"
#include "browser/browser/zoom.h"

namespace cefengine {
namespace {

// Qt refuses factors outside 0.25..5 and keeps the old one: an out-of-range
// level must clamp, a non-finite one must not reach Qt at all.
TEST(EngineBrowserZoom, LevelsAreLogarithmicAndClampedToQtsRange) {
  EXPECT_NEAR(ZoomLevelToFactor(1.0), 1.2, 1e-12);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(20.0), kMaxZoomFactor);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(-20.0), kMinZoomFactor);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(NAN), 1.0);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(INFINITY), 1.0);
  for (double level : {-3.0, 0.0, 2.5}) {
    EXPECT_NEAR(ZoomFactorToLevel(ZoomLevelToFactor(level)), level, 1e-9);
  }
  EXPECT_DOUBLE_EQ(ZoomFactorToLevel(0.0), 0.0);
}

// Zoom commands from factors between presets, from a preset that went
// through a level (rounding must not skip it) and at either end.
TEST(EngineBrowserZoom, CommandsStepThroughPresets) {
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(2.2, CEF_ZOOM_COMMAND_RESET), 1.0);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(1.3, CEF_ZOOM_COMMAND_IN), 1.5);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(1.3, CEF_ZOOM_COMMAND_OUT), 1.25);
  EXPECT_DOUBLE_EQ(
      ZoomFactorAfterCommand(ZoomLevelToFactor(ZoomFactorToLevel(1.25)),
                             CEF_ZOOM_COMMAND_IN),
      1.5);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(5.0, CEF_ZOOM_COMMAND_IN), 5.0);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(0.25, CEF_ZOOM_COMMAND_OUT), 0.25);
}

// An HTTP status is no load error; a failure without a usable code must
// still be a failure; a code without a name still gets one.
TEST(EngineBrowserNetError, QtErrorsMapToEngineCodes) {
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::DnsErrorDomain, -105),
            ERR_NAME_NOT_RESOLVED);
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::HttpStatusCodeDomain, 404),
            ERR_NONE);
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::NoErrorDomain, 0),
            ERR_FAILED);
  EXPECT_EQ(ErrorCodeName(static_cast<cef_errorcode_t>(-99999)), "ERR_FAILED");
}

TEST(EngineBrowserRequest, HandlersSeeTypesAndMayRewriteUntilFrozen) {
  // The last type Qt shares with the engine, and one the engine lacks.
  EXPECT_EQ(
      ToCefResourceType(
          QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadSubFrame),
      RT_NAVIGATION_PRELOAD_SUB_FRAME);
  EXPECT_EQ(ToCefResourceType(QWebEngineUrlRequestInfo::ResourceTypeWebSocket),
            RT_SUB_RESOURCE);
  EXPECT_EQ(ToCefTransitionType(QWebEnginePage::NavigationTypeReload, true),
            TT_RELOAD);
  EXPECT_EQ(ToCefTransitionType(QWebEnginePage::NavigationTypeOther, false),
            TT_AUTO_SUBFRAME);

  // Header names compare without case; only real changes go back to Qt.
  CefRefPtr<CefRequestImpl> request = new CefRequestImpl();
  request->SetURL("http://a.test/x");
  request->ClearChanges();
  request->SetHeaderByName("X-Test", "1", false);
  request->SetHeaderByName("x-test", "2", false);
  EXPECT_EQ(request->GetHeaderByName("X-TEST").ToString(), "1");
  request->SetHeaderByName("x-test", "3", true);
  CefRequest::HeaderMap headers;
  request->GetHeaderMap(headers);
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_EQ(headers.begin()->second.ToString(), "3");
  EXPECT_TRUE(request->headers_changed());
  EXPECT_FALSE(request->url_changed());
  request->SetURL("http://a.test/y");
  EXPECT_TRUE(request->url_changed());

  // A request that has gone out can no longer be rewritten.
  request->SetReadOnly();
  request->SetURL("http://a.test/z");
  request->SetMethod("POST");
  EXPECT_EQ(request->GetURL().ToString(), "http://a.test/y");
  EXPECT_EQ(request->GetMethod().ToString(), "GET");

  // Requests seen by handlers get distinct identifiers.
  CefRefPtr<CefRequestImpl> other = new CefRequestImpl();
  request->AssignIdentifier();
  other->AssignIdentifier();
  EXPECT_NE(request->GetIdentifier(), 0u);
  EXPECT_NE(request->GetIdentifier(), other->GetIdentifier());
  EXPECT_EQ(CefRequest::Create()->GetIdentifier(), 0u);
}

// A delivered message is frozen with its arguments; its copy is writable
// and shares nothing with it.
TEST(EngineBrowserProcessMessage, SendingFreezesAndCopiesStayWritable) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("ping");
  message->GetArgumentList()->SetInt(0, 7);
  CefRefPtr<CefProcessMessage> copy = message->Copy();
  static_cast<CefProcessMessageImpl*>(message.get())->SetReadOnly();
  EXPECT_TRUE(message->IsReadOnly());
  EXPECT_FALSE(message->GetArgumentList()->SetInt(0, 8));
  EXPECT_EQ(message->GetArgumentList()->GetInt(0), 7);

  EXPECT_FALSE(copy->IsReadOnly());
  EXPECT_TRUE(copy->GetArgumentList()->SetInt(0, 9));
  EXPECT_EQ(message->GetArgumentList()->GetInt(0), 7);
}

}  // namespace
}  // namespace cefengine
