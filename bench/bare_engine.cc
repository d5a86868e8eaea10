// The bare engine the shell is compared with: one Qt WebEngine window, no
// shell and no CEF API, that loads a page and maps its window once the page
// has loaded. With --wait-for-server it first waits until the page's server
// accepts connections (probing every 10 ms), for a server started with it.
//
// KORVEL_BARE_ALSO_START names an executable that is started with
// --type=renderer once the application object exists, as the development
// engine starts its renderer-role process: a shell executable started so
// loads its libraries and ends, which puts that process's start-up cost into
// the baseline (how much of the shell's start-up the development engine's
// extra process accounts for).
//
// Usage: bare_engine URL [--wait-for-server]

#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstdlib>
#include <cstring>

namespace {

bool Accepts(const QUrl& url) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return false;
  }
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(url.port(80)));
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  const bool ok =
      connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    return 2;
  }
  const QUrl url(QString::fromUtf8(argv[1]));
  const bool waitForServer =
      argc > 2 && std::strcmp(argv[2], "--wait-for-server") == 0;
  // The shell runs its engine without Chromium's sandbox (its settings say
  // no_sandbox), so the bare engine does too: same processes, same costs.
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // Its windows' X class, which the benchmark watches for.
  QCoreApplication::setApplicationName("KorvelBare");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  if (const char* also = std::getenv("KORVEL_BARE_ALSO_START")) {
    char type[] = "--type=renderer";
    char* args[] = {const_cast<char*>(also), type, nullptr};
    pid_t pid;
    posix_spawn(&pid, also, nullptr, nullptr, args, environ);
  }

  // A profile on disk, as an application keeps one.
  QWebEngineProfile profile(QStringLiteral("bench"));
  QWebEnginePage page(&profile);
  QWebEngineView view;
  view.setPage(&page);
  view.resize(1200, 685);
  QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) {
    if (ok) {
      view.show();
    } else {
      QTimer::singleShot(50, [&] { page.load(url); });
    }
  });

  if (waitForServer) {
    auto* probe = new QTimer(&app);
    QObject::connect(probe, &QTimer::timeout, [&, probe] {
      if (Accepts(url)) {
        probe->stop();
        page.load(url);
      }
    });
    probe->start(10);
  } else {
    page.load(url);
  }
  const int status = app.exec();
  return status;
}
