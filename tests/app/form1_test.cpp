#include "app/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
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

#include "app/image_control.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "section/fiber_model.h"
#include "support/default_section.h"

namespace marrowick {
namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// A window whose message boxes are built as usual but noted instead of run,
// so that a test never waits for a person to press OK.
class RecordingForm : public TForm1 {
 public:
  struct Shown {
    QString title, text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QWidget* owner;
    Qt::WindowModality modality;
    Qt::TextFormat format;
  };
  std::vector<Shown> shown;

  template <typename Control>
  Control* Find(const char* name) {
    auto* control = findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Click(const char* button) { Find<QPushButton>(button)->click(); }
  void Type(int field, const char* text) {
    Find<QLineEdit>(("Edit" + std::to_string(field)).c_str())->setText(Text(text));
  }

 protected:
  void ExecMessageBox(QMessageBox& box) override {
    shown.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons(),
                     box.parentWidget(), box.windowModality(), box.textFormat()});
  }
};

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

  const Placement controls[] = {
      {"GroupBox1", "Form1", 8, 8, 233, 121},  {"GroupBox2", "Form1", 8, 136, 233, 97},
      {"ComboBox1", "Form1", 8, 240, 233, 22}, {"GroupBox3", "Form1", 8, 272, 233, 193},
      {"GroupBox4", "Form1", 248, 8, 233, 97}, {"GroupBox5", "Form1", 488, 8, 233, 97},
      {"Panel1", "Form1", 248, 112, 473, 361}, {"Image1", "Panel1", 1, 1, 471, 359},
      {"Image2", "Form1", 728, 8, 165, 38},    {"Button6", "Form1", 728, 56, 161, 25},
      {"Button2", "Form1", 728, 88, 161, 25},  {"Button7", "Form1", 728, 120, 161, 25},
      {"Button4", "Form1", 728, 152, 161, 25}, {"Button3", "Form1", 728, 184, 161, 25},
      {"Button5", "Form1", 728, 216, 161, 25}, {"StatusBar1", "Form1", 0, 479, 897, 19},
  };
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
  const std::pair<const char*, const char*> captions[] = {
      {"GroupBox1", "混凝土材料属性"}, {"GroupBox2", "钢筋材料属性"}, {"GroupBox3", "截面参数"},
      {"GroupBox4", "弯矩曲率分析"},   {"GroupBox5", "PMM分析"},
  };
  for (const auto& [name, caption] : captions)
    EXPECT_EQ(form.Find<QGroupBox>(name)->title(), Text(caption)) << name;

  const std::pair<const char*, const char*> buttons[] = {
      {"Button6", "输入数据"},
      {"Button2", "显示截面"},
      {"Button7", "OpenSEES弯矩曲率分析"},
      {"Button4", "显示弯矩曲率曲线"},
      {"Button3", "OpenSEES PM分析"},
      {"Button5", "显示PM曲线"},
  };
  for (const auto& [name, caption] : buttons)
    EXPECT_EQ(form.Find<QPushButton>(name)->text(), Text(caption)) << name;

  auto* shape = form.Find<QComboBox>("ComboBox1");
  EXPECT_FALSE(shape->isEditable());
  EXPECT_EQ(shape->count(), 1);
  EXPECT_EQ(shape->currentText(), Text("矩形柱"));
}

struct FieldRow {
  int edit;
  const char* group;
  int label;
  const char* caption;
  int label_left, label_top;
  int left, top, width;
  const char* text;
};

TEST(Form1, EveryFieldHasItsLabelPlaceAndDefaultText) {
  RecordingForm form;
  const FieldRow fields[] = {
      {1, "GroupBox1", 1, "极限强度(MPa)", 16, 24, 104, 16, 121, "35"},
      {2, "GroupBox1", 2, "极限强度应变", 16, 48, 104, 40, 121, "0.002"},
      {3, "GroupBox1", 4, "残余强度(MPa)", 16, 72, 104, 64, 121, "15"},
      {4, "GroupBox1", 3, "残余强度应变", 16, 96, 104, 88, 121, "0.0033"},
      {5, "GroupBox2", 5, "屈服强度(MPa)", 16, 24, 104, 16, 121, "300"},
      {6, "GroupBox2", 6, "弹性模型(MPa)", 16, 48, 104, 40, 121, "215000"},
      {7, "GroupBox2", 7, "硬化系数", 16, 72, 104, 64, 121, "0.0001"},
      {8, "GroupBox3", 8, "截面宽度B(mm)", 16, 24, 104, 16, 121, "500"},
      {9, "GroupBox3", 9, "截面宽度H(mm)", 16, 48, 104, 40, 121, "600"},
      {10, "GroupBox3", 10, "钢筋至边距as", 24, 72, 104, 64, 121, "35"},
      {19, "GroupBox3", 19, "角部钢筋直径", 24, 96, 104, 88, 121, "20"},
      {11, "GroupBox3", 11, "X方向钢筋", 40, 120, 104, 112, 49, "2"},
      {12, "GroupBox3", 12, "Φ", 160, 120, 176, 112, 49, "20"},
      {13, "GroupBox3", 13, "Y方向钢筋", 40, 144, 104, 136, 49, "2"},
      {14, "GroupBox3", 14, "Φ", 160, 144, 176, 136, 49, "20"},
      {18, "GroupBox3", 18, "划分单元大小", 24, 168, 104, 160, 121, "35"},
      {15, "GroupBox4", 15, "施加轴力(kN))", 24, 24, 104, 16, 121, "-1000"},
      {16, "GroupBox4", 16, "弯矩方向夹角", 24, 48, 104, 40, 121, "0"},
      {17, "GroupBox4", 17, "最大曲率限值", 24, 72, 104, 64, 121, "0.00002"},
      {20, "GroupBox5", 20, "轴压力分段", 32, 24, 104, 16, 121, "20"},
  };
  for (const FieldRow& field : fields) {
    SCOPED_TRACE("Edit" + std::to_string(field.edit));
    auto* edit = form.Find<QLineEdit>(("Edit" + std::to_string(field.edit)).c_str());
    auto* label = form.Find<QLabel>(("Label" + std::to_string(field.label)).c_str());
    ASSERT_TRUE(edit && label);
    EXPECT_EQ(edit->parentWidget()->objectName(), field.group);
    EXPECT_EQ(label->parentWidget()->objectName(), field.group);
    EXPECT_EQ(edit->geometry(), QRect(field.left, field.top, field.width, 22));
    EXPECT_EQ(label->pos(), QPoint(field.label_left, field.label_top));
    EXPECT_EQ(label->height(), 14);
    EXPECT_EQ(label->text(), Text(field.caption));
    EXPECT_EQ(edit->text(), Text(field.text));
    EXPECT_EQ(edit->isEnabled(), field.edit != 16);
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
  EXPECT_TRUE(form.State().TextLines.empty());
}

TEST(Form1, EnterDataCapturesTheDefaultsAndShowSectionDrawsThem) {
  RecordingForm form;
  form.Click("Button6");
  form.Click("Button2");
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
    form.Click("Button6");
    const AnalysisState before = form.State();
    form.Type(1, "40");   // read first: always new
    form.Type(20, "30");  // read last: never reached
    form.Type(bad.field, bad.text);
    form.Click("Button6");
    ASSERT_EQ(form.shown.size(), 1u);
    EXPECT_EQ(form.shown[0].text, Text(bad.shown));
    const AnalysisState& state = form.State();
    EXPECT_EQ(state.ConcreteStrength, 40);
    EXPECT_EQ(state.AxialLevels, before.AxialLevels);
    EXPECT_EQ(state.FiberCount, before.FiberCount);
    EXPECT_EQ(state.Fibers.size(), before.Fibers.size());
  }

  RecordingForm form;
  form.Type(19, "20.5");
  form.Click("Button6");
  EXPECT_TRUE(form.shown.empty());
  EXPECT_EQ(form.State().CornerBarDiameter, 20.5);
}

TEST(Form1, ShowSectionBeforeEnterDataReportsTheZeroSectionAndDrawsNothing) {
  RecordingForm form;
  form.Click("Button2");
  ASSERT_EQ(form.shown.size(), 1u);
  EXPECT_EQ(form.shown[0].text, "Floating point division by zero.");
  const QImage surface = form.Image1->grab().toImage();
  for (int y = 0; y < surface.height(); y += 7)
    for (int x = 0; x < surface.width(); x += 7) ASSERT_EQ(surface.pixelColor(x, y), Qt::white);

  // The window carries on: the next operations work as before.
  form.Click("Button6");
  form.Click("Button2");
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
  EXPECT_EQ(form.shown[0].text, "'' is not a valid floating point value.");
  // An empty system description leaves the blank after the period, and no
  // further period is added.
  EXPECT_EQ(form.shown[1].text,
            QString::fromStdString("Cannot open file \"" + here + "/mom_cur.out\". "));
  EXPECT_EQ(form.shown[2].text, "<b>typed</b> text.");
  EXPECT_EQ(form.shown[3].text, QString::fromLatin1(std::bad_alloc().what()) + ".");
  EXPECT_EQ(form.shown[4].text, "the solver vanished.");
  EXPECT_FALSE(form.shown[5].text.isEmpty());
  for (const auto& box : form.shown) {
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

}  // namespace
}  // namespace marrowick
