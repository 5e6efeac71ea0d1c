// Texts that cannot be typed but can be pasted into a field: the failure box
// quotes them whole, whatever bytes they hold.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/form1.h"

namespace marrowick {
namespace {

class BoxTextForm : public TForm1 {
 public:
  std::vector<std::string> shown;

 protected:
  void ExecMessageBox(QMessageBox& box) override { shown.push_back(box.text().toStdString()); }
};

TEST(PastedText, ControlCharactersAndNulAreQuotedWholeInTheBox) {
  const QString texts[] = {
      QString(QChar(u'\0')) + QStringLiteral("35"),
      QStringLiteral("3") + QChar(u'\0') + QStringLiteral("5"),
      QStringLiteral("35\x01\x1b"),
  };
  for (const QString& text : texts) {
    BoxTextForm form;
    auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    edit->clear();
    QApplication::clipboard()->setText(text);
    edit->paste();
    ASSERT_EQ(edit->text(), text);
    form.findChild<QPushButton*>(QStringLiteral("Button6"))->click();
    ASSERT_EQ(form.shown.size(), 1u);
    EXPECT_EQ(form.shown[0], ("'" + text + "' is not a valid floating point value.").toStdString());
  }
}

}  // namespace
}  // namespace marrowick
