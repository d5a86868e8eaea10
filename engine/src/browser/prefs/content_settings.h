// Content settings of the global request context: per-origin decisions
// about features such as notifications, media capture or the clipboard.
// Every value is remembered, also across starts; those Qt WebEngine has a
// switch for also take effect there (permission requests are answered from
// them, clipboard, popup and autoplay rights go to the pages of the origin).

#ifndef CEFENGINE_BROWSER_PREFS_CONTENT_SETTINGS_H_
#define CEFENGINE_BROWSER_PREFS_CONTENT_SETTINGS_H_

#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include <QWebEnginePage>

#include "include/internal/cef_types.h"

class QUrl;

namespace cefengine {

class ContentSettings {
 public:
  // Keeps the settings in |path| across starts; in memory when empty.
  explicit ContentSettings(std::string path);
  ContentSettings(const ContentSettings&) = delete;
  ContentSettings& operator=(const ContentSettings&) = delete;

  // Reads the settings an earlier run kept. Entries that make no sense are
  // skipped; a missing or unreadable file leaves none.
  void Load();

  // Remembers |value| for the origins of the two URLs (DEFAULT forgets it)
  // and applies it to the open pages of that origin on the UI thread. Any
  // thread.
  void Set(const std::string& requesting_url,
           const std::string& top_level_url,
           cef_content_setting_types_t type,
           cef_content_setting_values_t value);
  // What Set stored for the origins of the two URLs, else DEFAULT. Any
  // thread.
  cef_content_setting_values_t Get(const std::string& requesting_url,
                                   const std::string& top_level_url,
                                   cef_content_setting_types_t type) const;

  // Gives |page| the clipboard, popup and autoplay rights of the origin it
  // shows now, or back its own when that origin has none. UI thread.
  void ApplyToPage(QWebEnginePage* page) const;

  // Answers a permission request of |page| for |feature| from |origin| when
  // a setting allows or blocks it; false when the request is the
  // application's to decide. UI thread.
  bool AnswerPermissionRequest(QWebEnginePage* page,
                               const QUrl& origin,
                               QWebEnginePage::Feature feature) const;

 private:
  // (requesting origin, top-level origin, type)
  using Key = std::tuple<std::string, std::string, int>;

  // The decision for |origin| whatever the top-level origin: a block wins.
  cef_content_setting_values_t ForOrigin(
      const std::string& origin,
      cef_content_setting_types_t type) const;

  void SaveLocked();

  const std::string path_;
  mutable std::mutex mutex_;
  std::map<Key, cef_content_setting_values_t> values_;
};

// "scheme://host[:port]" of |url|, or |url| itself when it has no origin.
std::string OriginOf(const std::string& url);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PREFS_CONTENT_SETTINGS_H_
