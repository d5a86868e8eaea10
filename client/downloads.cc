#include "client/downloads.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <vector>

#include "bridge/common/bridge_messages.h"
#include "client/shell_client.h"
#include "include/wrapper/cef_helpers.h"

namespace {

// The real user's home directory from the password database; empty when
// the user has none.
std::string PasswdHome() {
  const long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 1024);
  for (;;) {
    passwd entry;
    passwd* result = nullptr;
    const int error =
        getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result);
    if (error == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    return error == 0 && result && result->pw_dir ? result->pw_dir : "";
  }
}

// Integers within 32 bits, doubles beyond: the page sees the true count.
void SetCount(CefDictionaryValue& dict, const char* key, int64_t count) {
  if (count >= std::numeric_limits<int32_t>::min() &&
      count <= std::numeric_limits<int32_t>::max()) {
    dict.SetInt(key, static_cast<int>(count));
  } else {
    dict.SetDouble(key, static_cast<double>(count));
  }
}

}  // namespace

std::string ProposeDownloadPath(const char* homeEnv,
                                const std::string& passwdHome,
                                const std::string& name) {
  const std::string home = homeEnv && *homeEnv ? homeEnv : passwdHome;
  if (home.empty()) {
    return std::string();
  }
  return home + "/Downloads/" + name;
}

std::string ProposeDownloadPath(const std::string& name) {
  const char* home = std::getenv("HOME");
  return ProposeDownloadPath(home, home && *home ? "" : PasswdHome(), name);
}

DownloadReport ReadDownloadReport(CefRefPtr<CefDownloadItem> item) {
  DownloadReport report;
  report.name = item->GetSuggestedFileName().ToString();
  report.path = item->GetFullPath().ToString();
  report.url = item->GetOriginalUrl().ToString();
  report.id = item->GetId();
  report.totalBytes = item->GetTotalBytes();
  report.currentBytes = item->GetReceivedBytes();
  report.code = item->GetInterruptReason();
  report.isInProgress = item->IsInProgress();
  report.isComplete = item->IsComplete();
  report.isCanceled = item->IsCanceled();
  report.isInterrupted = item->IsInterrupted();
  return report;
}

CefRefPtr<CefDictionaryValue> DownloadItemDictionary(
    const DownloadReport& report) {
  CefRefPtr<CefDictionaryValue> dict = CefDictionaryValue::Create();
  dict->SetString("name", report.name);
  dict->SetString("path", report.path);
  dict->SetString("url", report.url);
  SetCount(*dict, "id", report.id);
  SetCount(*dict, "totalBytes", report.totalBytes);
  SetCount(*dict, "currentBytes", report.currentBytes);
  dict->SetInt("code", report.code);
  dict->SetBool("isInProgress", report.isInProgress);
  dict->SetBool("isComplete", report.isComplete);
  dict->SetBool("isCanceled", report.isCanceled);
  dict->SetBool("isInterrupted", report.isInterrupted);
  return dict;
}

bool ShellClient::CanDownload(CefRefPtr<CefBrowser> browser,
                              const CefString& url,
                              const CefString& request_method) {
  CEF_REQUIRE_UI_THREAD();
  return true;
}

bool ShellClient::OnBeforeDownload(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefDownloadItem> download_item,
    const CefString& suggested_name,
    CefRefPtr<CefBeforeDownloadCallback> callback) {
  CEF_REQUIRE_UI_THREAD();
  // The user confirms or changes the proposal in the engine's save dialog.
  callback->Continue(ProposeDownloadPath(suggested_name.ToString()), true);
  return true;
}

void ShellClient::OnDownloadUpdated(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefDownloadItem> download_item,
    CefRefPtr<CefDownloadItemCallback> callback) {
  CEF_REQUIRE_UI_THREAD();
  CefRefPtr<CefFrame> frame = browser ? browser->GetMainFrame() : nullptr;
  if (!frame || !download_item) {
    return;
  }
  CefRefPtr<CefProcessMessage> message =
      CefProcessMessage::Create(bridge::kOnDownloadUpdated);
  message->GetArgumentList()->SetDictionary(
      0, DownloadItemDictionary(ReadDownloadReport(download_item)));
  frame->SendProcessMessage(PID_RENDERER, message);
}
