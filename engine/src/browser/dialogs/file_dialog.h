// The engine's file chooser: a Qt file dialog (Qt's own widgets, not the
// desktop's portal, so that it works and can be driven on any X server).

#ifndef CEFENGINE_BROWSER_DIALOGS_FILE_DIALOG_H_
#define CEFENGINE_BROWSER_DIALOGS_FILE_DIALOG_H_

#include <functional>
#include <string>
#include <vector>

#include <QStringList>

#include "include/internal/cef_types.h"

class QWidget;

namespace cefengine {

struct FileDialogRequest {
  cef_file_dialog_mode_t mode = FILE_DIALOG_OPEN;
  // Empty gives "Open" or "Save".
  std::string title;
  // A directory, a file name, or a directory and file name; may be empty.
  std::string default_path;
  // Lower-case MIME types ("image/*"), extensions (".png") or
  // "Description|.ext1;.ext2"; empty entries are ignored.
  std::vector<std::string> accept_filters;
};

// Qt name filters ("Images (*.png *.gif)"), one per usable accept filter, in
// order. Empty when nothing restricts the choice.
QStringList ToNameFilters(const std::vector<std::string>& accept_filters);

using FileDialogDone = std::function<void(std::vector<std::string> paths)>;

// Opens the dialog, modal to |parent|'s window (no parent: application
// modal), and returns at once. |done| runs exactly once with the chosen full
// paths, or with none when the dialog is cancelled or destroyed with its
// parent. UI thread.
void OpenFileDialog(QWidget* parent,
                    const FileDialogRequest& request,
                    FileDialogDone done);

// Runs the dialog in a nested event loop and returns its paths. For Qt
// callers that must answer before they return (a download's target). UI
// thread.
std::vector<std::string> RunFileDialogNested(QWidget* parent,
                                             const FileDialogRequest& request);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DIALOGS_FILE_DIALOG_H_
