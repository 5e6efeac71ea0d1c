#pragma once

#include <QString>
#include <array>
#include <string>

#include "section/input_fields.h"

class QWidget;

namespace marrowick {

// The text of every input as the user has typed it: the main window's twenty
// fields, read from their widgets, and the inputs edited in dialogs, held
// here. "输入数据" and the section files read and write them all alike.
class InputTexts {
 public:
  explicit InputTexts(QWidget& form) : form_(form) {}

  QString Text(Field field) const;
  void SetText(Field field, const QString& text);

  // Input N's text, as the section-model functions ask for it.
  std::string operator()(int field) const { return Text(static_cast<Field>(field)).toStdString(); }

 private:
  QWidget& form_;
  std::array<QString, kFieldSlots> others_;
};

}  // namespace marrowick
