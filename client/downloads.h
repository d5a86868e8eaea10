// The download facet of ShellClient: where a download is proposed to go,
// and the item as the page receives it with every update.

#ifndef KORVEL_CLIENT_DOWNLOADS_H_
#define KORVEL_CLIENT_DOWNLOADS_H_

#include <cstdint>
#include <string>

#include "include/cef_download_item.h"
#include "include/cef_values.h"

// The proposed target of a download named |name|: |homeEnv| (the HOME
// variable, null when unset) + "/Downloads/" + |name|; with HOME unset or
// empty, the password database's home |passwdHome| instead. Empty when
// neither is known, which lets the engine choose its default folder.
std::string ProposeDownloadPath(const char* homeEnv,
                                const std::string& passwdHome,
                                const std::string& name);

// The same for this process: HOME, then the real user's password entry.
std::string ProposeDownloadPath(const std::string& name);

// What the page learns of a download with every update.
struct DownloadReport {
  std::string name;
  std::string path;
  std::string url;
  uint32_t id = 0;
  int64_t totalBytes = 0;
  int64_t currentBytes = 0;
  int code = 0;
  bool isInProgress = false;
  bool isComplete = false;
  bool isCanceled = false;
  bool isInterrupted = false;
};

// Reads |item| during the engine's call.
DownloadReport ReadDownloadReport(CefRefPtr<CefDownloadItem> item);

// The dictionary the page receives, keys in the page's order. Numbers that
// fit 32 bits stay integers; larger ones (items of 2 GiB and more) are
// doubles, exact up to 2^53 bytes.
CefRefPtr<CefDictionaryValue> DownloadItemDictionary(
    const DownloadReport& report);

#endif  // KORVEL_CLIENT_DOWNLOADS_H_
