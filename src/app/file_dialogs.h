#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace marrowick {

// Where a failing tool of the window ends, as a failing button does: the
// window's RunOperation.
using OperationRunner = std::function<void(const std::function<void()>&)>;

// Asks for a file: a caption, a suggested file name and a filter; an empty
// answer means the user cancelled. Tests answer without a dialog.
using AskFileName = std::function<QString(QWidget* owner, const QString& caption,
                                          const QString& suggested, const QString& filter)>;

// The toolkit's own dialogs.
QString SaveFileDialog(QWidget* owner, const QString& caption, const QString& suggested,
                       const QString& filter);
QString OpenFileDialog(QWidget* owner, const QString& caption, const QString& suggested,
                       const QString& filter);

}  // namespace marrowick
