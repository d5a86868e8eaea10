#include "browser/dialogs/file_dialog.h"

#include <memory>

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>

namespace cefengine {

namespace {

QString Globs(const QStringList& suffixes) {
  QStringList globs;
  for (const QString& suffix : suffixes) {
    const QString glob = QStringLiteral("*.") + suffix;
    if (!globs.contains(glob)) {
      globs.append(glob);
    }
  }
  return globs.join(QLatin1Char(' '));
}

// "image/*" or "text/plain": every file suffix known for the type(s).
QStringList SuffixesOfMimeType(const QString& type) {
  QMimeDatabase db;
  QStringList suffixes;
  if (type.endsWith(QStringLiteral("/*"))) {
    const QString prefix = type.left(type.size() - 1);
    for (const QMimeType& known : db.allMimeTypes()) {
      if (known.name().startsWith(prefix)) {
        suffixes.append(known.suffixes());
      }
    }
  } else {
    const QMimeType known = db.mimeTypeForName(type);
    if (known.isValid()) {
      suffixes = known.suffixes();
    }
  }
  return suffixes;
}

// ".png" or "png" -> "png"; anything with a path separator or a glob
// character is refused, so a filter cannot widen itself to "*".
QString CleanSuffix(QString extension) {
  extension = extension.trimmed();
  if (extension.startsWith(QLatin1Char('.'))) {
    extension.remove(0, 1);
  }
  if (extension.isEmpty() || extension.contains(QLatin1Char('/')) ||
      extension.contains(QLatin1Char('*')) ||
      extension.contains(QLatin1Char('?')) ||
      extension.contains(QLatin1Char('(')) ||
      extension.contains(QLatin1Char(')')) ||
      extension.contains(QLatin1Char(' '))) {
    return QString();
  }
  return extension;
}

QString ToNameFilter(const QString& filter) {
  const qsizetype bar = filter.indexOf(QLatin1Char('|'));
  if (bar >= 0) {
    QStringList suffixes;
    for (const QString& part : filter.mid(bar + 1).split(QLatin1Char(';'))) {
      const QString suffix = CleanSuffix(part);
      if (!suffix.isEmpty()) {
        suffixes.append(suffix);
      }
    }
    if (suffixes.isEmpty()) {
      return QString();
    }
    QString description = filter.left(bar).trimmed();
    // Qt reads the last parenthesised group as the patterns.
    description.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    if (description.isEmpty()) {
      description = Globs(suffixes);
    }
    return description + QStringLiteral(" (") + Globs(suffixes) +
           QLatin1Char(')');
  }
  if (filter.startsWith(QLatin1Char('.'))) {
    const QString suffix = CleanSuffix(filter);
    return suffix.isEmpty()
               ? QString()
               : QStringLiteral("*.") + suffix + QStringLiteral(" (*.") +
                     suffix + QLatin1Char(')');
  }
  if (filter.contains(QLatin1Char('/'))) {
    const QStringList suffixes = SuffixesOfMimeType(filter.trimmed());
    if (suffixes.isEmpty()) {
      return QString();
    }
    QString description = filter.trimmed();
    description.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    return description + QStringLiteral(" (") + Globs(suffixes) +
           QLatin1Char(')');
  }
  return QString();
}

void ApplyDefaultPath(QFileDialog* dialog, const QString& path) {
  if (path.isEmpty()) {
    return;
  }
  const QFileInfo info(path);
  if (info.isDir()) {
    dialog->setDirectory(info.absoluteFilePath());
    return;
  }
  if (path.contains(QLatin1Char('/'))) {
    dialog->setDirectory(info.absolutePath());
  }
  dialog->selectFile(info.fileName());
}

}  // namespace

QStringList ToNameFilters(const std::vector<std::string>& accept_filters) {
  QStringList filters;
  for (const std::string& filter : accept_filters) {
    const QString name_filter = ToNameFilter(QString::fromStdString(filter));
    if (!name_filter.isEmpty() && !filters.contains(name_filter)) {
      filters.append(name_filter);
    }
  }
  return filters;
}

void OpenFileDialog(QWidget* parent,
                    const FileDialogRequest& request,
                    FileDialogDone done) {
  QWidget* window = parent ? parent->window() : nullptr;
  auto* dialog = new QFileDialog(window);
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setAttribute(Qt::WA_DeleteOnClose, true);
  dialog->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
  QString title = QString::fromStdString(request.title);
  switch (request.mode) {
    case FILE_DIALOG_OPEN_MULTIPLE:
      dialog->setFileMode(QFileDialog::ExistingFiles);
      break;
    case FILE_DIALOG_OPEN_FOLDER:
      dialog->setFileMode(QFileDialog::Directory);
      dialog->setOption(QFileDialog::ShowDirsOnly, true);
      break;
    case FILE_DIALOG_SAVE:
      dialog->setFileMode(QFileDialog::AnyFile);
      dialog->setAcceptMode(QFileDialog::AcceptSave);
      break;
    default:
      dialog->setFileMode(QFileDialog::ExistingFile);
      break;
  }
  if (title.isEmpty()) {
    title = request.mode == FILE_DIALOG_SAVE ? QStringLiteral("Save")
                                             : QStringLiteral("Open");
  }
  dialog->setWindowTitle(title);
  const QStringList filters = ToNameFilters(request.accept_filters);
  if (!filters.isEmpty() && request.mode != FILE_DIALOG_OPEN_FOLDER) {
    dialog->setNameFilters(filters);
  }
  ApplyDefaultPath(dialog, QString::fromStdString(request.default_path));

  // Shared by the two ways the dialog can end, so |done| runs once.
  auto pending = std::make_shared<FileDialogDone>(std::move(done));
  QObject::connect(
      dialog, &QFileDialog::finished, dialog, [dialog, pending](int result) {
        std::vector<std::string> paths;
        if (result == QDialog::Accepted) {
          for (const QString& file : dialog->selectedFiles()) {
            paths.push_back(QFileInfo(file).absoluteFilePath().toStdString());
          }
        }
        FileDialogDone call;
        call.swap(*pending);
        if (call) {
          call(std::move(paths));
        }
      });
  QObject::connect(dialog, &QObject::destroyed, [pending] {
    FileDialogDone call;
    call.swap(*pending);
    if (call) {
      call({});
    }
  });
  dialog->open();
}

std::vector<std::string> RunFileDialogNested(QWidget* parent,
                                             const FileDialogRequest& request) {
  QEventLoop loop;
  auto result = std::make_shared<std::vector<std::string>>();
  auto finished = std::make_shared<bool>(false);
  QPointer<QEventLoop> waiting(&loop);
  OpenFileDialog(parent, request,
                 [result, finished, waiting](std::vector<std::string> paths) {
                   *result = std::move(paths);
                   *finished = true;
                   if (waiting) {
                     waiting->quit();
                   }
                 });
  if (!*finished) {
    loop.exec();
  }
  return *result;
}

}  // namespace cefengine
