#pragma once

#include <QObject>
#include <QStringList>
#include <array>
#include <string>

#include "app/file_dialogs.h"

class QAction;
class QLineEdit;
class QWidget;

namespace marrowick {

// Section files for the window: 保存截面 (Ctrl+S) and 打开截面 (Ctrl+O), also
// in a context menu on the window's background, a file dropped on the
// window, and a file named on the command line. Opening fills the input
// fields only, all of them or none; the user presses 输入数据 as before.
class SectionFiles : public QObject {
  Q_OBJECT

 public:
  // form holds the fields Edit1 to Edit20.
  SectionFiles(QWidget& form, OperationRunner run_operation);

  // Fills the fields from the file; a bad file changes none and fails
  // naming the file, the key and the value.
  void Open(const std::string& file_name);
  // Writes every field's text as typed, the regional decimal symbol as ".".
  // A field that is not a number by its rule fails naming its label, key
  // and text, and no file is written or changed.
  void Save(const std::string& file_name);
  // `marrowick FILE`: opens the file named after the program, if any.
  void OpenFromCommandLine(const QStringList& arguments);

  QAction* SaveSection = nullptr;  // 保存截面
  QAction* OpenSection = nullptr;  // 打开截面
  // Another entry of the background's menu, below these two, when set.
  QAction* SaveReport = nullptr;  // 保存报告…

  // The file the fields were last opened from or saved to, while every field
  // still reads as it left them; empty once one has changed, or before either.
  std::string CurrentFile() const;

  AskFileName AskSaveFileName;
  AskFileName AskOpenFileName;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* Field(int number) const;

  QWidget& form_;
  OperationRunner run_operation_;
  // The file and the fields' texts as it left them.
  void Remember(const std::string& file_name);

  std::string current_file_;
  std::array<QString, 21> file_texts_;
};

}  // namespace marrowick
