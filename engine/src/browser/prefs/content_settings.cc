#include "browser/prefs/content_settings.h"

#include <utility>

#include <QByteArray>
#include <QUrl>
#include <QVariant>
#include <QWebEngineSettings>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "browser/browser/url_spec.h"
#include "browser/prefs/atomic_file.h"
#include "browser/prefs/prefs_service.h"
#include "common/tasks.h"
#include "include/base/cef_logging.h"
#include "include/cef_parser.h"

namespace cefengine {

namespace {

// Types whose value becomes a page attribute (see ApplyToPage).
bool AffectsPages(cef_content_setting_types_t type) {
  return type == CEF_CONTENT_SETTING_TYPE_CLIPBOARD_READ_WRITE ||
         type == CEF_CONTENT_SETTING_TYPE_CLIPBOARD_SANITIZED_WRITE ||
         type == CEF_CONTENT_SETTING_TYPE_POPUPS ||
         type == CEF_CONTENT_SETTING_TYPE_AUTOPLAY;
}

// Either setting allowing is enough; else either blocking blocks.
cef_content_setting_values_t AnyAllows(cef_content_setting_values_t a,
                                       cef_content_setting_values_t b) {
  if (a == CEF_CONTENT_SETTING_VALUE_ALLOW ||
      b == CEF_CONTENT_SETTING_VALUE_ALLOW) {
    return CEF_CONTENT_SETTING_VALUE_ALLOW;
  }
  if (a == CEF_CONTENT_SETTING_VALUE_BLOCK ||
      b == CEF_CONTENT_SETTING_VALUE_BLOCK) {
    return CEF_CONTENT_SETTING_VALUE_BLOCK;
  }
  return CEF_CONTENT_SETTING_VALUE_DEFAULT;
}

// Gives |page| the right |value| decides, remembering the page's own value
// the first time so that DEFAULT (or another origin) brings it back.
void ApplyAttribute(QWebEnginePage* page,
                    QWebEngineSettings::WebAttribute attribute,
                    cef_content_setting_values_t value,
                    bool allow_means = true) {
  QWebEngineSettings* settings = page->settings();
  const QByteArray saved =
      "cefengine_content_setting_" + QByteArray::number(attribute);
  const QVariant original = page->property(saved.constData());
  if (value != CEF_CONTENT_SETTING_VALUE_ALLOW &&
      value != CEF_CONTENT_SETTING_VALUE_BLOCK) {
    if (original.isValid()) {
      settings->setAttribute(attribute, original.toBool());
      page->setProperty(saved.constData(), QVariant());
    }
    return;
  }
  if (!original.isValid())
    page->setProperty(saved.constData(), settings->testAttribute(attribute));
  settings->setAttribute(
      attribute, (value == CEF_CONTENT_SETTING_VALUE_ALLOW) == allow_means);
}

}  // namespace

std::string OriginOf(const std::string& url) {
  QUrl parsed(QString::fromStdString(url));
  if (!parsed.isValid() || parsed.host().isEmpty())
    return url;
  // Pages report their URL without the scheme's own port.
  if ((parsed.scheme() == "http" && parsed.port() == 80) ||
      (parsed.scheme() == "https" && parsed.port() == 443)) {
    parsed.setPort(-1);
  }
  return parsed
      .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                QUrl::RemoveUserInfo)
      .toString(QUrl::StripTrailingSlash)
      .toStdString();
}

ContentSettings::ContentSettings(std::string path) : path_(std::move(path)) {}

void ContentSettings::Load() {
  std::string data;
  if (path_.empty() || !ReadWholeFile(path_, &data))
    return;
  CefRefPtr<CefValue> parsed =
      CefParseJSON(data.data(), data.size(), JSON_PARSER_RFC);
  if (!parsed || parsed->GetType() != VTYPE_LIST) {
    LOG(WARNING) << "Ignoring unreadable content settings file " << path_;
    return;
  }
  CefRefPtr<CefListValue> entries = parsed->GetList();
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < entries->GetSize(); ++i) {
    CefRefPtr<CefDictionaryValue> entry = entries->GetDictionary(i);
    if (!entry)
      continue;
    const int type = entry->GetInt("type");
    const int value = entry->GetInt("value");
    if (type < 0 || type >= CEF_CONTENT_SETTING_TYPE_NUM_VALUES ||
        value <= CEF_CONTENT_SETTING_VALUE_DEFAULT ||
        value >= CEF_CONTENT_SETTING_VALUE_NUM_VALUES) {
      continue;
    }
    values_[Key(entry->GetString("requesting").ToString(),
                entry->GetString("top_level").ToString(), type)] =
        static_cast<cef_content_setting_values_t>(value);
  }
}

void ContentSettings::SaveLocked() {
  if (path_.empty())
    return;
  CefRefPtr<CefListValue> entries = CefListValue::Create();
  for (const auto& setting : values_) {
    CefRefPtr<CefDictionaryValue> entry = CefDictionaryValue::Create();
    entry->SetString("requesting", std::get<0>(setting.first));
    entry->SetString("top_level", std::get<1>(setting.first));
    entry->SetInt("type", std::get<2>(setting.first));
    entry->SetInt("value", setting.second);
    entries->SetDictionary(entries->GetSize(), entry);
  }
  CefRefPtr<CefValue> root = CefValue::Create();
  root->SetList(entries);
  if (!WriteFileAtomically(
          path_, CefWriteJSON(root, JSON_WRITER_PRETTY_PRINT).ToString())) {
    LOG(ERROR) << "Could not write content settings to " << path_;
  }
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
    SaveLocked();
  }
  if (!AffectsPages(type))
    return;
  PostTask(TID_UI, [origin] {
    std::shared_ptr<ContentSettings> settings = GetContentSettings();
    if (!settings)
      return;
    for (const CefRefPtr<CefBrowserImpl>& browser : GetAllBrowsers()) {
      QWebEnginePage* page = browser->page();
      if (page && OriginOf(UrlSpec(page->url())) == origin)
        settings->ApplyToPage(page);
    }
  });
}

void ContentSettings::ApplyToPage(QWebEnginePage* page) const {
  const std::string origin = OriginOf(UrlSpec(page->url()));
  const cef_content_setting_values_t read_write =
      ForOrigin(origin, CEF_CONTENT_SETTING_TYPE_CLIPBOARD_READ_WRITE);
  // Writing is part of both clipboard kinds; reading (paste) of one only.
  ApplyAttribute(
      page, QWebEngineSettings::JavascriptCanAccessClipboard,
      AnyAllows(read_write,
                ForOrigin(origin,
                          CEF_CONTENT_SETTING_TYPE_CLIPBOARD_SANITIZED_WRITE)));
  ApplyAttribute(page, QWebEngineSettings::JavascriptCanPaste, read_write);
  ApplyAttribute(page, QWebEngineSettings::JavascriptCanOpenWindows,
                 ForOrigin(origin, CEF_CONTENT_SETTING_TYPE_POPUPS));
  // Allowed autoplay is playback that needs no gesture.
  ApplyAttribute(page, QWebEngineSettings::PlaybackRequiresUserGesture,
                 ForOrigin(origin, CEF_CONTENT_SETTING_TYPE_AUTOPLAY),
                 /*allow_means=*/false);
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
