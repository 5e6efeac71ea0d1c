// The drawing surface's tools: the readout under the pointer, the context
// menu's entries and the key-point marks, on charts drawn from recorder files
// written here.
#include "app/surface_tools.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolTip>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/image_control.h"
#include "charts/key_point_marks.h"
#include "core/decimal_symbol.h"
#include "recording_form.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

class ToolsForm : public testing::RecordingForm {
 public:
  SurfaceTools& Tools() { return *SurfaceTools1; }

  // The tooltip the surface shows with the pointer at (x, y), empty if none.
  QString ReadoutAt(int x, int y) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, QPoint(x, y), Image1->mapToGlobal(QPoint(x, y)));
    QApplication::sendEvent(Image1, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  }
};

int KeyPointPixels(const QImage& image) {
  int count = 0;
  const QRgb mark = qRgb(kKeyPointColor.R, kKeyPointColor.G, kKeyPointColor.B);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == mark;
  return count;
}

// Three steps: curvature 0 to 2e-6 across the plot box (x 80 to 391), the
// moment 10 to 50.5 (y 339 to 20); the middle step is the peak.
constexpr char kMomentCurvature[] = "10 0 \r\n50.5 1e-06 \r\n40 2e-06 \r\n";

// A sweep of three levels at -100, 100 and 300 kN whose peak moments are
// the level number followed by `fraction`.
void ThreeLevels(ToolsForm& form, const std::string& fraction) {
  form.State().AxialLevels = 2;
  form.State().TensionCapacity = 100;
  form.State().CompressionCapacity = -300;
  for (const std::string level : {"1", "2", "3"})
    WriteBytes("P" + level + "_mom_cur.out", level + fraction + " 0 \r\n");
}

struct SurfaceTest : ::testing::Test {
  testing::ScopedTempDir directory;
  ToolsForm form;
  void TearDown() override { SetRegionalDecimal('.'); }
};

TEST_F(SurfaceTest, ReadsThePointUnderThePointerOnEveryPicture) {
  SetRegionalDecimal(',');
  form.show();
  WriteBytes("mom_cur.out", kMomentCurvature);
  form.Press("Button4");
  // The middle step is at column Round(235.5) = 236, row 20.
  EXPECT_EQ(form.ReadoutAt(236, 27), "");  // 7 pixels off
  EXPECT_EQ(form.ReadoutAt(238, 23), QString::fromUtf8("曲率 1e-06 1/mm\n弯矩 50,5 kN·m"));

  // The middle level at mid height.
  ThreeLevels(form, ".25");
  form.Press("Button5");
  EXPECT_EQ(form.ReadoutAt(236, 180),
            QString::fromUtf8("第 2 级\n轴力 100 kN (受压为正)\n峰值弯矩 2,25 kN·m"));

  // The default section: a corner bar drawn at (158, 275) over concrete.
  SetRegionalDecimal('.');
  form.Press("Button6");
  form.Press("Button2");
  EXPECT_EQ(form.ReadoutAt(157, 274),
            QString::fromUtf8("角部钢筋\ny -265 mm\nz -215 mm\n面积 314 mm²"));
  EXPECT_EQ(form.shown, std::vector<std::string>{});
}

TEST_F(SurfaceTest, MenuEntriesCopyAndSaveWhatIsShown) {
  SurfaceTools& tools = form.Tools();
  const std::vector<QAction*> entries = {tools.CopyData, tools.SaveData, tools.SavePicture};
  for (QAction* entry : entries) EXPECT_FALSE(entry->isEnabled()) << "nothing drawn yet";
  EXPECT_TRUE(tools.ShowKeyPoints->isCheckable() && !tools.ShowKeyPoints->isChecked());
  std::vector<QString> captions;
  for (QAction* entry : tools.BuildMenu(&form)->actions())
    if (!entry->isSeparator()) captions.push_back(entry->text());
  EXPECT_EQ(captions, (std::vector<QString>{
                          QString::fromUtf8("复制数据"), QString::fromUtf8("保存数据…"),
                          QString::fromUtf8("保存图片…"), QString::fromUtf8("显示特征点"),
                          QString::fromUtf8("显示Mx-My曲线"), QString::fromUtf8("保存报告…")}));

  WriteBytes("mom_cur.out", kMomentCurvature);
  form.Press("Button4");
  for (QAction* entry : entries) EXPECT_TRUE(entry->isEnabled());
  QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(200, 100), QPoint(200, 100));
  QApplication::sendEvent(form.Image1, &right);  // a right click opens the menu
  ASSERT_NE(form.Image1->findChild<QMenu*>(), nullptr);
  EXPECT_EQ(form.Image1->findChild<QMenu*>()->actions().size(), 9);

  tools.CopyData->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "curvature_per_mm\tmoment_kNm\n0\t10\n1e-06\t50.5\n2e-06\t40\n");

  QString asked;
  tools.AskSaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
    asked = suggested;
    return QString::fromStdString((directory.Path() / suggested.toStdString()).string());
  };
  tools.SaveData->trigger();
  EXPECT_EQ(asked, "moment-curvature.csv");
  EXPECT_EQ(ReadBytes("moment-curvature.csv"),
            "curvature_per_mm,moment_kNm\r\n0,10\r\n1e-06,50.5\r\n2e-06,40\r\n");

  tools.SavePicture->trigger();
  const QImage saved("moment-curvature.png");
  ASSERT_EQ(saved.size(), QSize(471, 359));
  EXPECT_EQ(saved.pixel(236, 20), qRgb(255, 0, 0));  // the peak step, on the red curve
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), form.Image1->Surface().Image());

  // A chart that fails after its frame leaves nothing to act on.
  WriteBytes("mom_cur.out", "1 1 \r\n");
  form.Press("Button4");
  for (QAction* entry : entries) EXPECT_FALSE(entry->isEnabled());
  EXPECT_EQ(form.shown, std::vector<std::string>{"Invalid floating point operation."});
}

TEST_F(SurfaceTest, KeyPointMarksOnlyWhileSwitchedOn) {
  SurfaceTools& tools = form.Tools();
  WriteBytes("mom_cur.out", kMomentCurvature);
  form.Press("Button4");
  const QImage chart = form.Image1->Surface().Image();
  EXPECT_EQ(form.Image1->Shown(), chart);
  EXPECT_EQ(KeyPointPixels(chart), 0);

  tools.ShowKeyPoints->setChecked(true);
  EXPECT_GT(KeyPointPixels(form.Image1->Shown()), 0);
  EXPECT_EQ(form.Image1->Surface().Image(), chart) << "the chart itself is not drawn over";
  form.Press("Button4");  // and they stay on for later charts
  EXPECT_GT(KeyPointPixels(form.Image1->Shown()), 0);

  ThreeLevels(form, "");
  form.Press("Button5");
  EXPECT_GT(KeyPointPixels(form.Image1->Shown()), 0);

  tools.ShowKeyPoints->setChecked(false);
  EXPECT_EQ(form.Image1->Shown(), form.Image1->Surface().Image());
  EXPECT_EQ(form.shown, std::vector<std::string>{});
}

TEST_F(SurfaceTest, DefaultsReadWithACommaInACommaLocale) {
  SetRegionalDecimal(',');
  ToolsForm comma_form;
  EXPECT_EQ(comma_form.FieldText(2), "0,002");
  EXPECT_EQ(comma_form.FieldText(4), "0,0033");
  EXPECT_EQ(comma_form.FieldText(7), "0,0001");
  EXPECT_EQ(comma_form.FieldText(17), "0,00002");
  comma_form.Press("Button6");
  EXPECT_EQ(comma_form.shown, std::vector<std::string>{});
  EXPECT_EQ(comma_form.State().FiberCount, 250);
}

}  // namespace
}  // namespace marrowick
