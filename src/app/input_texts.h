#pragma once

#include <QString>
#include <array>
#include <functional>
#include <string>
#include <utility>

#include "section/input_fields.h"

class QWidget;

namespace marrowick {

// The text of every input as the user has typed it: the main window's twenty
// fields, read from their widgets, and the inputs edited in dialogs, held
// here. "输入数据" and the section files read and write them all alike.
//
// A circle shows its diameter, bar count and bar diameter in the fields of
// the width and of the bars in x; the texts of whichever outline is not
// shown are kept here, so that choosing the other outline and back brings
// every text back as it was.
class InputTexts {
 public:
  explicit InputTexts(QWidget& form);

  QString Text(Field field) const;
  void SetText(Field field, const QString& text);

  // The outline the fields show; the shape's text is "circular" or empty.
  bool Circular() const { return circular_; }
  void SetCircular(bool circular);
  // Told of every change of the outline, also one a section file makes.
  std::function<void(bool circular)> OutlineChanged;

  // Input N's text, as the section-model functions ask for it.
  std::string operator()(int field) const { return Text(static_cast<Field>(field)).toStdString(); }

 private:
  // The window field that shows the input now, 0 for none.
  int ShownIn(Field field) const;

  QWidget& form_;
  std::array<QString, kFieldSlots> others_;
  bool circular_ = false;
};

// The inputs a circle shows in a rectangle's fields: {rectangle's, circle's}.
inline constexpr std::pair<Field, Field> kSharedFields[] = {
    {Field::SectionWidth, Field::CircleDiameter},
    {Field::BarCountX, Field::CircleBarCount},
    {Field::BarDiameterX, Field::CircleBarDiameter},
};

}  // namespace marrowick
