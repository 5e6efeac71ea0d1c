#include "app/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <vector>

#include "app/form1_layout.h"
#include "app/image_control.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "recording_form.h"
#include "section/fiber_model.h"
#include "section/section_input.h"
#include "support/default_section.h"

namespace marrowick {
namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

using testing::RecordingForm;

struct Placement {
  const char* name;
  const char* parent;
  int left, top, width, height;
};

TEST(Form1, EveryControlSitsAtItsDesignPlace) {
  RecordingForm form;
  EXPECT_EQ(form.objectName(), "Form1");
  EXPECT_EQ(form.windowTitle(), "QVL_Marrowick_by Tarvell_2011-10-30");
  EXPECT_EQ(form.size(), QSize(897, 498));
  EXPECT_EQ(form.font().family(), "Arial");
  EXPECT_EQ(form.font().pixelSize(), 11);

  std::vector<Placement> controls = {
      {"ComboBox1", "Form1", 8, 240, 233, 22},  {"Panel1", "Form1", 248, 112, 473, 361},
      {"Image1", "Panel1", 1, 1, 471, 359},     {"Image2", "Form1", 728, 8, 165, 38},
      {"StatusBar1", "Form1", 0, 479, 897, 19},
  };
  const std::string group_names[] = {"",          "GroupBox1", "GroupBox2",
                                     "GroupBox3", "GroupBox4", "GroupBox5"};
  for (const GroupLayout& group : kGroups)
    controls.push_back({group_names[group.number].c_str(), "Form1", group.left, group.top,
                        group.width, group.height});
  for (const ButtonLayout& button : kButtons)
    controls.push_back(
        {button.name, "Form1", kButtonLeft, button.top, kButtonWidth, kButtonHeight});
  ASSERT_EQ(controls.size(), 16u);
  for (const Placement& control : controls) {
    SCOPED_TRACE(control.name);
    auto* widget = form.Find<QWidget>(control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), control.parent);
    EXPECT_EQ(widget->geometry(), QRect(control.left, control.top, control.width, control.height));
  }
}

TEST(Form1, CaptionsAreTheDesignTexts) {
  RecordingForm form;
  for (const GroupLayout& group : kGroups) {
    const std::string name = "GroupBox" + std::to_string(group.number);
    EXPECT_EQ(form.Find<QGroupBox>(name.c_str())->title(), Text(group.caption)) << name;
  }
  for (const ButtonLayout& button : kButtons)
    EXPECT_EQ(form.Find<QPushButton>(button.name)->text(), Text(button.caption)) << button.name;

  auto* shape = form.Find<QComboBox>("ComboBox1");
  EXPECT_FALSE(shape->isEditable());
  // The second entry, 圆形柱, is there since circular columns are modelled.
  EXPECT_EQ(shape->count(), 2);
  EXPECT_EQ(shape->itemText(1), Text("圆形柱"));
  EXPECT_EQ(shape->currentText(), Text("矩形柱"));
}

TEST(Form1, EveryFieldHasItsLabelPlaceAndDefaultText) {
  RecordingForm form;
  ASSERT_EQ(std::size(kFields), 20u);
  for (const FieldLayout& field : kFields) {
    SCOPED_TRACE("Edit" + std::to_string(field.edit));
    const QString group = QStringLiteral("GroupBox%1").arg(field.group);
    auto* edit = form.Find<QLineEdit>(("Edit" + std::to_string(field.edit)).c_str());
    auto* label = form.Find<QLabel>(("Label" + std::to_string(field.label)).c_str());
    ASSERT_TRUE(edit && label);
    EXPECT_EQ(edit->parentWidget()->objectName(), group);
    EXPECT_EQ(label->parentWidget()->objectName(), group);
    EXPECT_EQ(edit->geometry(), QRect(field.left, field.top, field.width, 22));
    EXPECT_EQ(label->pos(), QPoint(field.label_left, field.label_top));
    EXPECT_EQ(label->height(), 14);
    EXPECT_EQ(label->text(), Text(field.caption));
    EXPECT_EQ(edit->text(), Text(kDefaultFieldTexts[field.edit]));
    EXPECT_TRUE(edit->isEnabled());  // the bending angle too, since it bends the section
  }
}

TEST(Form1, TabGoesThroughTheGroupsInTheirDesignOrder) {
  RecordingForm form;
  const char* const expected[] = {
      "Edit1",   "Edit2",   "Edit3",     "Edit4",   "Edit5",   "Edit6",  "Edit7",
      "Edit8",   "Edit9",   "Edit10",    "Edit11",  "Edit12",  "Edit13", "Edit14",
      "Edit18",  "Edit19",  "ComboBox1", "Edit15",  "Edit16",  "Edit17", "Button2",
      "Button3", "Button4", "Button5",   "Button6", "Button7", "Edit20",
  };
  auto* first = form.Find<QWidget>("Edit1");
  std::vector<QString> chain;
  QWidget* widget = first;
  do {
    if (widget->focusPolicy() & Qt::TabFocus) chain.push_back(widget->objectName());
    widget = widget->nextInFocusChain();
  } while (widget != first && chain.size() < 100);
  ASSERT_EQ(chain.size(), std::size(expected));
  for (std::size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(chain[i], expected[i]) << i;
}

TEST(Form1, OnlyTheStatusBarFollowsAResize) {
  RecordingForm form;
  form.show();
  form.resize(1000, 600);
  QApplication::processEvents();
  EXPECT_EQ(form.Find<QStatusBar>("StatusBar1")->geometry(), QRect(0, 581, 1000, 19));
  EXPECT_EQ(form.Find<QWidget>("Panel1")->geometry(), QRect(248, 112, 473, 361));
  EXPECT_EQ(form.Find<QWidget>("Button5")->geometry(), QRect(728, 216, 161, 25));

  const auto panels = form.Find<QStatusBar>("StatusBar1")->findChildren<QLabel*>();
  ASSERT_EQ(panels.size(), 2);
  EXPECT_EQ(panels[0]->text(), "Website");
  EXPECT_EQ(panels[0]->width(), 60);
  EXPECT_TRUE(panels[1]->text().startsWith("https://"));
}

TEST(Form1, TheLogoIsTheBuiltInJpegAndTheSurfaceStartsBlank) {
  RecordingForm form;
  EXPECT_TRUE(form.shown.empty());
  const QPixmap logo = form.Find<QLabel>("Image2")->pixmap();
  EXPECT_EQ(logo.size(), QSize(165, 38));
  EXPECT_NE(logo.toImage().pixel(5, 5), qRgb(255, 255, 255));

  const QImage surface = form.Image1->grab().toImage();
  EXPECT_EQ(surface.size(), QSize(471, 359));
  EXPECT_EQ(surface.pixelColor(0, 0), Qt::white);
  EXPECT_EQ(surface.pixelColor(470, 358), Qt::white);
}

TEST(Form1, EnterDataCapturesTheDefaultsAndShowSectionDrawsThem) {
  RecordingForm form;
  form.Press("Button6");
  form.Press("Button2");
  EXPECT_TRUE(form.shown.empty());

  AnalysisState expected;
  testing::SetDefaultParameters(expected);
  BuildFiberModel(expected);
  const AnalysisState& state = form.State();
  EXPECT_EQ(state.ConcreteStrength, expected.ConcreteStrength);
  EXPECT_EQ(state.ConcreteUltimateStrain, expected.ConcreteUltimateStrain);
  EXPECT_EQ(state.SteelModulus, expected.SteelModulus);
  EXPECT_EQ(state.BarCountY, expected.BarCountY);
  EXPECT_EQ(state.BarDiameterX, expected.BarDiameterX);
  EXPECT_EQ(state.AxialLoad, expected.AxialLoad);
  EXPECT_EQ(state.CurvatureLimit, expected.CurvatureLimit);
  EXPECT_EQ(state.AxialLevels, expected.AxialLevels);
  EXPECT_EQ(state.FiberCount, 250);
  EXPECT_EQ(state.TensionCapacity, expected.TensionCapacity);
  EXPECT_EQ(state.DrawScale, 0.359);

  // What the window shows is what the surface holds: the blue corner bar of
  // slot 248 inside its black ring, the white surface in its black frame.
  const QImage shown = form.Image1->grab().toImage();
  EXPECT_EQ(shown.pixelColor(158, 84), QColor(0, 0, 255));
  EXPECT_EQ(shown.pixelColor(155, 84), Qt::black);
  EXPECT_EQ(shown.pixelColor(0, 100), Qt::black);
  EXPECT_EQ(shown.pixelColor(1, 100), Qt::white);
}

struct BadText {
  int field;
  const char* text;
  const char* shown;
};

TEST(Form1, ABadFieldIsShownAndLeavesThePartialState) {
  const BadText cases[] = {
      {9, "6OO", "'6OO' is not a valid floating point value."},
      {12, "20.5", "'20.5' is not a valid integer value."},
      {18, "", "'' is not a valid floating point value."},
      {20, "12 ", "'12 ' is not a valid integer value."},
      {8, "1e400", "Floating point overflow."},
  };
  for (const BadText& bad : cases) {
    SCOPED_TRACE(bad.shown);
    RecordingForm form;
    form.Press("Button6");
    const AnalysisState before = form.State();
    form.Type(1, "40");   // read first: always new
    form.Type(20, "30");  // read last: never reached
    form.Type(bad.field, bad.text);
    form.Press("Button6");
    ASSERT_EQ(form.shown.size(), 1u);
    EXPECT_EQ(form.boxes[0].text, Text(bad.shown));
    const AnalysisState& state = form.State();
    EXPECT_EQ(state.ConcreteStrength, 40);
    EXPECT_EQ(state.AxialLevels, before.AxialLevels);
    EXPECT_EQ(state.FiberCount, before.FiberCount);
    EXPECT_EQ(state.Fibers.size(), before.Fibers.size());
  }

  RecordingForm form;
  form.Type(19, "20.5");
  form.Press("Button6");
  EXPECT_TRUE(form.shown.empty());
  EXPECT_EQ(form.State().CornerBarDiameter, 20.5);
}

TEST(Form1, ShowSectionBeforeEnterDataReportsTheZeroSectionAndDrawsNothing) {
  RecordingForm form;
  form.Press("Button2");
  ASSERT_EQ(form.shown.size(), 1u);
  EXPECT_EQ(form.boxes[0].text, "Floating point division by zero.");
  const QImage surface = form.Image1->grab().toImage();
  for (int y = 0; y < surface.height(); y += 7)
    for (int x = 0; x < surface.width(); x += 7) ASSERT_EQ(surface.pixelColor(x, y), Qt::white);

  // The window carries on: the next operations work as before.
  form.Press("Button6");
  form.Press("Button2");
  EXPECT_EQ(form.shown.size(), 1u);
  EXPECT_EQ(form.State().DrawScale, 0.359);
}

TEST(Form1, TheFailureBoxIsAStopBoxWithTheApplicationTitleAndOneOk) {
  RecordingForm form;
  form.RunOperation([] { FailRealConversion(""); });
  form.RunOperation([] { FailFileOpen("mom_cur.out", std::string()); });
  form.RunOperation([] { FailInvalidInput("<b>typed</b> text"); });
  form.RunOperation([] { throw std::bad_alloc(); });
  form.RunOperation([] { throw std::runtime_error("the solver vanished"); });
  form.RunOperation([] { throw 42; });
  ASSERT_EQ(form.shown.size(), 6u);

  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(form.boxes[0].text, "'' is not a valid floating point value.");
  // An empty system description leaves the blank after the period, and no
  // further period is added.
  EXPECT_EQ(form.boxes[1].text,
            QString::fromStdString("Cannot open file \"" + here + "/mom_cur.out\". "));
  EXPECT_EQ(form.boxes[2].text, "<b>typed</b> text.");
  EXPECT_EQ(form.boxes[3].text, QString::fromLatin1(std::bad_alloc().what()) + ".");
  EXPECT_EQ(form.boxes[4].text, "the solver vanished.");
  EXPECT_FALSE(form.boxes[5].text.isEmpty());
  for (const auto& box : form.boxes) {
    EXPECT_EQ(box.title, "Marrowick");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.owner, &form);
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
    EXPECT_EQ(box.format, Qt::PlainText);
  }
}

// Presses OK on every message box that comes up and notes its text, the way
// a person would.
class BoxDismisser {
 public:
  BoxDismisser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible()) continue;
        texts.push_back(box->text());
        box->button(QMessageBox::Ok)->click();
      }
    });
    timer_.start(5);
  }
  std::vector<QString> texts;

 private:
  QTimer timer_;
};

TEST(Form1, TwoFailuresInARowGiveTwoRealBoxesAndTheWindowCarriesOn) {
  TForm1 form;
  form.show();
  BoxDismisser person;
  auto* show_section = form.findChild<QPushButton*>("Button2");
  show_section->click();
  form.RunOperation([] { throw std::bad_alloc(); });
  ASSERT_EQ(person.texts.size(), 2u);
  EXPECT_EQ(person.texts[0], "Floating point division by zero.");
  EXPECT_EQ(person.texts[1], QString::fromLatin1(std::bad_alloc().what()) + ".");

  form.findChild<QPushButton*>("Button6")->click();
  show_section->click();
  EXPECT_EQ(person.texts.size(), 2u);
  EXPECT_EQ(form.State().FiberCount, 250);
}

TEST(Form1, ALocaleChangeRereadsTheDecimalSymbolAndKeepsTheCLibraryOnPoints) {
  RecordingForm form;
  SetRegionalDecimal(',');
  QEvent change(QEvent::LocaleChange);
  QApplication::sendEvent(&form, &change);
  // The test runs in a locale whose decimal symbol is a point.
  EXPECT_EQ(RegionalDecimal(), '.');
  EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

// Texts that cannot be typed but can be pasted into a field: the failure box
// quotes them whole, whatever bytes they hold.
TEST(PastedText, ControlCharactersAndNulAreQuotedWholeInTheBox) {
  const QString texts[] = {
      QString(QChar(u'\0')) + QStringLiteral("35"),
      QStringLiteral("3") + QChar(u'\0') + QStringLiteral("5"),
      QStringLiteral("35\x01\x1b"),
  };
  for (const QString& text : texts) {
    RecordingForm form;
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
