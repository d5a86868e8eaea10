// A plain Qt window that starts a file drag when pressed, as a file manager
// would: the drag carries file URLs of the paths given on the command line.
// It writes one JSON object per line: "ready" with its X window once shown,
// then "drag_result" with the drop action the target chose (0 = refused).
//
// It also takes drops: "entered" tells of each drag that enters it, and
// "dropped" lists the local paths and other URLs that arrive.
//
// Usage: drag_source_app [--text=TEXT] PATH...
// With --text the drag carries that plain text instead of files.

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class Source : public QWidget {
 public:
  Source(QList<QUrl> urls, QString text)
      : urls_(std::move(urls)), text_(std::move(text)) {
    setWindowTitle("drag-source");
    setAcceptDrops(true);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    std::printf("{\"event\":\"entered\"}\n");
    std::fflush(stdout);
    event->acceptProposedAction();
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override {
    QJsonArray paths;
    QJsonArray urls;
    for (const QUrl& url : event->mimeData()->urls()) {
      if (url.isLocalFile()) {
        paths.append(url.toLocalFile());
      } else {
        urls.append(url.toString());
      }
    }
    QJsonObject line{{"event", "dropped"},
                     {"paths", paths},
                     {"urls", urls},
                     {"text", event->mimeData()->text()}};
    event->acceptProposedAction();
    std::printf("%s\n",
                QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
  }

  void mousePressEvent(QMouseEvent*) override {
    if (urls_.isEmpty() && text_.isEmpty()) {
      return;
    }
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData();
    if (!text_.isEmpty()) {
      mime->setText(text_);
    } else {
      mime->setUrls(urls_);
    }
    drag->setMimeData(mime);
    const Qt::DropAction action =
        drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    std::printf("{\"event\":\"drag_result\",\"action\":%d}\n",
                static_cast<int>(action));
    std::fflush(stdout);
  }

 private:
  const QList<QUrl> urls_;
  const QString text_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QList<QUrl> urls;
  QString text;
  for (const QString& arg : app.arguments().mid(1)) {
    if (arg.startsWith(QStringLiteral("--text="))) {
      text = arg.mid(7);
    } else {
      urls.append(QUrl::fromLocalFile(arg));
    }
  }
  Source source(urls, text);
  source.setGeometry(20, 40, 200, 200);
  source.show();
  QTimer::singleShot(300, &source, [&source] {
    std::printf("{\"event\":\"ready\",\"xid\":%llu}\n",
                static_cast<unsigned long long>(source.winId()));
    std::fflush(stdout);
  });
  return app.exec();
}
