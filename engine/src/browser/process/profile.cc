#include "browser/process/profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QWebEngineProfile>

#include "browser/downloads/download_manager.h"

namespace cefengine {

namespace {

std::string ToString(const cef_string_t& value) {
  return CefString(&value).ToString();
}

// Where Qt first puts a profile named |name|, before it is moved: its
// location for application data, as Qt builds it.
QString SeedLocation(const QString& name) {
  QString base =
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (base.isEmpty())
    base = QDir::homePath() + QStringLiteral("/.") +
           QCoreApplication::applicationName();
  return base + QStringLiteral("/QtWebEngine/") + name;
}

// Removes |seed| and those of its parents in |created| (deepest first) that
// are empty then.
void RemoveSeed(const QString& seed, const QStringList& created) {
  QDir(seed).removeRecursively();
  for (const QString& dir : created)
    QDir().rmdir(dir);
}

// A named Qt profile first creates its directory and preferences under the
// user's data directory and only then moves to the path it is given. The
// engine keeps its files in the cache directory only, so that first
// directory, and any parent it had to create, is removed again. The name is
// unique to this process, so a concurrent instance is never disturbed.
QWebEngineProfile* CreatePersistentProfile(const QString& path) {
  const QString name =
      QStringLiteral("engine-%1").arg(QCoreApplication::applicationPid());
  const QString seed = SeedLocation(name);
  QStringList created;
  for (QString dir = seed; !QFileInfo::exists(dir) && dir != "/";
       dir = QFileInfo(dir).path()) {
    created.append(dir);
  }
  auto* profile = new QWebEngineProfile(name);
  profile->setPersistentStoragePath(path);
  profile->setCachePath(path + QStringLiteral("/Cache"));
  RemoveSeed(seed, created);
  // Qt may write its own preferences there again while the profile lives.
  QObject::connect(profile, &QObject::destroyed,
                   [seed, created] { RemoveSeed(seed, created); });
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
  ConnectDownloads(profile);
  return profile;
}

}  // namespace cefengine
