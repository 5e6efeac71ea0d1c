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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "charts/image_canvas.h"
#include "charts/interaction_curve.h"
#include "charts/moment_curvature_chart.h"
#include "charts/section_view.h"
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
    EXPECT_EQ(scripts, static_cast<std::size_t>(state.AxialLevels) + 2);
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

    // The tables hold the very doubles the window read and computed.
    const auto bending = CsvRows("moment-curvature.csv", "curvature_per_mm,moment_kNm");
    ASSERT_EQ(bending.size(), static_cast<std::size_t>(state.SeriesCount));
    for (std::size_t i = 0; i < bending.size(); ++i)
      EXPECT_EQ(bending[i], (std::vector{state.CurvatureSeries[i + 1], state.MomentSeries[i + 1]}));
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
  EXPECT_EQ(Names("c"), (std::set<std::string>{
                            "P0.tcl", "P1_mom_cur.out", "P2_mom_cur.out", "P3_mom_cur.out",
                            "Px.tcl", "fibers.csv", "interaction.csv", "interaction.png", "m-n.out",
                            "mom_cur.out", "moment-curvature.csv", "moment-curvature.png",
                            "notes.txt", "section.png", "summary.json"}));

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
        "zero.ini: failed: Floating point division by zero", "good.ini: done, 4 solver runs"},
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

}  // namespace
}  // namespace marrowick
