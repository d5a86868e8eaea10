#include "browser/process/profile.h"

#include <QDir>
#include <QWebEngineProfile>

namespace cefengine {

namespace {

std::string ToString(const cef_string_t& value) {
  return CefString(&value).ToString();
}

// A named Qt profile first creates its directory and preferences under the
// user's XDG data directory, and only then moves to the path it is given.
// To keep every file inside the cache directory, that first location is
// pointed into a seed directory there (through XDG_DATA_HOME, for the few
// milliseconds the profile needs once Qt's engine is up) and removed after.
QWebEngineProfile* CreatePersistentProfile(const QString& path) {
  // Starts Qt's engine; the default profile is off the record and writes
  // nothing.
  QWebEngineProfile::defaultProfile();
  const QString seed = path + QStringLiteral("/.engine-profile-seed");
  const bool had_data_home = qEnvironmentVariableIsSet("XDG_DATA_HOME");
  const QByteArray data_home = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", seed.toLocal8Bit());
  auto* profile = new QWebEngineProfile(QStringLiteral("cef"));
  profile->setPersistentStoragePath(path);
  profile->setCachePath(path + QStringLiteral("/Cache"));
  if (had_data_home)
    qputenv("XDG_DATA_HOME", data_home);
  else
    qunsetenv("XDG_DATA_HOME");
  QDir(seed).removeRecursively();
  return profile;
}

}  // namespace

QWebEngineProfile* CreateProfile(const CefSettings& settings,
                                 const std::string& storage) {
  QWebEngineProfile* profile =
      CreatePersistentProfile(QString::fromStdString(storage));
  if (settings.persist_session_cookies)
    profile->setPersistentCookiesPolicy(
        QWebEngineProfile::ForcePersistentCookies);
  if (settings.user_agent.length > 0)
    profile->setHttpUserAgent(
        QString::fromStdString(ToString(settings.user_agent)));
  if (settings.accept_language_list.length > 0)
    profile->setHttpAcceptLanguage(
        QString::fromStdString(ToString(settings.accept_language_list)));
  return profile;
}

}  // namespace cefengine
