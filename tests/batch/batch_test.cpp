// marrowick-batch from the outside: it is run as a user runs it, and what it
// leaves is compared with what the window's own operations make.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <set>
#include <sstream>
#include <thread>

#include "batch/batch_options.h"
#include "charts/image_canvas.h"
#include "charts/interaction_curve.h"
#include "charts/moment_curvature_chart.h"
#include "charts/mx_my_chart.h"
#include "charts/section_view.h"
#include "core/failure.h"
#include "core/text_file.h"
#include "results/key_points.h"
#include "section/section_input.h"
#include "solver/axial_sweep.h"
#include "solver/moment_curvature_run.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

extern char** environ;

namespace marrowick {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

void WriteProgram(const fs::path& path, const std::string& text) {
  WriteBytes(path.string(), text);
  fs::permissions(path, fs::perms::owner_all);
}

// marrowick-batch started with PATH as on a machine without OpenSees, its
// standard error kept in "batch.err".
class BatchProcess {
 public:
  explicit BatchProcess(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), MARROWICK_BATCH_PROGRAM);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen"};
    // The sanitizers' settings reach the batch and its solvers as in the other tests.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
      if (const char* value = std::getenv(name))
        environment.push_back(std::string(name) + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "batch.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
  }
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

int RunBatch(const std::vector<std::string>& arguments) {
  return BatchProcess(arguments).Wait();
}

// The state "输入数据" leaves for the window's default texts with some changed.
AnalysisState EnteredState(const std::map<int, std::string>& changed) {
  AnalysisState state;
  EnterSectionData(state, [&](int field) {
    return changed.count(field) ? changed.at(field) : std::string(kDefaultFieldTexts[field]);
  });
  return state;
}

std::vector<std::vector<double>> CsvRows(const std::string& file, const std::string& header) {
  Lines lines;
  LoadLines(lines, file);
  EXPECT_EQ(lines.at(0), header);
  std::vector<std::vector<double>> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::istringstream cells(lines[i]);
    std::vector<double> row;
    for (std::string cell; std::getline(cells, cell, ',');)
      row.push_back(std::strtod(cell.c_str(), nullptr));
    rows.push_back(row);
  }
  return rows;
}

// A PNG's pixels in the canvas's format, whatever form the file stores them in.
QImage Picture(const char* file) {
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

void ExpectPoint(const QJsonValue& json, const std::optional<CurvaturePoint>& point) {
  ASSERT_EQ(json.isNull(), !point.has_value());
  if (!point) return;
  EXPECT_EQ(json["curvature_per_mm"].toDouble(), point->CurvaturePerMm);
  EXPECT_EQ(json["moment_kNm"].toDouble(), point->MomentKNm);
}

struct Section {
  const char* name;
  const char* ini;
  std::map<int, std::string> fields;  // the texts it changes, by EditN
};

const Section kSections[] = {
    {"default", "; every field at its default\n", {}},
    {"wide",
     "[section]\nwidth_mm=400\nheight_mm=700\nbars_x=3\nbar_diameter_x_mm=25\nfiber_size_mm=50\n"
     "[analysis]\naxial_force_kN=-500\naxial_segments=8\n",
     {{8, "400"}, {9, "700"}, {11, "3"}, {12, "25"}, {18, "50"}, {15, "-500"}, {20, "8"}}},
    {"strong",
     "[concrete]\npeak_strength_MPa=40\n[steel]\nyield_strength_MPa=400\n"
     "[section]\ncorner_bar_diameter_mm=22.5\n[analysis]\nmax_curvature_per_mm=3e-5\n"
     "axial_segments=12\n",
     {{1, "40"}, {5, "400"}, {19, "22.5"}, {17, "3e-5"}, {20, "12"}}},
};

TEST(Batch, EverySectionGivesTheWindowsFilesAndPictures) {
  testing::ScopedTempDir dir;
  // The solver keeps a copy of its script, which it deletes at its end.
  WriteProgram("keep.sh", std::string("#!/bin/sh\n/bin/cp \"$1\" \"$1.kept\"\nexec ") +
                              MARROWICK_SOLVER_PROGRAM + " \"$1\"\n");
  std::vector<std::string> arguments = {"--out", "out", "--jobs", "2", "--solver", "keep.sh"};
  for (const Section& section : kSections) {
    WriteBytes(std::string(section.name) + ".ini", section.ini);
    arguments.push_back(std::string(section.name) + ".ini");
  }
  ASSERT_EQ(RunBatch(arguments), 0) << ReadBytes("batch.err");

  // The window's script operations, with a solver that does nothing.
  fs::create_directories("window/bin");
  WriteProgram("window/bin/opensees.exe", "#!/bin/sh\nexit 0\n");
  const std::string path = std::getenv("PATH");
  setenv("PATH", (dir.Path() / "window/bin").c_str(), 1);
  for (const Section& section : kSections) {
    SCOPED_TRACE(section.name);
    const fs::path folder = dir.Path() / "out" / section.name;
    AnalysisState state = EnteredState(section.fields);
    fs::current_path(dir.Path() / "window");
    RunMomentCurvature(state);
    RunAxialSweep(state);
    std::size_t scripts = 0;
    for (const fs::directory_entry& kept : fs::directory_iterator(folder))
      scripts += kept.path().extension() == ".kept";
    // The moment-curvature run, the levels and the contour's 24 runs.
    EXPECT_EQ(scripts, static_cast<std::size_t>(state.AxialLevels) + 2 + 24);
    for (const fs::directory_entry& script : fs::directory_iterator(".")) {
      if (script.path().extension() != ".tcl") continue;
      EXPECT_EQ(ReadBytes((folder / script.path().filename()).string() + ".kept"),
                ReadBytes(script.path().string()))
          << script.path();
      fs::remove(script.path());
    }

    fs::current_path(folder);
    const std::string batch_mn = ReadBytes("m-n.out");
    ImageCanvas window(471, 359);
    DrawSectionView(state, window);
    EXPECT_EQ(Picture("section.png"), window.Image());
    ShowMomentCurvatureChart(state, window);
    EXPECT_EQ(Picture("moment-curvature.png"), window.Image());
    ShowInteractionCurve(state, window);
    EXPECT_EQ(Picture("interaction.png"), window.Image());
    EXPECT_EQ(ReadBytes("m-n.out"), batch_mn);
    ShowMxMyContour(state, window);
    EXPECT_EQ(Picture("mx-my.png"), window.Image());

    // The tables hold the very doubles the window read and computed.
    const auto bending = CsvRows("moment-curvature.csv", "curvature_per_mm,moment_kNm");
    ASSERT_EQ(bending.size(), static_cast<std::size_t>(state.SeriesCount));
    for (std::size_t i = 0; i < bending.size(); ++i)
      EXPECT_EQ(bending[i], (std::vector{state.CurvatureSeries[i + 1], state.MomentSeries[i + 1]}));
    // The contour's run at 0° is the moment-curvature run: it reaches its peak.
    const auto contour = CsvRows("mx-my.csv", "angle_deg,axial_force_kN,mz_kNm,my_kNm");
    ASSERT_EQ(contour.size(), 24u);
    EXPECT_EQ(contour[0],
              (std::vector<double>{
                  0, state.AxialLoad,
                  *std::max_element(state.MomentSeries.begin() + 1, state.MomentSeries.end()), 0}));
    const auto levels = CsvRows("interaction.csv", "level,axial_force_kN,peak_moment_kNm");
    ASSERT_EQ(levels.size(), static_cast<std::size_t>(state.AxialLevels) + 1);
    for (std::size_t i = 0; i < levels.size(); ++i)
      EXPECT_EQ(levels[i],
                (std::vector<double>{static_cast<double>(i + 1), state.LevelForces[i + 1],
                                     state.PeakMoments[i + 1]}));
    const auto fibers = CsvRows("fibers.csv", "kind,y_mm,z_mm,area_mm2");
    Lines fiber_lines;
    LoadLines(fiber_lines, "fibers.csv");
    ASSERT_EQ(fibers.size(), static_cast<std::size_t>(state.FiberCount));
    for (std::size_t i = 0; i < fibers.size(); ++i) {
      const TFiber& fiber = state.Fibers[i + 1];
      const char* kind = fiber.CornerBar     ? "corner_bar,"
                         : fiber.MatTag == 1 ? "concrete,"
                                             : "side_bar,";
      EXPECT_TRUE(fiber_lines[i + 1].starts_with(kind)) << fiber_lines[i + 1];
      EXPECT_EQ(fibers[i], (std::vector<double>{0, fiber.Y, fiber.X, fiber.Area}));
    }

    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes("summary.json"))).object();
    EXPECT_EQ(summary["inputs"].toObject().size(), 19);
    EXPECT_EQ(summary["inputs"]["axial_segments"].toInt(), state.AxialLevels);
    EXPECT_EQ(summary["fiber_count"].toInt(), state.FiberCount);
    EXPECT_EQ(summary["compression_capacity_kN"].toDouble(), -state.CompressionCapacity);
    const auto points =
        FindMomentCurvatureKeyPoints(std::span<const double>(state.CurvatureSeries).subspan(1),
                                     std::span<const double>(state.MomentSeries).subspan(1));
    const QJsonValue json_points = summary["key_points"]["moment_curvature"];
    ExpectPoint(json_points["peak"], points.Peak);
    ExpectPoint(json_points["yield"], points.Yield);
    ExpectPoint(json_points["ultimate"], points.Ultimate);
    EXPECT_EQ(json_points["ductility"].toDouble(), points.Ductility.value_or(0));
    const auto curve_points =
        FindInteractionKeyPoints(std::span<const double>(state.LevelForces).subspan(1),
                                 std::span<const double>(state.PeakMoments).subspan(1));
    const QJsonValue balanced = summary["key_points"]["interaction"]["balanced"];
    EXPECT_EQ(balanced["level"].toInt(), curve_points.Balanced.value().Level);
    EXPECT_EQ(balanced["moment_kNm"].toDouble(), curve_points.Balanced->MomentKNm);
    EXPECT_EQ(summary["key_points"]["interaction"]["pure_bending_moment_kNm"].toDouble(),
              curve_points.PureBendingMomentKNm.value_or(0));
  }
  setenv("PATH", path.c_str(), 1);
  fs::current_path(dir.Path());

  // Without --solver the bundled solver beside the program runs, as for the window.
  ASSERT_EQ(RunBatch({"--out", "bundled", "default.ini"}), 0) << ReadBytes("batch.err");
  EXPECT_EQ(ReadBytes("bundled/default/m-n.out"), ReadBytes("out/default/m-n.out"));
}

// The default section under 3000 kN bent to 1e-4 /mm, without and with Φ10
// hoops at 100 and a crosstie each way: unconfined, the moment falls to 0.8
// of its peak soon after the concrete crushes; the confined core carries the
// section until its edge reaches εcu.
TEST(Batch, AConfinedCoreCarriesTheSectionFurtherAndIsReported) {
  testing::ScopedTempDir dir;
  const std::string analysis = "[analysis]\naxial_force_kN=-3000\nmax_curvature_per_mm=1e-4\n";
  WriteBytes("plain.ini", analysis);
  WriteBytes("confined.ini", analysis +
                                 "[confinement]\nhoop_diameter_mm=10\nhoop_spacing_mm=100\n"
                                 "hoop_yield_strength_MPa=300\nhoop_legs_x=4\nhoop_legs_y=4\n");
  ASSERT_EQ(RunBatch({"plain.ini", "confined.ini"}), 0) << ReadBytes("batch.err");
  const auto summary = [](const char* name) {
    return QJsonDocument::fromJson(
               QByteArray::fromStdString(ReadBytes(std::string(name) + "/summary.json")))
        .object();
  };
  const QJsonObject plain = summary("plain");
  const QJsonObject confined = summary("confined");

  EXPECT_FALSE(plain.contains("confinement"));
  EXPECT_FALSE(plain["key_points"]["moment_curvature"].toObject().contains("ultimate_criterion"));
  EXPECT_EQ(confined["inputs"]["hoop_legs_x"].toInt(), 4);
  const QJsonObject core = confined["confinement"].toObject();
  EXPECT_EQ(core.keys(),
            (QStringList{"Ec_MPa", "core_height_mm", "core_width_mm", "ecc", "ecu", "fcc_MPa",
                         "fl_x_MPa", "fl_y_MPa", "ke", "rho_cc", "rho_x", "rho_y"}));
  EXPECT_NEAR(core["fcc_MPa"].toDouble(), 43.4008, 1e-4);  // worked in the confinement test
  EXPECT_NEAR(confined["compression_capacity_kN"].toDouble(), 13794.458, 1e-3);

  const QJsonValue bending = confined["key_points"]["moment_curvature"];
  EXPECT_EQ(bending["ultimate_criterion"].toString(), QStringLiteral("core_strain"));
  EXPECT_GT(bending["ultimate"]["curvature_per_mm"].toDouble(),
            3 * plain["key_points"]["moment_curvature"]["ultimate"]["curvature_per_mm"].toDouble());
  Lines steps, deformations, fibers;
  LoadLines(steps, "confined/mom_cur.out");
  LoadLines(deformations, "confined/mom_cur_deformation.out");
  EXPECT_EQ(deformations.size(), steps.size());
  LoadLines(fibers, "confined/fibers.csv");
  EXPECT_EQ(std::count_if(fibers.begin(), fibers.end(),
                          [](const std::string& row) { return row.starts_with("core_concrete,"); }),
            13 * 16);

  // The contour's runs, most of them in space, take the confined core too:
  // at every angle it carries more than the plain section.
  const std::string columns = "angle_deg,axial_force_kN,mz_kNm,my_kNm";
  const auto plain_contour = CsvRows("plain/mx-my.csv", columns);
  const auto confined_contour = CsvRows("confined/mx-my.csv", columns);
  ASSERT_EQ(confined_contour.size(), 24u);
  ASSERT_EQ(plain_contour.size(), 24u);
  for (std::size_t k = 0; k < 24; ++k)
    EXPECT_GT(std::hypot(confined_contour[k][2], confined_contour[k][3]),
              std::hypot(plain_contour[k][2], plain_contour[k][3]))
        << confined_contour[k][0];
  EXPECT_TRUE(fs::exists("confined/report.pdf"));
}

// The circular column of the reference runs (circle-spiral), with its spiral
// and with circular hoops at the same pitch: the batch's scripts give the
// recorder files OpenSees wrote, and the summary and the study name the
// shape and the circle's own inputs only.
TEST(Batch, ACircularColumnRunsAsOpenSeesRanIt) {
  testing::ScopedTempDir dir;
  const std::string circle =
      "[section]\nshape=circular\ndiameter_mm=600\ncover_mm=50\nbars=12\nbar_diameter_mm=22\n"
      "fiber_size_mm=40\n[analysis]\naxial_force_kN=-3000\nmax_curvature_per_mm=1e-4\n"
      "[confinement]\nhoop_diameter_mm=10\nhoop_spacing_mm=75\nhoop_yield_strength_MPa=400\n";
  WriteBytes("spiral.ini", circle + "transverse=spiral\n");
  WriteBytes("hoops.ini", circle);
  ASSERT_EQ(RunBatch({"spiral.ini", "hoops.ini"}), 0) << ReadBytes("batch.err");
  const fs::path reference =
      fs::path(MARROWICK_TEST_DATA) / "../engine/data/reference/circle-spiral";
  for (const char* recorder : {"mom_cur.out", "P16_mom_cur.out"}) {
    Lines got, want;
    LoadLines(got, std::string("spiral/") + recorder);
    LoadLines(want, (reference / (std::string(recorder) + ".expected")).string());
    ASSERT_EQ(got.size(), want.size()) << recorder;
    for (std::size_t i = 0; i < got.size(); ++i) {
      std::istringstream got_line(got[i]), want_line(want[i]);
      for (double g, w; want_line >> w && got_line >> g;)
        EXPECT_NEAR(g, w, 1e-5 * std::fabs(w) + 1e-12) << recorder << " line " << i + 1;
    }
  }
  const auto summary = [](const char* name) {
    return QJsonDocument::fromJson(
               QByteArray::fromStdString(ReadBytes(std::string(name) + "/summary.json")))
        .object();
  };
  const QJsonObject spiral = summary("spiral");
  EXPECT_EQ(spiral["shape"].toString(), QStringLiteral("circular"));
  EXPECT_FALSE(spiral["inputs"].toObject().contains("width_mm"));
  const QJsonObject core = spiral["confinement"].toObject();
  EXPECT_EQ(core.keys(), (QStringList{"Ec_MPa", "core_diameter_mm", "ecc", "ecu", "fcc_MPa",
                                      "fl_MPa", "ke", "rho_cc", "rho_s"}));
  EXPECT_NEAR(core["fcc_MPa"].toDouble(), 44.4960, 1e-4);  // worked in the confinement test
  // Separate hoops arch twice between them: less confinement at the same pitch.
  const QJsonObject hoops = summary("hoops");
  EXPECT_LT(hoops["confinement"]["fcc_MPa"].toDouble(), core["fcc_MPa"].toDouble());

  Lines study;
  LoadLines(study, "study.csv");
  ASSERT_EQ(study.size(), 3u);
  EXPECT_NE(study[0].find(",shape,width_mm,height_mm,diameter_mm,"), std::string::npos);
  EXPECT_NE(study[1].find(",circular,,,600,50,"), std::string::npos) << study[1];
}

// A square section with the same bars on every face bends alike about
// either axis: a quarter turn gives the same resultant curve. At 30° the CSV
// carries both components and the resultant is made of them.
TEST(Batch, AtAnAngleTheCurvesAreThoseOfTheResultantMoment) {
  testing::ScopedTempDir dir;
  const std::string square =
      "[section]\nwidth_mm=500\nheight_mm=500\nfiber_size_mm=50\n[analysis]\naxial_segments=4\n";
  WriteBytes("square.ini", square);
  WriteBytes("turned.ini", square + "bending_angle_deg=90\n");
  WriteBytes("skew.ini", "[analysis]\nbending_angle_deg=30\naxial_segments=4\n");
  ASSERT_EQ(RunBatch({"--out", "out", "square.ini", "turned.ini", "skew.ini"}), 0)
      << ReadBytes("batch.err");

  const auto close = [](const std::vector<std::vector<double>>& a,
                        const std::vector<std::vector<double>>& b, std::size_t columns) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
      for (std::size_t k = 0; k < columns; ++k)
        EXPECT_NEAR(a[i][k], b[i][k], 1e-9 * std::fabs(b[i][k])) << i << "," << k;
  };
  const std::string components =
      "curvature_per_mm,moment_kNm,mz_kNm,my_kNm,curvature_z_per_mm,curvature_y_per_mm";
  close(CsvRows("out/turned/moment-curvature.csv", components),
        CsvRows("out/square/moment-curvature.csv", "curvature_per_mm,moment_kNm"), 2);
  const std::string levels = "level,axial_force_kN,peak_moment_kNm";
  close(CsvRows("out/turned/interaction.csv", levels),
        CsvRows("out/square/interaction.csv", levels), 3);

  // The square's contour is symmetric about both axes and both diagonals:
  // the same resultant at θ, −θ, 180° − θ and 90° − θ.
  const auto contour = CsvRows("out/square/mx-my.csv", "angle_deg,axial_force_kN,mz_kNm,my_kNm");
  ASSERT_EQ(contour.size(), 24u);
  const auto resultant = [&](int k) {
    const auto& row = contour[static_cast<std::size_t>((k % 24 + 24) % 24)];
    return std::hypot(row[2], row[3]);
  };
  for (int k = 0; k < 24; ++k) {
    const double r = resultant(k);
    EXPECT_GT(r, 0);
    for (int mirror : {-k, 12 - k, 6 - k}) EXPECT_NEAR(resultant(mirror), r, 1e-6 * r) << k;
  }

  const auto skew = CsvRows("out/skew/moment-curvature.csv", components);
  ASSERT_EQ(skew.size(), 100u);  // every step converges
  for (const auto& row : skew) {
    EXPECT_DOUBLE_EQ(row[1], std::hypot(row[2], row[3]));
    EXPECT_NEAR(row[3] * 866000, row[2] * 500000, 1e-9 * std::fabs(row[2]));
    EXPECT_NEAR(row[0], row[4] * std::cos(M_PI / 6) + row[5] * std::sin(M_PI / 6), 1e-15);
  }
  const QJsonObject summary =
      QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes("out/skew/summary.json")))
          .object();
  EXPECT_EQ(summary["inputs"]["bending_angle_deg"].toDouble(), 30);
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& file : fs::directory_iterator(folder))
    names.insert(file.path().filename().string());
  return names;
}

TEST(Batch, ARerunLeavesOnlyItsOwnFilesAndABadFileFailsByItsLine) {
  testing::ScopedTempDir dir;
  WriteBytes("c.ini", "[analysis]\naxial_segments=4\n");
  ASSERT_EQ(RunBatch({"c.ini"}), 0) << ReadBytes("batch.err");
  // The engineer's own notes, and what a killed run can leave behind.
  for (const char* file : {"notes.txt", "P12.tcl", "P12_mom_cur.out", "P0.tcl", "Px.tcl", "os.tcl"})
    WriteBytes("c/" + std::string(file), "x");
  WriteBytes("c.ini", "[analysis]\naxial_segments=2\n");
  ASSERT_EQ(RunBatch({"c.ini"}), 0) << ReadBytes("batch.err");
  std::set<std::string> names = {
      "P0.tcl",    "P1_mom_cur.out", "P2_mom_cur.out",       "P3_mom_cur.out",
      "Px.tcl",    "fibers.csv",     "interaction.csv",      "interaction.png",
      "m-n.out",   "mom_cur.out",    "moment-curvature.csv", "moment-curvature.png",
      "notes.txt", "report.pdf",     "section.png",          "summary.json",
      "mx-my.csv", "mx-my.png"};
  for (int run = 1; run <= 24; ++run) names.insert("A" + std::to_string(run) + "_mom_cur.out");
  EXPECT_EQ(Names("c"), names);
  // The report is left out on request, and an earlier run's goes.
  ASSERT_EQ(RunBatch({"--no-report", "c.ini"}), 0) << ReadBytes("batch.err");
  EXPECT_FALSE(fs::exists("c/report.pdf"));

  // Past a NUL the file said width_mm=abc: the section fails by that line
  // instead of running with the width before it.
  WriteBytes("nul.ini", std::string("[section]\nwidth_mm=450\n\0width_mm=abc\n", 37));
  EXPECT_EQ(RunBatch({"nul.ini"}), 1);
  EXPECT_NE(ReadBytes("batch.err")
                .find("nul.ini: failed: Section file \"" + (dir.Path() / "nul.ini").string() +
                      "\", line 3: a NUL byte at column 1; a section file is UTF-8 text"),
            std::string::npos)
      << ReadBytes("batch.err");
}

// Every file of a folder tree, by its path inside it.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& file : fs::recursive_directory_iterator(root))
    if (file.is_regular_file())
      files[fs::relative(file.path(), root).string()] = ReadBytes(file.path().string());
  // Rows come in the order sections end.
  files.erase("study.csv");
  return files;
}

// The bundled solver inside the batch against the same program as a process:
// sweeps with levels that find no equilibrium, fail midway or meet a
// singular matrix (two sections that parted ways with OpenSees), and a
// section the solver refuses.
TEST(Batch, TheSolverInsideTheBatchWritesWhatItsProcessWrites) {
  testing::ScopedTempDir dir;
  WriteBytes("default.ini", "");
  WriteBytes("r061.ini",
             "[concrete]\npeak_strength_MPa=30\npeak_strain=0.0015\nresidual_strength_MPa=8.8\n"
             "residual_strain=0.0035\n[steel]\nyield_strength_MPa=235\nhardening_ratio=0.005\n"
             "elastic_modulus_MPa=200000\n[section]\nwidth_mm=300\nheight_mm=700\ncover_mm=25\n"
             "corner_bar_diameter_mm=28\nbars_x=5\nbar_diameter_x_mm=12\nbars_y=6\n"
             "bar_diameter_y_mm=10\nfiber_size_mm=80\n[analysis]\naxial_force_kN=-1226\n"
             "max_curvature_per_mm=0.00016\naxial_segments=10\n");
  WriteBytes("r062.ini",
             "[concrete]\npeak_strength_MPa=20\nresidual_strength_MPa=0.5\nresidual_strain=0.005\n"
             "[steel]\nyield_strength_MPa=500\nelastic_modulus_MPa=206000\nhardening_ratio=0.0\n"
             "[section]\nwidth_mm=350\ncover_mm=50\ncorner_bar_diameter_mm=12\nbars_x=6\n"
             "bars_y=5\nbar_diameter_y_mm=25\nfiber_size_mm=20\n[analysis]\n"
             "axial_force_kN=-1996\nmax_curvature_per_mm=5e-06\naxial_segments=8\n");
  WriteBytes("zero.ini", "[concrete]\npeak_strength_MPa=0\n[analysis]\naxial_segments=2\n");
  // Both analyses in space, beside the contour's runs that every section has.
  WriteBytes("skew.ini", "[analysis]\nbending_angle_deg=30\naxial_segments=4\n");
  const std::vector<std::string> files = {"default.ini", "r061.ini", "r062.ini", "zero.ini",
                                          "skew.ini"};
  // The reports name the solver that ran and the minute: compared elsewhere.
  std::vector<std::string> inside = {"--out", "inside", "--no-report"},
                           process = {"--out", "process", "--no-report", "--solver",
                                      MARROWICK_SOLVER_PROGRAM};
  inside.insert(inside.end(), files.begin(), files.end());
  process.insert(process.end(), files.begin(), files.end());
  ASSERT_EQ(RunBatch(process), 1);
  const std::string process_report = ReadBytes("batch.err");
  ASSERT_EQ(RunBatch(inside), 1);
  const std::string inside_report = ReadBytes("batch.err");

  const auto inside_files = Tree("inside"), process_files = Tree("process");
  EXPECT_GT(process_files.size(), 50u);
  for (const auto& [name, bytes] : process_files) {
    ASSERT_EQ(inside_files.count(name), 1u) << name;
    EXPECT_TRUE(inside_files.at(name) == bytes) << name;
  }
  EXPECT_EQ(inside_files.size(), process_files.size());
  // Whichever of its runs ends first names the failure.
  for (const std::string& report : {process_report, inside_report}) {
    const std::size_t line = report.find("zero.ini: failed: ");
    ASSERT_NE(line, std::string::npos) << report;
    const std::string failure = report.substr(line, report.find('\n', line) - line);
    EXPECT_NE(failure.find(".tcl): the solver exited with status 1: marrowick-solver: "),
              std::string::npos)
        << failure;
    EXPECT_NE(failure.find(".tcl line 7: uniaxialMaterial: FPC and EPSC0 must not be zero"),
              std::string::npos)
        << failure;
  }

  // Variants of a section share their sweep's scripts (its levels follow the
  // capacities, not the applied force): inside the batch each is run once,
  // and the other sections get that run's files and outcome, r061's levels
  // that find no equilibrium cut short and zero.ini's refusal alike.
  const std::vector<std::string> study = {"--no-report", "--vary", "axial_force_kN=-1226:-1026:100",
                                          "r061.ini", "zero.ini"};
  inside = {"--out", "inside-study"};
  process = {"--out", "process-study", "--solver", MARROWICK_SOLVER_PROGRAM};
  inside.insert(inside.end(), study.begin(), study.end());
  process.insert(process.end(), study.begin(), study.end());
  ASSERT_EQ(RunBatch(process), 1);
  const std::string process_study = ReadBytes("batch.err");
  ASSERT_EQ(RunBatch(inside), 1);
  const std::string inside_study = ReadBytes("batch.err");
  const auto inside_study_files = Tree("inside-study");
  EXPECT_TRUE(inside_study_files == Tree("process-study"));
  EXPECT_EQ(inside_study_files.count("r061@axial_force_kN=-1026/P11_mom_cur.out"), 1u);
  // r061's later variants take all 11 levels from the first one's runs.
  int repeated = 0, runs = 0;
  const std::size_t tally =
      inside_study.rfind("marrowick-batch: ", inside_study.find(" solver runs repeated"));
  ASSERT_EQ(std::sscanf(inside_study.c_str() + tally, "marrowick-batch: %d of the %d solver runs",
                        &repeated, &runs),
            2)
      << inside_study;
  EXPECT_GE(repeated, 22);
  EXPECT_LT(repeated, runs);
  EXPECT_EQ(process_study.find("repeated"), std::string::npos) << process_study;
  for (const std::string& report : {process_study, inside_study})
    for (const char* force : {"-1226", "-1126", "-1026"}) {
      const std::size_t line =
          report.find("(zero@axial_force_kN=" + std::string(force) + "): failed: ");
      ASSERT_NE(line, std::string::npos) << report;
      const std::string failure = report.substr(line, report.find('\n', line) - line);
      EXPECT_NE(failure.find(".tcl): the solver exited with status 1: marrowick-solver: "),
                std::string::npos)
          << failure;
      EXPECT_NE(failure.find(".tcl line 7: uniaxialMaterial: FPC and EPSC0 must not be zero"),
                std::string::npos)
          << failure;
    }
}

// --vary's grid: names in order, counts, and the usage errors naming what is wrong.
TEST(Batch, VaryMakesTheGridAndRefusesBadKeysAndRanges) {
  const struct {
    std::vector<std::string> vary;  // the values of the --vary options
    std::size_t count;
    const char* first;  // the first and last names, or the usage error
    const char* last;
  } cases[] = {
      {{}, 1, "c", "c"},
      {{"peak_strength_MPa=25:45:5"}, 5, "c@peak_strength_MPa=25", "c@peak_strength_MPa=45"},
      {{"cover_mm=30,40", "bars_x=2:4:1"}, 6, "c@cover_mm=30,bars_x=2", "c@cover_mm=40,bars_x=4"},
      {{"peak_strain=0.002:0.003:0.0005"}, 3, "c@peak_strain=0.002", "c@peak_strain=0.003"},
      {{"residual_strain=0.1:0.3:0.1"}, 3, "c@residual_strain=0.1", "c@residual_strain=0.3"},
      {{"axial_force_kN=-2000:0:500"}, 5, "c@axial_force_kN=-2000", "c@axial_force_kN=0"},
      {{"max_curvature_per_mm=1e-5:3e-5:1e-5"},
       3,
       "c@max_curvature_per_mm=1e-05",
       "c@max_curvature_per_mm=3e-05"},
      {{"widht_mm=300"}, 0, "with a section-file key, not 'widht_mm=300'", nullptr},
      {{"bars_x=2.5"}, 0, "--vary bars_x: '2.5' is not a whole number", nullptr},
      {{"cover_mm=30,,40"}, 0, "--vary cover_mm: '' is not a number", nullptr},
      {{"cover_mm=40:30:5"}, 0, "'40:30:5' needs FROM up to TO and a STEP above 0", nullptr},
      {{"cover_mm=30:40:0"}, 0, "'30:40:0' needs FROM up to TO and a STEP above 0", nullptr},
      {{"cover_mm=30:40"}, 0, "a range is FROM:TO:STEP, not '30:40'", nullptr},
      {{"cover_mm=30", "cover_mm=40"}, 0, "--vary cover_mm is given twice", nullptr},
      {{"cover_mm=0:1e9:1"}, 0, "'0:1e9:1' has too many values", nullptr},
  };
  for (const auto& test : cases) {
    std::vector<std::string> arguments;
    for (const std::string& vary : test.vary) arguments.insert(arguments.end(), {"--vary", vary});
    arguments.push_back("c.ini");
    SCOPED_TRACE(arguments.at(arguments.size() > 1 ? 1 : 0));
    try {
      const BatchOptions options = ReadBatchOptions(arguments, 2);
      ASSERT_NE(test.last, nullptr);
      ASSERT_EQ(VariantCount(options.vary), test.count);
      EXPECT_EQ("c" + VariantAt(options.vary, 0).suffix, test.first);
      EXPECT_EQ("c" + VariantAt(options.vary, test.count - 1).suffix, test.last);
    } catch (const Failure& failure) {
      EXPECT_EQ(test.last, nullptr) << failure.Message();
      EXPECT_NE(failure.Message().find(test.first), std::string::npos) << failure.Message();
    }
  }
}

std::multiset<std::string> Rows(const std::string& file) {
  Lines lines;
  LoadLines(lines, file);
  return std::multiset<std::string>(lines.begin(), lines.end());
}

std::size_t DoneRows(const std::string& file) {
  std::size_t done = 0;
  for (const std::string& row : Rows(file)) done += row.find(",done,") != std::string::npos;
  return done;
}

// A study stopped by Ctrl+C halfway and resumed ends with the rows of one run
// straight through; --outputs leaves only the kinds asked for.
TEST(Batch, AStudyStoppedAndResumedHasTheRowsOfOneRunThrough) {
  testing::ScopedTempDir dir;
  WriteBytes("c.ini", "[analysis]\naxial_segments=2\n");
  // Its sections fail, and run (and fail) again when resumed.
  WriteBytes("bad.ini", "[section]\nwidht_mm=500\n");
  const std::vector<std::string> study = {
      "--outputs", "none",       "--jobs", "2",      "--vary", "axial_force_kN=-3000:3000:100",
      "--vary",    "bars_x=2,3", "c.ini",  "bad.ini"};
  std::vector<std::string> straight = {"--out", "straight"};
  straight.insert(straight.end(), study.begin(), study.end());
  ASSERT_EQ(RunBatch(straight), 1) << ReadBytes("batch.err");
  const std::multiset<std::string> rows = Rows("straight/study.csv");
  ASSERT_EQ(rows.size(), 1u + 61 * 2 * 2);
  EXPECT_EQ(Names("straight"), std::set<std::string>{"study.csv"});

  std::vector<std::string> resumed = {"--out", "resumed"};
  resumed.insert(resumed.end(), study.begin(), study.end());
  BatchProcess interrupted(resumed);
  for (int i = 0;
       i < 400 && (!fs::exists("resumed/study.csv") || DoneRows("resumed/study.csv") < 20); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  kill(interrupted.Pid(), SIGINT);
  EXPECT_EQ(interrupted.Wait(), 128 + SIGINT);
  const std::size_t kept = DoneRows("resumed/study.csv");
  EXPECT_GE(kept, 20u);
  EXPECT_LT(kept, 61u * 2);
  resumed.insert(resumed.begin(), "--resume");
  ASSERT_EQ(RunBatch(resumed), 1) << ReadBytes("batch.err");
  EXPECT_EQ(Rows("resumed/study.csv"), rows);
  EXPECT_EQ(Names("resumed"), std::set<std::string>{"study.csv"});
  // A table begun with other columns gets no rows under the wrong headings.
  const std::string older = "name,status,message,peak_strength_MPa\r\nc,done,,35\r\n";
  WriteBytes("resumed/study.csv", older);
  EXPECT_EQ(RunBatch(resumed), 1);
  EXPECT_NE(ReadBytes("batch.err").find("its columns are not the ones"), std::string::npos);
  EXPECT_EQ(ReadBytes("resumed/study.csv"), older);

  ASSERT_EQ(RunBatch({"--out", "some", "--outputs", "csv,json", "c.ini"}), 0);
  EXPECT_EQ(Names("some/c"),
            (std::set<std::string>{"fibers.csv", "interaction.csv", "moment-curvature.csv",
                                   "mx-my.csv", "summary.json"}));
}

// The contour's runs are left out exactly when nothing written shows the
// contour, and leaving them out changes nothing that is written.
TEST(Batch, OutputsWithoutTheContourLeaveItsRunsOut) {
  testing::ScopedTempDir dir;
  WriteBytes("c.ini", "[analysis]\naxial_segments=2\n");
  const struct {
    const char* outputs;
    const char* runs;  // as the section's line counts them
  } cases[] = {{"all", "28 solver runs"},   {"json", "4 solver runs"},
               {"none", "4 solver runs"},   {"png", "28 solver runs"},
               {"csv", "28 solver runs"},   {"recorders", "28 solver runs"},
               {"scripts", "4 solver runs"}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.outputs);
    const std::string out = std::string("out-") + test.outputs;
    ASSERT_EQ(RunBatch({"--out", out, "--no-report", "--outputs", test.outputs, "c.ini"}), 0);
    EXPECT_NE(ReadBytes("batch.err").find("c.ini: done, " + std::string(test.runs)),
              std::string::npos)
        << ReadBytes("batch.err");
    EXPECT_EQ(ReadBytes(out + "/study.csv"), ReadBytes("out-all/study.csv"));
    if (!fs::exists(out + "/c")) continue;
    // Every file is the full run's, contour scripts included.
    for (const auto& [name, bytes] : Tree(out + "/c")) {
      ASSERT_TRUE(fs::exists("out-all/c/" + name) || name.ends_with(".tcl")) << name;
      if (!name.ends_with(".tcl")) {
        EXPECT_TRUE(ReadBytes("out-all/c/" + name) == bytes) << name;
      }
    }
  }
  EXPECT_EQ(Names("out-scripts/c").count("A24.tcl"), 1u);
}

bool Running(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pid_text, name, state;
  return stat >> pid_text >> name >> state && state != "Z";
}

// Every process the stand-in solvers started, by the pids they wrote down.
std::vector<pid_t> Sleepers() {
  std::ifstream in("sleepers");
  std::vector<pid_t> pids;
  for (pid_t pid; in >> pid;) pids.push_back(pid);
  return pids;
}

TEST(Batch, FailuresAreReportedAndTheOtherSectionsComplete) {
  testing::ScopedTempDir dir;
  WriteBytes("good.ini", "[analysis]\naxial_segments=2\n");
  WriteBytes("bad.ini", "[section]\nwidht_mm=500\n");
  WriteBytes("zero.ini", "[section]\nfiber_size_mm=0\n");
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::vector<std::string> reported;
    const char* made;  // a file the case leaves, or one it must not leave
    bool made_exists;
  } cases[] = {
      {{"--out", "a", "bad.ini", "good.ini", "missing.ini", "zero.ini"},
       1,
       {"bad.ini: failed: Section file \"" + (dir.Path() / "bad.ini").string() +
            "\", line 2: unknown key widht_mm = '500' in [section]",
        "missing.ini: failed: Cannot open file \"" + (dir.Path() / "missing.ini").string() + "\"",
        "zero.ini: failed: Floating point division by zero", "good.ini: done, 28 solver runs"},
       "a/good/summary.json",
       true},
      // The same folder again: the earlier run's results go before the solvers start.
      {{"--out", "a", "--solver", "no-such-solver", "good.ini"},
       1,
       {"good.ini: failed: the moment-curvature run (os.tcl): Cannot start solver "
        "\"no-such-solver os.tcl\". No such file or directory"},
       "a/good/summary.json",
       false},
      {{},
       2,
       {"marrowick-batch: no section file given\nusage: marrowick-batch [--out DIR]"},
       "a/bad",
       false},
      {{"--jobs", "0", "good.ini"},
       2,
       {"--jobs takes a whole number of 1 or more, not '0'"},
       "good",
       false},
      {{"--fast", "good.ini"}, 2, {"unknown option --fast"}, "good", false},
      // The solver inside the batch stops at the limit too.
      {{"--out", "t", "--timeout", "0.000001", "good.ini"},
       1,
       {"good.ini: failed: ", "timed out after 1e-06 s and was killed"},
       "t/good/summary.json",
       false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(RunBatch(test.arguments), test.status);
    const std::string reported = ReadBytes("batch.err");
    // Only the batch speaks there, also where the login gives no runtime
    // directory (the toolkit used to warn about it at every start).
    EXPECT_EQ(reported.find("QStandardPaths"), std::string::npos) << reported;
    for (const std::string& text : test.reported)
      EXPECT_NE(reported.find(text), std::string::npos) << text << "\nnot in:\n" << reported;
    EXPECT_EQ(fs::exists(test.made), test.made_exists) << test.made;
  }

  // A solver that hangs, and starts a process of its own that hangs too.
  WriteProgram("hang.sh", "#!/bin/sh\n/bin/sleep 60 &\necho $! >> " +
                              (dir.Path() / "sleepers").string() + "\nwait\n");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(
      RunBatch({"--out", "c", "--jobs", "2", "--solver", "hang.sh", "--timeout", "1", "good.ini"}),
      1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_NE(ReadBytes("batch.err")
                .find("good.ini: failed: the moment-curvature run (os.tcl): timed "
                      "out after 1 s and was killed"),
            std::string::npos)
      << ReadBytes("batch.err");
  // Ctrl+C while two of them run.
  BatchProcess interrupted({"--out", "d", "--jobs", "2", "--solver", "hang.sh", "good.ini"});
  for (int i = 0; i < 200 && Sleepers().size() < 4; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(Sleepers().size(), 4u);
  kill(interrupted.Pid(), SIGINT);
  EXPECT_EQ(interrupted.Wait(), 128 + SIGINT);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  for (const pid_t pid : Sleepers()) EXPECT_FALSE(Running(pid)) << pid;
}

// A row of design-interaction.csv, its empty cells as NaN.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
    cells.push_back(line.substr(start, comma - start));
  cells.push_back(line.substr(start));
  return cells;
}

// Every row of design-interaction.csv against the codes' equations, written
// here from the clauses for a C60/HRB500 and an f'c 35 column (α1, β1 and
// εcu between C50 and C80; ACI's β1 between 28 and 55 MPa), with bars of
// 22 mm at the fibers' heights.
TEST(Batch, EveryDesignRowSatisfiesItsCodesEquations) {
  testing::ScopedTempDir dir;
  const std::string bars =
      "[section]\nwidth_mm=400\nheight_mm=600\nbars_x=3\nbar_diameter_x_mm=22\nbars_y=1\n"
      "bar_diameter_y_mm=22\ncorner_bar_diameter_mm=22\n[analysis]\naxial_segments=2\n";
  WriteBytes("gb.ini", bars + "[design]\ncode=GB50010\nconcrete_grade=C60\nsteel_grade=HRB500\n");
  WriteBytes("aci.ini", bars + "[design]\ncode=ACI318\nfc_MPa=35\nfy_MPa=420\n");
  ASSERT_EQ(RunBatch({"gb.ini", "aci.ini"}), 0) << ReadBytes("batch.err");

  const double B = 400, H = 600, area = std::numbers::pi * 22 * 22 / 4;
  for (const bool aci : {false, true}) {
    SCOPED_TRACE(aci ? "ACI 318" : "GB 50010");
    fs::current_path(dir.Path() / (aci ? "aci" : "gb"));
    std::vector<double> depths;  // of every bar, from fibers.csv
    Lines fibers;
    LoadLines(fibers, "fibers.csv");
    for (const std::string& fiber : fibers)
      if (fiber.starts_with("side_bar,") || fiber.starts_with("corner_bar,"))
        depths.push_back(H / 2 - std::stod(Cells(fiber)[1]));
    ASSERT_EQ(depths.size(), 12u);
    const double steel = area * 12;
    // GB 50010-2010 C60: α1 = β1 + 0.2 = 1 − 0.002 · 10, εcu = 0.0033 − 10e-5;
    // HRB500 435 / 410, Es 2e5. ACI 318-19: β1 = 0.85 − 0.05 · 7 / 7.
    const double fc = aci ? 35 : 27.5, fy = aci ? 420 : 435, fyc = aci ? 420 : 410, es = 2e5;
    const double alpha = aci ? 0.85 : 0.98, beta = aci ? 0.80 : 0.78, cu = aci ? 0.003 : 0.0032;
    const double po = 0.85 * fc * (B * H - steel) + fy * steel;
    const double tension = -fy * steel;

    Lines lines;
    LoadLines(lines, "design-interaction.csv");
    ASSERT_EQ(lines.at(0), "curve,point,neutral_axis_depth_mm,axial_force_kN,moment_kNm,phi");
    std::map<std::string, int> counts;
    std::map<std::string, std::set<std::string>> keys;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      SCOPED_TRACE(lines[i]);
      const std::vector<std::string> cell = Cells(lines[i]);
      ASSERT_EQ(cell.size(), 6u);
      const bool reduced = aci && cell[0] == "design";
      ++counts[cell[0]];
      if (!cell[1].empty()) keys[cell[0]].insert(cell[1]);
      double n = 0, m = 0, phi = 0.65;
      if (cell[2].empty()) {
        // The cap, Po and pure tension (the bars symmetric: no moment).
        if (cell[1] == "cap")
          n = aci ? 0.80 * po : 0.9 * (fc * B * H + fyc * steel);
        else if (cell[1] == "po")
          n = po;
        else
          n = tension, phi = 0.9;
        EXPECT_TRUE(cell[1] == "cap" || cell[1] == "po" || cell[1] == "pure_tension");
      } else {
        const double c = std::stod(cell[2]), x = std::min(beta * c, H);
        n = alpha * fc * B * x;
        m = n * (H / 2 - x / 2);
        double deepest = 0;
        for (const double d : depths) {
          double stress = std::clamp(es * cu * (d / c - 1), -fyc, fy);
          if (aci && d < x) stress += 0.85 * fc;
          n -= stress * area;
          m -= stress * area * (H / 2 - d);
          deepest = std::max(deepest, d);
        }
        const double et = 0.003 * (deepest - c) / c, ety = fy / es;
        phi = et <= ety ? 0.65 : et >= ety + 0.003 ? 0.9 : 0.65 + 0.25 * (et - ety) / 0.003;
      }
      const double factor = reduced ? phi : 1;
      EXPECT_NEAR(std::stod(cell[3]), factor * n / 1e3, 1e-9 * std::abs(n / 1e3) + 1e-9);
      EXPECT_NEAR(std::stod(cell[4]), factor * m / 1e6, 1e-9 * std::abs(m / 1e6) + 1e-9);
      EXPECT_EQ(cell[5].empty(), !aci);
      if (aci) {
        EXPECT_NEAR(std::stod(cell[5]), phi, 1e-12);
      }
    }
    const std::set<std::string> gb_keys{"balanced", "pure_bending", "cap", "pure_tension"};
    std::set<std::string> aci_keys = gb_keys;
    aci_keys.insert({"po", "fs_zero", "fs_half_fy", "tension_controlled"});
    for (const char* curve : aci ? std::vector{"design", "nominal"} : std::vector{"design"}) {
      EXPECT_GE(counts[curve], 60) << curve;
      EXPECT_EQ(keys[curve], aci ? aci_keys : gb_keys) << curve;
    }
    EXPECT_EQ(counts.size(), aci ? 2u : 1u);
    const QJsonObject design =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadBytes("summary.json")))
            .object()["design"]
            .toObject();
    EXPECT_EQ(design["code"].toString(), aci ? "ACI318" : "GB50010");
    EXPECT_EQ(design["curves"]["design"]["cap"]["axial_force_kN"].toDouble(),
              aci ? 0.65 * 0.80 * po / 1e3 : 0.9 * (fc * B * H + fyc * steel) / 1e3);
  }
  fs::current_path(dir.Path());
}

}  // namespace
}  // namespace marrowick
