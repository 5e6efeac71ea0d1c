#include "app/input_texts.h"

#include <QLineEdit>
#include <QWidget>

#include "core/decimal_symbol.h"

namespace marrowick {

namespace {

QLineEdit* WindowField(QWidget& form, int edit) {
  return form.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(edit));
}

}  // namespace

InputTexts::InputTexts(QWidget& form) : form_(form) {
  // A circle's inputs start at their defaults, which the fields show once
  // the circle is chosen.
  for (const InputField& entry : kInputFields)
    if (entry.edit == 0 && entry.default_text)
      others_.at(static_cast<std::size_t>(FieldNumber(entry.id))) =
          QString::fromStdString(WithRegionalDecimal(entry.default_text));
}

int InputTexts::ShownIn(Field field) const {
  for (const auto& [rectangle, circle] : kSharedFields) {
    if (field == rectangle) return circular_ ? 0 : InputFieldOf(rectangle).edit;
    if (field == circle) return circular_ ? InputFieldOf(rectangle).edit : 0;
  }
  return InputFieldOf(field).edit;
}

QString InputTexts::Text(Field field) const {
  if (field == Field::SectionShape)
    return circular_ ? QString::fromLatin1(kCircularShape) : QString();
  const int edit = ShownIn(field);
  if (edit > 0) return WindowField(form_, edit)->text();
  return others_.at(static_cast<std::size_t>(FieldNumber(field)));
}

void InputTexts::SetText(Field field, const QString& text) {
  if (field == Field::SectionShape) {
    SetCircular(CircularShape(text.toStdString()).value_or(false));
    return;
  }
  const int edit = ShownIn(field);
  if (edit > 0)
    WindowField(form_, edit)->setText(text);
  else
    others_.at(static_cast<std::size_t>(FieldNumber(field))) = text;
}

void InputTexts::SetCircular(bool circular) {
  if (circular == circular_) return;
  // The field's text goes aside with the outline leaving, the other's comes back.
  for (const auto& [rectangle, circle] : kSharedFields) {
    QLineEdit* field = WindowField(form_, InputFieldOf(rectangle).edit);
    const Field leaving = circular ? rectangle : circle;
    const Field coming = circular ? circle : rectangle;
    others_.at(static_cast<std::size_t>(FieldNumber(leaving))) = field->text();
    field->setText(others_.at(static_cast<std::size_t>(FieldNumber(coming))));
  }
  circular_ = circular;
  if (OutlineChanged) OutlineChanged(circular);
}

}  // namespace marrowick
