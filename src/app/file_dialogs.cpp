#include "app/file_dialogs.h"

#include <QFileDialog>

namespace marrowick {

QString SaveFileDialog(QWidget* owner, const QString& caption, const QString& suggested,
                       const QString& filter) {
  return QFileDialog::getSaveFileName(owner, caption, suggested, filter);
}

QString OpenFileDialog(QWidget* owner, const QString& caption, const QString& suggested,
                       const QString& filter) {
  return QFileDialog::getOpenFileName(owner, caption, suggested, filter);
}

}  // namespace marrowick
