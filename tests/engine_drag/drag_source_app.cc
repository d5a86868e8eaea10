// A plain Qt window that starts a file drag when pressed, as a file manager
// would: the drag carries file URLs of the paths given on the command line.
// It writes one JSON object per line: "ready" with its X window once shown,
// then "drag_result" with the drop action the target chose (0 = refused).
//
// Usage: drag_source_app PATH...

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class Source : public QWidget {
 public:
  explicit Source(QList<QUrl> urls) : urls_(std::move(urls)) {
    setWindowTitle("drag-source");
  }

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData();
    mime->setUrls(urls_);
    drag->setMimeData(mime);
    const Qt::DropAction action =
        drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    std::printf("{\"event\":\"drag_result\",\"action\":%d}\n",
                static_cast<int>(action));
    std::fflush(stdout);
  }

 private:
  const QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QList<QUrl> urls;
  for (const QString& path : app.arguments().mid(1)) {
    urls.append(QUrl::fromLocalFile(path));
  }
  Source source(urls);
  source.setGeometry(20, 40, 200, 200);
  source.show();
  QTimer::singleShot(300, &source, [&source] {
    std::printf("{\"event\":\"ready\",\"xid\":%llu}\n",
                static_cast<unsigned long long>(source.winId()));
    std::fflush(stdout);
  });
  return app.exec();
}
