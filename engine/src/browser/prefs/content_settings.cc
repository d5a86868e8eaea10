#include "browser/prefs/content_settings.h"

#include <QUrl>
#include <QWebEngineSettings>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "common/tasks.h"

namespace cefengine {

namespace {

// Types whose value becomes a page attribute.
bool PageAttributeFor(cef_content_setting_types_t type,
                      QWebEngineSettings::WebAttribute* first,
                      QWebEngineSettings::WebAttribute* second) {
  switch (type) {
    case CEF_CONTENT_SETTING_TYPE_CLIPBOARD_READ_WRITE:
      // Reading needs both: the async clipboard API and execCommand paste.
      *first = QWebEngineSettings::JavascriptCanAccessClipboard;
      *second = QWebEngineSettings::JavascriptCanPaste;
      return true;
    case CEF_CONTENT_SETTING_TYPE_CLIPBOARD_SANITIZED_WRITE:
      *first = *second = QWebEngineSettings::JavascriptCanAccessClipboard;
      return true;
    case CEF_CONTENT_SETTING_TYPE_POPUPS:
      *first = *second = QWebEngineSettings::JavascriptCanOpenWindows;
      return true;
    default:
      return false;
  }
}

void ApplyToOpenPages(const std::string& origin,
                      cef_content_setting_types_t type,
                      cef_content_setting_values_t value) {
  QWebEngineSettings::WebAttribute first;
  QWebEngineSettings::WebAttribute second;
  if (!PageAttributeFor(type, &first, &second))
    return;
  for (const CefRefPtr<CefBrowserImpl>& browser : GetAllBrowsers()) {
    QWebEnginePage* page = browser->page();
    if (!page || OriginOf(page->url().toString().toStdString()) != origin)
      continue;
    QWebEngineSettings* settings = page->settings();
    if (value == CEF_CONTENT_SETTING_VALUE_DEFAULT) {
      // Back to what the profile says; the browser's own settings are not
      // known here any more.
      settings->resetAttribute(first);
      settings->resetAttribute(second);
    } else {
      const bool allow = value == CEF_CONTENT_SETTING_VALUE_ALLOW;
      settings->setAttribute(first, allow);
      settings->setAttribute(second, allow);
    }
  }
}

}  // namespace

std::string OriginOf(const std::string& url) {
  const QUrl parsed(QString::fromStdString(url));
  if (!parsed.isValid() || parsed.host().isEmpty())
    return url;
  return parsed
      .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                QUrl::RemoveUserInfo)
      .toString(QUrl::StripTrailingSlash)
      .toStdString();
}

void ContentSettings::Set(const std::string& requesting_url,
                          const std::string& top_level_url,
                          cef_content_setting_types_t type,
                          cef_content_setting_values_t value) {
  const std::string origin = OriginOf(requesting_url);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const Key key(origin, OriginOf(top_level_url), type);
    if (value == CEF_CONTENT_SETTING_VALUE_DEFAULT)
      values_.erase(key);
    else
      values_[key] = value;
  }
  PostTask(TID_UI,
           [origin, type, value] { ApplyToOpenPages(origin, type, value); });
}

cef_content_setting_values_t ContentSettings::Get(
    const std::string& requesting_url,
    const std::string& top_level_url,
    cef_content_setting_types_t type) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = values_.find(
      Key(OriginOf(requesting_url), OriginOf(top_level_url), type));
  return it == values_.end() ? CEF_CONTENT_SETTING_VALUE_DEFAULT : it->second;
}

cef_content_setting_values_t ContentSettings::ForOrigin(
    const std::string& origin,
    cef_content_setting_types_t type) const {
  std::lock_guard<std::mutex> lock(mutex_);
  cef_content_setting_values_t result = CEF_CONTENT_SETTING_VALUE_DEFAULT;
  for (const auto& entry : values_) {
    if (std::get<0>(entry.first) != origin ||
        std::get<2>(entry.first) != type) {
      continue;
    }
    if (entry.second == CEF_CONTENT_SETTING_VALUE_BLOCK)
      return entry.second;
    result = entry.second;
  }
  return result;
}

bool ContentSettings::AnswerPermissionRequest(
    QWebEnginePage* page,
    const QUrl& origin,
    QWebEnginePage::Feature feature) const {
  const std::string key = OriginOf(origin.toString().toStdString());
  auto decide = [&](cef_content_setting_types_t type) {
    return ForOrigin(key, type);
  };
  cef_content_setting_values_t value = CEF_CONTENT_SETTING_VALUE_DEFAULT;
  switch (feature) {
    case QWebEnginePage::Notifications:
      value = decide(CEF_CONTENT_SETTING_TYPE_NOTIFICATIONS);
      break;
    case QWebEnginePage::Geolocation:
      value = decide(CEF_CONTENT_SETTING_TYPE_GEOLOCATION);
      break;
    case QWebEnginePage::MediaAudioCapture:
      value = decide(CEF_CONTENT_SETTING_TYPE_MEDIASTREAM_MIC);
      break;
    case QWebEnginePage::MediaVideoCapture:
      value = decide(CEF_CONTENT_SETTING_TYPE_MEDIASTREAM_CAMERA);
      break;
    case QWebEnginePage::MediaAudioVideoCapture: {
      // Both devices must be allowed; either one blocked refuses.
      const auto mic = decide(CEF_CONTENT_SETTING_TYPE_MEDIASTREAM_MIC);
      const auto camera = decide(CEF_CONTENT_SETTING_TYPE_MEDIASTREAM_CAMERA);
      if (mic == CEF_CONTENT_SETTING_VALUE_BLOCK ||
          camera == CEF_CONTENT_SETTING_VALUE_BLOCK) {
        value = CEF_CONTENT_SETTING_VALUE_BLOCK;
      } else if (mic == CEF_CONTENT_SETTING_VALUE_ALLOW &&
                 camera == CEF_CONTENT_SETTING_VALUE_ALLOW) {
        value = CEF_CONTENT_SETTING_VALUE_ALLOW;
      }
      break;
    }
    case QWebEnginePage::MouseLock:
      value = decide(CEF_CONTENT_SETTING_TYPE_POINTER_LOCK);
      break;
    default:
      break;
  }
  if (value != CEF_CONTENT_SETTING_VALUE_ALLOW &&
      value != CEF_CONTENT_SETTING_VALUE_BLOCK) {
    return false;
  }
  page->setFeaturePermission(origin, feature,
                             value == CEF_CONTENT_SETTING_VALUE_ALLOW
                                 ? QWebEnginePage::PermissionGrantedByUser
                                 : QWebEnginePage::PermissionDeniedByUser);
  return true;
}

}  // namespace cefengine
