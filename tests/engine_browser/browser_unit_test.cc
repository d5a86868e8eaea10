// The engine's conversions and plain objects behind browsers: zoom levels,
// load error codes, requests, process messages and drag data.

#include <cmath>

#include <gtest/gtest.h>

#include "browser/browser/net_error.h"
#include "browser/browser/process_message_impl.h"
#include "browser/browser/request_impl.h"
#include "browser/browser/zoom.h"
#include "include/cef_drag_data.h"

namespace cefengine {
namespace {

TEST(EngineBrowserZoom, LevelsAreLogarithmicAndClampedToQtsRange) {
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(0.0), 1.0);
  EXPECT_NEAR(ZoomLevelToFactor(1.0), 1.2, 1e-12);
  EXPECT_NEAR(ZoomLevelToFactor(-2.0), 1 / 1.44, 1e-12);
  // Qt refuses factors outside 0.25..5; the level must not be lost silently.
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(20.0), kMaxZoomFactor);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(-20.0), kMinZoomFactor);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(NAN), 1.0);
  EXPECT_DOUBLE_EQ(ZoomLevelToFactor(INFINITY), 1.0);
  for (double level : {-3.0, -0.5, 0.0, 0.75, 2.5, 7.0}) {
    EXPECT_NEAR(ZoomFactorToLevel(ZoomLevelToFactor(level)), level, 1e-9);
  }
  EXPECT_DOUBLE_EQ(ZoomFactorToLevel(0.0), 0.0);
  EXPECT_DOUBLE_EQ(ZoomFactorToLevel(-1.0), 0.0);
}

TEST(EngineBrowserZoom, CommandsStepThroughPresets) {
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(1.0, CEF_ZOOM_COMMAND_IN), 1.1);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(1.0, CEF_ZOOM_COMMAND_OUT), 0.9);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(2.2, CEF_ZOOM_COMMAND_RESET), 1.0);
  // Between presets: the next one in the asked direction.
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(1.3, CEF_ZOOM_COMMAND_IN), 1.5);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(1.3, CEF_ZOOM_COMMAND_OUT), 1.25);
  // A factor that went through a level is still found at its preset.
  EXPECT_DOUBLE_EQ(
      ZoomFactorAfterCommand(ZoomLevelToFactor(ZoomFactorToLevel(1.25)),
                             CEF_ZOOM_COMMAND_IN),
      1.5);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(5.0, CEF_ZOOM_COMMAND_IN), 5.0);
  EXPECT_DOUBLE_EQ(ZoomFactorAfterCommand(0.25, CEF_ZOOM_COMMAND_OUT), 0.25);
}

TEST(EngineBrowserNetError, QtErrorsMapToEngineCodes) {
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::ConnectionErrorDomain, -102),
            ERR_CONNECTION_REFUSED);
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::DnsErrorDomain, -105),
            ERR_NAME_NOT_RESOLVED);
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::InternalErrorDomain, -20),
            ERR_BLOCKED_BY_CLIENT);
  // HTTP statuses travel in the same field but are not load errors.
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::HttpStatusCodeDomain, 404),
            ERR_NONE);
  // A failure without a usable code must still be a failure.
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::NoErrorDomain, 0),
            ERR_FAILED);
  EXPECT_EQ(ToCefErrorCode(QWebEngineLoadingInfo::InternalErrorDomain, 7),
            ERR_FAILED);
  EXPECT_EQ(ErrorCodeName(ERR_ABORTED), "ERR_ABORTED");
  EXPECT_EQ(ErrorCodeName(ERR_CONNECTION_REFUSED), "ERR_CONNECTION_REFUSED");
  EXPECT_EQ(ErrorCodeName(static_cast<cef_errorcode_t>(-99999)), "ERR_FAILED");
}

TEST(EngineBrowserRequest, HandlersSeeTypesAndMayRewriteUntilFrozen) {
  EXPECT_EQ(ToCefResourceType(QWebEngineUrlRequestInfo::ResourceTypeImage),
            RT_IMAGE);
  EXPECT_EQ(ToCefResourceType(QWebEngineUrlRequestInfo::ResourceTypeXhr),
            RT_XHR);
  EXPECT_EQ(
      ToCefResourceType(
          QWebEngineUrlRequestInfo::ResourceTypeNavigationPreloadSubFrame),
      RT_NAVIGATION_PRELOAD_SUB_FRAME);
  EXPECT_EQ(ToCefResourceType(QWebEngineUrlRequestInfo::ResourceTypeWebSocket),
            RT_SUB_RESOURCE);
  EXPECT_EQ(
      ToCefTransitionType(QWebEnginePage::NavigationTypeLinkClicked, true),
      TT_LINK);
  EXPECT_EQ(ToCefTransitionType(QWebEnginePage::NavigationTypeReload, true),
            TT_RELOAD);
  EXPECT_EQ(ToCefTransitionType(QWebEnginePage::NavigationTypeOther, false),
            TT_AUTO_SUBFRAME);
  EXPECT_EQ(
      ToCefTransitionType(QWebEnginePage::NavigationTypeBackForward, true) &
          TT_FORWARD_BACK_FLAG,
      TT_FORWARD_BACK_FLAG);

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

TEST(EngineBrowserProcessMessage, SendingFreezesAndCopiesStayWritable) {
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("ping");
  ASSERT_TRUE(message->IsValid());
  EXPECT_EQ(message->GetName().ToString(), "ping");
  EXPECT_FALSE(message->IsReadOnly());
  CefRefPtr<CefListValue> args = message->GetArgumentList();
  ASSERT_TRUE(args);
  EXPECT_EQ(args->GetSize(), 0u);
  args->SetInt(0, 7);
  args->SetString(1, "seven");
  EXPECT_EQ(message->GetArgumentList()->GetInt(0), 7);

  CefRefPtr<CefProcessMessage> copy = message->Copy();
  static_cast<CefProcessMessageImpl*>(message.get())->SetReadOnly();
  EXPECT_TRUE(message->IsReadOnly());
  EXPECT_TRUE(message->GetArgumentList()->IsReadOnly());
  EXPECT_FALSE(message->GetArgumentList()->SetInt(0, 8));
  EXPECT_EQ(message->GetArgumentList()->GetInt(0), 7);
  EXPECT_EQ(message->GetArgumentList()->GetString(1).ToString(), "seven");

  EXPECT_FALSE(copy->IsReadOnly());
  EXPECT_TRUE(copy->GetArgumentList()->SetInt(0, 9));
  EXPECT_EQ(copy->GetArgumentList()->GetInt(0), 9);
  EXPECT_EQ(message->GetArgumentList()->GetInt(0), 7);
}

TEST(EngineBrowserDragData, FilesLinksAndFragments) {
  CefRefPtr<CefDragData> data = CefDragData::Create();
  EXPECT_FALSE(data->IsFile());
  EXPECT_FALSE(data->IsLink());
  data->SetFragmentText("hello");
  EXPECT_TRUE(data->IsFragment());
  data->AddFile("/tmp/a.txt", "a.txt");
  data->AddFile("/tmp/b.txt", "b.txt");
  EXPECT_TRUE(data->IsFile());
  EXPECT_FALSE(data->IsFragment());
  std::vector<CefString> paths;
  ASSERT_TRUE(data->GetFilePaths(paths));
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[1].ToString(), "/tmp/b.txt");
  std::vector<CefString> names;
  ASSERT_TRUE(data->GetFileNames(names));
  EXPECT_EQ(names[0].ToString(), "a.txt");

  CefRefPtr<CefDragData> clone = data->Clone();
  data->ClearFilenames();
  EXPECT_FALSE(data->GetFilePaths(paths));
  EXPECT_TRUE(clone->IsFile());
  data->SetLinkURL("korvel://drag?paths=[]");
  EXPECT_TRUE(data->IsLink());
  EXPECT_EQ(data->GetLinkURL().ToString(), "korvel://drag?paths=[]");
}

}  // namespace
}  // namespace cefengine
