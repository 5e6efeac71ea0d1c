// The whole road as a new user takes it: the default section, the bundled
// solver, both analyses and both charts, in an empty working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/image_control.h"
#include "app/surface_tools.h"
#include "charts/section_view.h"
#include "charts/shown_picture.h"
#include "core/decimal_symbol.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "recording_form.h"
#include "solver_wait.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::RecordingForm;
using testing::SolverRun;

// PATH as on a machine without OpenSees, so the bundled solver beside the
// executable is the one started; restored afterwards.
class PathWithoutOpenSees {
 public:
  PathWithoutOpenSees() {
    if (const char* path = std::getenv("PATH")) saved_ = path;
    setenv("PATH", "/usr/bin:/bin", 1);
  }
  ~PathWithoutOpenSees() { setenv("PATH", saved_.c_str(), 1); }
  PathWithoutOpenSees(const PathWithoutOpenSees&) = delete;
  PathWithoutOpenSees& operator=(const PathWithoutOpenSees&) = delete;

 private:
  std::string saved_;
};

std::filesystem::path ExecutableDirectory() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Red within two pixels of (x, y): the pen is two pixels wide.
bool RedNear(const QImage& image, int x, int y) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      if (image.valid(x + dx, y + dy) && QColor(image.pixel(x + dx, y + dy)) == QColor(255, 0, 0))
        return true;
  return false;
}

Lines FileLines(const std::string& name) {
  Lines lines;
  LoadLines(lines, name);
  return lines;
}

constexpr auto kSolverPatience = std::chrono::seconds(30);

std::string Unfinished(const std::vector<SolverRun>& runs) {
  std::string names;
  for (const SolverRun& run : runs) names += " " + run.script;
  return names;
}

TEST(EndToEnd, DefaultSectionThroughBothAnalysesWithTheBundledSolver) {
  ASSERT_FALSE(std::filesystem::exists("/usr/bin/opensees.exe") ||
               std::filesystem::exists("/bin/opensees.exe"))
      << "an opensees.exe on the system path would stand in for the bundled solver";
  ASSERT_TRUE(std::filesystem::exists(ExecutableDirectory() / "marrowick-solver"))
      << "marrowick-solver is not built beside " << ExecutableDirectory();
  const PathWithoutOpenSees path;
  const testing::ScopedTempDir directory;
  RecordingForm form;
  form.show();

  form.Press("Button6");  // 输入数据
  form.Press("Button2");  // 显示截面
  form.Press("Button7");  // OpenSEES弯矩曲率分析
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  const auto still_running = testing::WaitForSolvers({{"os.tcl", "mom_cur.out"}}, kSolverPatience);
  ASSERT_TRUE(still_running.empty()) << "the solver did not finish:" << Unfinished(still_running);
  EXPECT_FALSE(std::filesystem::exists("os.tcl"));
  EXPECT_EQ(FileLines("mom_cur.out").size(), 100u);

  form.Press("Button4");  // 显示弯矩曲率曲线
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  // The first step has the least moment and curvature: the curve rises from
  // the plot box's bottom-left corner to its top edge.
  const QImage chart = form.Image1->grab().toImage();
  EXPECT_TRUE(RedNear(chart, 80, 339));
  bool reaches_top = false;
  for (int x = 80; x <= chart.width() - 80; ++x) reaches_top = reaches_top || RedNear(chart, x, 20);
  EXPECT_TRUE(reaches_top);

  form.Press("Button3");  // OpenSEES PM分析
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  const auto sweep_running = testing::WaitForSolvers(testing::SweepRuns(21), kSolverPatience);
  ASSERT_TRUE(sweep_running.empty()) << "solvers did not finish:" << Unfinished(sweep_running);
  for (int level = 1; level <= 21; ++level)
    EXPECT_TRUE(std::filesystem::exists("P" + std::to_string(level) + "_mom_cur.out")) << level;

  form.Press("Button5");  // 显示PM曲线
  ASSERT_EQ(form.shown, std::vector<std::string>{});

  const Lines curve = FileLines("m-n.out");
  ASSERT_EQ(curve.size(), 22u);
  EXPECT_EQ(curve[0], "N-M curve data: ");
  EXPECT_EQ(curve[1].substr(curve[1].find(',')), ",-1.130E+003");
  EXPECT_EQ(curve[21].substr(curve[21].find(',')), ",1.163E+004");

  std::string curve_text;
  for (const std::string& line : curve) curve_text += line + "\n";
  SCOPED_TRACE("m-n.out:\n" + curve_text);
  std::vector<double> moments, forces;
  for (std::size_t i = 1; i < curve.size(); ++i) {
    const std::size_t comma = curve[i].find(',');
    ASSERT_NE(comma, std::string::npos) << curve[i];
    moments.push_back(ParseReal(curve[i].substr(0, comma), kFileDecimal));
    forces.push_back(ParseReal(curve[i].substr(comma + 1), kFileDecimal));
  }
  // Evenly stepped from full tension to full compression, 638.04 kN apart
  // (four significant digits written).
  for (std::size_t i = 0; i < forces.size(); ++i)
    EXPECT_NEAR(forces[i], -1130.4 + 638.04 * static_cast<double>(i),
                std::max(5e-4 * std::abs(forces[i]), 0.5))
        << "level " << i + 1;

  // A sound interaction curve: the largest moment at an intermediate
  // compression (the balance point), rising to it from full tension and
  // falling from it to full compression, where the section carries next to
  // no moment.
  const auto peak = std::max_element(moments.begin(), moments.end());
  const auto peak_level = peak - moments.begin();
  EXPECT_GT(forces[peak_level], 0.2 * forces.back());
  EXPECT_LT(forces[peak_level], 0.6 * forces.back());
  EXPECT_LT(moments.front(), 0.05 * *peak);
  EXPECT_LT(moments.back(), 0.05 * *peak);
  for (auto it = moments.begin(); it != peak; ++it) EXPECT_LT(*it, *(it + 1)) << *it;
  for (auto it = peak; it + 1 != moments.end(); ++it) EXPECT_GT(*it, *(it + 1)) << *it;
}

// 显示Mx-My曲线 starts its 24 runs and returns at once; the window draws the
// contour when the event loop has seen the last one end.
TEST(EndToEnd, TheContourIsDrawnOnceItsRunsHaveEnded) {
  const PathWithoutOpenSees path;
  const testing::ScopedTempDir directory;
  RecordingForm form;
  form.show();
  form.Press("Button6");  // 输入数据
  form.SurfaceTools1->ShowContour->trigger();
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  EXPECT_TRUE(std::filesystem::exists("A24.tcl") || std::filesystem::exists("A24_mom_cur.out"));
  const auto deadline = std::chrono::steady_clock::now() + kSolverPatience;
  while (form.SurfaceTools1->Picture().kind != ShownPicture::Kind::Contour &&
         std::chrono::steady_clock::now() < deadline)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  const ShownPicture& contour = form.SurfaceTools1->Picture();
  ASSERT_EQ(contour.kind, ShownPicture::Kind::Contour);
  ASSERT_EQ(contour.count, 24);
  // At 0° the moment is about x alone; at 90° about y alone.
  EXPECT_GT(contour.y[1], 0);
  EXPECT_EQ(contour.x[1], 0);
  EXPECT_GT(contour.x[7], 0);
  EXPECT_NEAR(contour.y[7], 0, 1e-9);
  const QImage chart = form.Image1->grab().toImage();
  const ChartPixel first = PointPixel(contour, 1);
  EXPECT_TRUE(RedNear(chart, first.X, first.Y));
}

// The window does not watch its solvers: a test waits until no other process
// works in the directory.
bool NoOtherProcessIn(const std::filesystem::path& directory) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;  // "self"
    std::error_code error;
    const auto cwd = std::filesystem::read_symlink(entry.path() / "cwd", error);
    if (!error && cwd == directory && pid != std::to_string(::getpid())) return false;
  }
  return true;
}

TEST(EndToEnd, ASolverThatRefusesTheSectionLeavesNoEarlierResultToChart) {
  const PathWithoutOpenSees path;
  const testing::ScopedTempDir directory;
  std::ofstream("mom_cur.out", std::ios::binary) << "1 2 \r\n3 4 \r\n";  // an earlier run's
  RecordingForm form;
  form.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("0"));
  form.Press("Button6");  // 输入数据
  form.Press("Button7");  // OpenSEES弯矩曲率分析: no concrete strength, refused
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  const auto deadline = std::chrono::steady_clock::now() + kSolverPatience;
  while (!NoOtherProcessIn(directory.Path()) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(std::filesystem::exists("os.tcl")) << "the solver stopped before its end";
  EXPECT_FALSE(std::filesystem::exists("mom_cur.out"));

  form.Press("Button4");  // 显示弯矩曲率曲线
  EXPECT_EQ(form.shown, std::vector<std::string>{"Cannot open file \"" +
                                                 (directory.Path() / "mom_cur.out").string() +
                                                 "\". No such file or directory."});
}

// The default section under 3000 kN with the hoops of the dialog (Φ10 at
// 100, fyh 300, a crosstie each way): an orange core inside the hoop
// centreline, and a curve that ends where the core's edge crushes.
TEST(EndToEnd, ConfinedSectionFromTheHoopsDialogsInputs) {
  const PathWithoutOpenSees path;
  const testing::ScopedTempDir directory;
  RecordingForm form;
  form.show();
  const std::pair<Field, const char*> hoops[] = {{Field::HoopDiameter, "10"},
                                                 {Field::HoopSpacing, "100"},
                                                 {Field::HoopYieldStrength, "300"},
                                                 {Field::HoopLegsX, "4"},
                                                 {Field::HoopLegsY, "4"}};
  for (const auto& [field, text] : hoops) form.Inputs().SetText(field, QString::fromLatin1(text));
  form.Type(15, "-3000");
  form.Type(17, "0.0001");
  form.Press("Button6");  // 输入数据
  form.Press("Button2");  // 显示截面
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  EXPECT_TRUE(Readout(form.SurfaceTools1->Picture(), 1).starts_with("核心混凝土(约束)\n"));
  // Scale 0.6·359/600: the hoop's top edge at row 179.5 − 280·0.359 = 79,
  // from column 235.5 − 230·0.359 = 153 to 318.
  const QImage section = form.Picture();
  const ChartPixel core = FiberPixel(form.State().Fibers[100], form.State().DrawScale, 471, 359);
  EXPECT_EQ(section.pixel(core.X, core.Y), qRgb(255, 160, 0));
  for (int x = 153; x <= 318; ++x) EXPECT_EQ(section.pixel(x, 79), qRgb(0, 0, 255)) << x;

  form.Press("Button7");  // OpenSEES弯矩曲率分析
  const auto running = testing::WaitForSolvers({{"os.tcl", "mom_cur.out"}}, kSolverPatience);
  ASSERT_TRUE(running.empty()) << "the solver did not finish:" << Unfinished(running);
  form.Press("Button4");  // 显示弯矩曲率曲线
  ASSERT_EQ(form.shown, std::vector<std::string>{});
  const MomentCurvatureKeyPoints keys = PictureKeyPoints(form.SurfaceTools1->Picture());
  EXPECT_EQ(keys.UltimateBy, UltimateCriterion::CoreStrain);
  EXPECT_GT(keys.Ultimate.value().CurvaturePerMm, 5e-5);
}

}  // namespace
}  // namespace marrowick
