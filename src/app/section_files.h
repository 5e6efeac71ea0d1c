#pragma once

#include <QObject>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "app/file_dialogs.h"
#include "section/input_fields.h"

class QAction;
class QWidget;

namespace marrowick {

// Section files for the window: 保存截面 (Ctrl+S) and 打开截面 (Ctrl+O), also
// in a context menu on the window's background, a file dropped on the
// window, and a file named on the command line. Opening fills the input
// fields only, all of them or none; the user presses 输入数据 as before.
class InputTexts;

class SectionFiles : public QObject {
  Q_OBJECT

 public:
  // form is the window, inputs every input's text (its fields and dialogs).
  SectionFiles(QWidget& form, InputTexts& inputs, OperationRunner run_operation);

  // Fills the fields from the file; a bad file changes none and fails
  // naming the file, the key and the value. An optional input the file does
  // not give becomes absent; a main-window field it does not give keeps its
  // text.
  void Open(const std::string& file_name);
  // Writes every field's text as typed, the regional decimal symbol as ".".
  // A field that is not a number by its rule fails naming its label, key
  // and text, and no file is written or changed.
  void Save(const std::string& file_name);
  // `marrowick FILE`: opens the file named after the program, if any.
  void OpenFromCommandLine(const QStringList& arguments);

  QAction* SaveSection = nullptr;  // 保存截面
  QAction* OpenSection = nullptr;  // 打开截面

  // The file the fields were last opened from or saved to, while every field
  // still reads as it left them; empty once one has changed, or before either.
  std::string CurrentFile() const;

  // An entry of the background's context menu, after the section files'.
  void AddToBackgroundMenu(QAction* action);

  AskFileName AskSaveFileName;
  AskFileName AskOpenFileName;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& form_;
  InputTexts& inputs_;
  std::vector<QAction*> background_actions_;
  OperationRunner run_operation_;
  // The file and the fields' texts as it left them.
  void Remember(const std::string& file_name);

  std::string current_file_;
  std::array<QString, kFieldSlots> file_texts_;
};

}  // namespace marrowick
