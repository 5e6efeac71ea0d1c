// 保存报告… in the window, on charts drawn from the recorder files OpenSees
// wrote for the default section.
#include "app/report_tool.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <cstdlib>
#include <filesystem>

#include "app/section_files.h"
#include "app/surface_tools.h"
#include "recording_form.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

namespace fs = std::filesystem;

std::string PdfText(const std::string& file) {
  EXPECT_EQ(std::system(("pdftotext -layout " + file + " out.txt").c_str()), 0);
  return testing::ReadBytes("out.txt");
}

TEST(ReportTool, ReportsTheChartsDrawnSinceTheLastEntry) {
  const testing::ScopedTempDir directory;
  const fs::path reference = fs::path(MARROWICK_TEST_DATA) / "../engine/data/reference";
  testing::RecordingForm form;
  QAction* save = form.Report1->SaveReport;
  form.Report1->AskSaveFileName = [](QWidget*, const QString&, const QString& suggested,
                                     const QString&) { return suggested; };
  EXPECT_TRUE(form.SurfaceTools1->BuildMenu(&form)->actions().contains(save));
  EXPECT_FALSE(save->isEnabled());

  testing::WriteBytes("C1.ini", "[analysis]\naxial_force_kN=-1000\n");
  form.SectionFiles1->Open("C1.ini");
  form.Press("Button6");  // 输入数据
  fs::copy_file(reference / "default-mk/mom_cur.out.expected", "mom_cur.out");
  form.Press("Button5");  // 显示PM曲线, before any level file: fails, no N-M part
  form.Press("Button4");  // 显示弯矩曲率曲线
  ASSERT_TRUE(save->isEnabled());
  save->trigger();
  std::string text = PdfText("report.pdf");
  EXPECT_NE(text.find("C1.ini"), std::string::npos);
  EXPECT_NE(text.find("未进行 PM 分析"), std::string::npos);

  for (int level = 1; level <= 21; ++level)
    fs::copy_file(reference / ("default-sweep/P" + std::to_string(level) + "_mom_cur.out.expected"),
                  "P" + std::to_string(level) + "_mom_cur.out");
  form.Press("Button5");
  save->trigger();
  text = PdfText("report.pdf");
  EXPECT_EQ(text.find("未进行 PM 分析"), std::string::npos);
  EXPECT_NE(text.find("第 21 级（N = 11630 kN）：求解器未找到平衡"), std::string::npos) << text;

  // Typed fields have no file, and a new entry waits for its own chart.
  form.Type(1, "40");
  form.Press("Button6");
  EXPECT_FALSE(save->isEnabled());
  form.Press("Button4");
  save->trigger();
  text = PdfText("report.pdf");
  EXPECT_NE(text.find("未命名"), std::string::npos);
  EXPECT_NE(text.find("未进行 PM 分析"), std::string::npos);
  EXPECT_EQ(form.shown.size(), 1u);  // the N-M curve without level files
}

}  // namespace
}  // namespace marrowick
