#pragma once

#include <QDialog>
#include <QKeySequence>
#include <functional>
#include <vector>

#include "app/file_dialogs.h"
#include "section/input_fields.h"

class QAction;

namespace marrowick {

class InputTexts;

// A dialog of inputs, one row each: the input's label as the table gives it
// and an editor holding its text (a list for a word with choices, with an
// empty entry for an optional input left out). OK takes every text or none:
// a text its rule refuses is a failure naming the input, shown as every
// failure is, and the dialog stays open. Cancel changes nothing.
class InputDialog : public QDialog {
  Q_OBJECT

 public:
  InputDialog(QWidget* parent, const QString& title, std::vector<Field> fields, InputTexts& inputs,
              OperationRunner run_operation);

  // Checks every editor's text by its input's rule, then stores them all.
  void Apply();

  // The editor of an input (a QLineEdit, or a QComboBox for a word with
  // choices), and its text as typed.
  QWidget* Editor(Field field) const;
  QString EditorText(Field field) const;

 private:
  std::vector<Field> fields_;
  std::vector<QWidget*> editors_;
  InputTexts& inputs_;
};

// An action, for a context menu and with a shortcut, that opens the dialog
// of these inputs over the window.
QAction* InputDialogAction(QWidget& form, const char* name, const char* caption,
                           const QKeySequence& shortcut, std::vector<Field> fields,
                           InputTexts& inputs, OperationRunner run_operation);
// The same, with the inputs chosen each time the dialog opens.
QAction* InputDialogAction(QWidget& form, const char* name, const char* caption,
                           const QKeySequence& shortcut, std::function<std::vector<Field>()> fields,
                           InputTexts& inputs, OperationRunner run_operation);

}  // namespace marrowick
