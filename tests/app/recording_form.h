#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/image_control.h"

namespace marrowick::testing {

// The window with its message boxes built as usual but noted instead of run,
// so that a test never waits for a person to press OK.
class RecordingForm : public TForm1 {
 public:
  struct Box {
    QString title, text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QWidget* owner;
    Qt::WindowModality modality;
    Qt::TextFormat format;
  };
  std::vector<std::string> shown;  // the text of every box, in order
  std::vector<Box> boxes;          // every box as it was built

  template <typename Control>
  Control* Find(const char* name) {
    auto* control = findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Press(const char* button) { Find<QPushButton>(button)->click(); }
  void Type(int field, const char* text) { Edit(field)->setText(QString::fromUtf8(text)); }
  QString FieldText(int field) { return Edit(field)->text(); }
  QImage Picture() const { return Image1->Surface().Image(); }
  // Boxes that are not a stop box titled "Marrowick" with one OK.
  int WrongBoxes() const {
    int wrong = 0;
    for (const Box& box : boxes)
      wrong += box.title != QStringLiteral("Marrowick") || box.icon != QMessageBox::Critical ||
               box.buttons != QMessageBox::Ok;
    return wrong;
  }

 protected:
  void ExecMessageBox(QMessageBox& box) override {
    shown.push_back(box.text().toStdString());
    boxes.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons(),
                     box.parentWidget(), box.windowModality(), box.textFormat()});
  }

 private:
  QLineEdit* Edit(int field) { return Find<QLineEdit>(("Edit" + std::to_string(field)).c_str()); }
};

}  // namespace marrowick::testing
