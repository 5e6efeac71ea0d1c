#include "app/input_texts.h"

#include <QLineEdit>
#include <QWidget>

namespace marrowick {

namespace {

QLineEdit* WindowField(QWidget& form, int edit) {
  return form.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(edit));
}

}  // namespace

QString InputTexts::Text(Field field) const {
  const int edit = InputFieldOf(field).edit;
  if (edit > 0) return WindowField(form_, edit)->text();
  return others_.at(static_cast<std::size_t>(FieldNumber(field)));
}

void InputTexts::SetText(Field field, const QString& text) {
  const int edit = InputFieldOf(field).edit;
  if (edit > 0)
    WindowField(form_, edit)->setText(text);
  else
    others_.at(static_cast<std::size_t>(FieldNumber(field))) = text;
}

}  // namespace marrowick
