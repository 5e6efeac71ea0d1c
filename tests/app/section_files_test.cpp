// Section files in the window: save, open, the command line and a drop.
#include "app/section_files.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/report_tool.h"
#include "core/decimal_symbol.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::WriteBytes;

class FilesForm : public TForm1 {
 public:
  std::vector<std::string> shown;
  SectionFiles& Files() { return *SectionFiles1; }
  QLineEdit* Field(int number) {
    return findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(number));
  }
  std::vector<QString> Texts() {
    std::vector<QString> texts;
    for (int field = 1; field <= 20; ++field) texts.push_back(Field(field)->text());
    return texts;
  }

 protected:
  void ExecMessageBox(QMessageBox& box) override { shown.push_back(box.text().toStdString()); }
};

struct SectionFileTest : ::testing::Test {
  testing::ScopedTempDir directory;
  void TearDown() override { SetRegionalDecimal('.'); }
  QString Path(const char* name) {
    return QString::fromStdString((directory.Path() / name).string());
  }
};

TEST_F(SectionFileTest, SavedFieldsComeBackUnderACommaLocale) {
  SetRegionalDecimal(',');
  FilesForm typed;
  // Every field its own text, reals with the regional comma.
  for (int field = 1; field <= 20; ++field)
    if (field != 16)
      typed.Field(field)->setText(field == 11 || field == 12 || field == 13 || field == 14 ||
                                          field == 20
                                      ? QString::number(field + 1)
                                      : QStringLiteral("%1,25").arg(field));
  typed.Files().AskSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("column.ini");
  };
  typed.Files().SaveSection->trigger();
  EXPECT_NE(testing::ReadBytes("column.ini").find("peak_strength_MPa=1.25"), std::string::npos);

  FilesForm opened;
  opened.Files().AskOpenFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("column.ini");
  };
  opened.Files().OpenSection->trigger();
  EXPECT_EQ(opened.Texts(), typed.Texts());
  EXPECT_EQ(opened.windowTitle(), "QVL_Marrowick_by Tarvell_2011-10-30");
  EXPECT_EQ(opened.shown, std::vector<std::string>{});
  EXPECT_EQ(opened.Files().SaveSection->shortcut(), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(opened.Files().OpenSection->shortcut(), QKeySequence(QKeySequence::Open));

  // A right click on the background (a group box passes it on) offers both,
  // and after them the dialog of the design parameters and the report.
  QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
  QApplication::sendEvent(opened.findChild<QGroupBox*>(QStringLiteral("GroupBox1")), &right);
  const QMenu* menu = opened.findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  // After them, apart, the dialogs of the hoops and of the design code, then
  // the report.
  const QList<QAction*> entries = menu->actions();
  ASSERT_EQ(entries.size(), 6);
  EXPECT_EQ(entries.mid(0, 2),
            (QList<QAction*>{opened.Files().SaveSection, opened.Files().OpenSection}));
  EXPECT_TRUE(entries[2]->isSeparator());
  EXPECT_EQ(entries[3], opened.ConfinementDialog);
  EXPECT_EQ(entries[4]->text(), QString::fromUtf8("设计参数…"));
  EXPECT_EQ(entries[5], opened.Report1->SaveReport);
  EXPECT_EQ(opened.ConfinementDialog->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
}

// The hoops of the dialog go to [confinement], only those given; a window
// without hoops writes no such group, and opening that file clears them.
TEST_F(SectionFileTest, TheHoopsTravelInTheirOwnGroup) {
  SetRegionalDecimal(',');
  FilesForm typed;
  typed.Inputs().SetText(Field::HoopDiameter, QStringLiteral("10"));
  typed.Inputs().SetText(Field::HoopSpacing, QStringLiteral("100"));
  typed.Inputs().SetText(Field::HoopYieldStrength, QStringLiteral("300"));
  typed.Inputs().SetText(Field::HoopStrainAtMaxStress, QStringLiteral("0,09"));
  typed.Files().AskSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("hoops.ini");
  };
  typed.Files().SaveSection->trigger();
  FilesForm plain;
  plain.Files().AskSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("plain.ini");
  };
  plain.Files().SaveSection->trigger();
  EXPECT_TRUE(testing::ReadBytes("hoops.ini")
                  .ends_with("[confinement]\r\nhoop_diameter_mm=10\r\nhoop_spacing_mm=100\r\n"
                             "hoop_yield_strength_MPa=300\r\nhoop_strain_at_max_stress=0.09\r\n"))
      << testing::ReadBytes("hoops.ini");
  EXPECT_EQ(testing::ReadBytes("plain.ini").find("confinement"), std::string::npos);

  const auto open = [&](FilesForm& form, const char* file) {
    form.Files().AskOpenFileName = [&, file](QWidget*, const QString&, const QString&,
                                             const QString&) { return Path(file); };
    form.Files().OpenSection->trigger();
  };
  FilesForm opened;
  open(opened, "hoops.ini");
  for (const Field field : {Field::HoopDiameter, Field::HoopSpacing, Field::HoopYieldStrength,
                            Field::HoopLegsX, Field::HoopLegsY, Field::HoopStrainAtMaxStress})
    EXPECT_EQ(opened.Inputs().Text(field), typed.Inputs().Text(field)) << FieldNumber(field);
  open(opened, "plain.ini");
  EXPECT_EQ(opened.Inputs().Text(Field::HoopDiameter), QString());
  EXPECT_EQ(opened.shown, std::vector<std::string>{});
}

// 圆形柱 shows the circle in the width's and the x bars' fields; 矩形柱 brings
// back the window exactly; the files follow the list both ways.
TEST_F(SectionFileTest, TheShapeListSwapsTheCirclesFieldsAndFilesFollowIt) {
  FilesForm form;
  const auto window = [&form] {
    std::vector<QString> seen;
    for (int field = 1; field <= 20; ++field) {
      seen.push_back(form.Field(field)->text() + (form.Field(field)->isEnabled() ? "" : " off"));
      const auto* label = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(field));
      seen.push_back(label->text() + QString::number(label->width()));
    }
    return seen;
  };
  const std::vector<QString> rectangle = window();
  auto* shapes = form.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
  ASSERT_EQ(shapes->count(), 2);
  shapes->setCurrentIndex(1);
  EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label8"))->text(),
            QString::fromUtf8("直径D(mm)"));
  EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("Label11"))->text(),
            QString::fromUtf8("纵筋根数"));
  EXPECT_EQ(form.Field(8)->text() + form.Field(11)->text() + form.Field(12)->text(), "600820");
  for (const int unused : {9, 13, 14, 19}) EXPECT_FALSE(form.Field(unused)->isEnabled()) << unused;
  form.Field(8)->setText(QStringLiteral("800"));
  form.Files().AskSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("circle.ini");
  };
  form.Files().SaveSection->trigger();
  const std::string bytes = testing::ReadBytes("circle.ini");
  EXPECT_NE(bytes.find("[section]\r\nshape=circular\r\ndiameter_mm=800\r\ncover_mm=35\r\nbars=8\r\n"
                       "bar_diameter_mm=20\r\nfiber_size_mm=35\r\n"),
            std::string::npos)
      << bytes;
  EXPECT_EQ(bytes.find("width_mm"), std::string::npos);
  shapes->setCurrentIndex(0);
  EXPECT_EQ(window(), rectangle);

  FilesForm opened;
  opened.Files().AskOpenFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("circle.ini");
  };
  opened.Files().OpenSection->trigger();
  EXPECT_EQ(opened.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex(), 1);
  EXPECT_EQ(opened.Field(8)->text(), QStringLiteral("800"));
  EXPECT_EQ(opened.shown, std::vector<std::string>{});
}

TEST_F(SectionFileTest, ABadFileChangesNoFieldAndNamesTheKey) {
  FilesForm form;
  const std::vector<QString> defaults = form.Texts();
  WriteBytes("bad.ini", "[concrete]\npeak_strength_MPa=40\n[section]\nwidth_mm=abc\n");
  form.Files().AskOpenFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("bad.ini");
  };
  form.Files().OpenSection->trigger();
  EXPECT_EQ(form.Texts(), defaults);
  ASSERT_EQ(form.shown.size(), 1u);
  for (const std::string& part :
       {(directory.Path() / "bad.ini").string(), std::string("width_mm"), std::string("abc")})
    EXPECT_NE(form.shown[0].find(part), std::string::npos) << form.shown[0];
}

TEST_F(SectionFileTest, ASaveWithAnEmptyFieldNamesItAndKeepsThePreviousFile) {
  WriteBytes("column.ini", "[section]\nwidth_mm=450\n");
  FilesForm form;
  form.Field(1)->clear();
  form.Files().AskSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&) {
    return Path("column.ini");
  };
  form.Files().SaveSection->trigger();
  EXPECT_EQ(form.shown,
            std::vector<std::string>{"The section is not saved: 极限强度(MPa) ([concrete] "
                                     "peak_strength_MPa) = '': not a valid floating "
                                     "point value."});
  EXPECT_EQ(testing::ReadBytes("column.ini"), "[section]\nwidth_mm=450\n");
}

TEST_F(SectionFileTest, OpensTheFileNamedAtStartOrDropped) {
  WriteBytes("a.ini", "[section]\nwidth_mm=450\n");
  WriteBytes("b.ini", "[analysis]\naxial_segments=12\n");
  FilesForm form;
  form.Files().OpenFromCommandLine({QStringLiteral("marrowick"), Path("a.ini")});
  EXPECT_EQ(form.Field(8)->text(), "450");

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("b.ini"))});
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  EXPECT_EQ(form.Field(20)->text(), "12");
  EXPECT_EQ(form.Field(8)->text(), "450");
  EXPECT_EQ(form.shown, std::vector<std::string>{});
}

}  // namespace
}  // namespace marrowick
