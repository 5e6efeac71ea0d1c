// A monkey at the window: thousands of random texts typed into random fields
// and random button presses, with a stand-in solver that answers at random.
// After every action the window must be alive, its section must be exactly
// what the last "输入数据" captured, and every failed operation must have
// shown exactly one box. Seeded: MARROWICK_MONKEY_SEED repeats a run,
// MARROWICK_MONKEY_ACTIONS makes it longer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "app/image_control.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "recording_form.h"
#include "section/section_input.h"
#include "solver/fake_solver.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/write_lock_holder.h"

namespace marrowick {
namespace {

// Boxes are noted, never run: the monkey cannot press OK.
using MonkeyForm = testing::RecordingForm;

// The stand-in solver (tests/data/monkey-solver.sh) with the paths of its
// mode and done files filled in.
std::string FakeSolverScript(const std::filesystem::path& mode_file,
                             const std::filesystem::path& done_file) {
  std::string script = testing::ReadBytes(MARROWICK_TEST_DATA "/monkey-solver.sh");
  for (const auto& [mark, path] : {std::pair{std::string("@MODES@"), mode_file.string()},
                                   std::pair{std::string("@DONE@"), done_file.string()}})
    for (std::size_t at; (at = script.find(mark)) != std::string::npos;)
      script.replace(at, mark.size(), path);
  return script;
}

const double kDefaultValues[21] = {0, 35, 0.002, 15, 0.0033, 300, 215000,  0.0001, 500, 600, 35,
                                   2, 20, 2,     20, -1000,  0,   0.00002, 35,     20,  20};

// Texts a careless or curious user might type. Huge, non-ASCII, broken and
// control-character texts come up often enough to matter.
QString RandomText(std::mt19937_64& rng, int field) {
  auto pick = [&](std::initializer_list<const char*> list) {
    std::uniform_int_distribution<std::size_t> index(0, list.size() - 1);
    return QString::fromUtf8(*(list.begin() + index(rng)));
  };
  std::uniform_int_distribution<int> percent(0, 99);
  // The sweep starts one solver per level: keep the level count small, with
  // now and then a count the program must refuse or skip.
  if (field == 20) {
    if (percent(rng) < 85) return QString::number(std::uniform_int_distribution<int>(0, 3)(rng));
    return pick({"", "-1", "-3", "1001", "2147483647", "$FFFFFFFF", "1e3", "x", "\t2", "２"});
  }
  const int kind = percent(rng);
  if (kind < 55) {
    // Plausible: the default, a whole number or a decimal near it.
    const int choice = std::uniform_int_distribution<int>(0, 3)(rng);
    if (choice == 0) return QString::fromUtf8(kDefaultFieldTexts[field]);
    if (choice == 1) return QString::number(std::uniform_int_distribution<int>(-2, 700)(rng));
    if (field == 11 || field == 13)
      return QString::number(std::uniform_int_distribution<int>(0, 6)(rng));
    if (field == 18) return QString::number(std::uniform_int_distribution<int>(8, 400)(rng));
    return QString::number(std::uniform_real_distribution<double>(-10, 1000)(rng), 'g', 6);
  }
  if (kind < 62) return QString();
  if (kind < 64) {
    // 100 KB; the field keeps its first 32767 characters.
    const char fill = "9a.-E "[std::uniform_int_distribution<int>(0, 5)(rng)];
    return QString(100000, QChar(fill));
  }
  if (kind < 71)
    return pick({"三十五", "３５", "1٫5", "35°", "é", "Φ20", "-1000ｋN", "😀", "٣٥", "35 мм"});
  if (kind < 75) {
    const std::string bytes = std::string("3\xff") + "\xfe\xc0\x80" + "5\xe4\xb8";
    return QString::fromUtf8(bytes.substr(0, std::uniform_int_distribution<int>(1, 8)(rng)));
  }
  if (kind < 81) {
    if (percent(rng) < 12) return QString(QChar(u'\0')) + QStringLiteral("35");
    return pick({"\t35", "35\r\n", " 35 ", "\x01",
                 "3\x7f"
                 "5",
                 "\r", "\x1b[2J", "35\x08"});
  }
  if (kind < 92)
    return pick({"1e308",       "1.7976931348623157e308",
                 "-1e308",      "1e309",
                 "1e400",       "-0",
                 "-0.0",        "4.9e-324",
                 "1e-400",      "2147483647",
                 "2147483648",  "-2147483648",
                 "-2147483649", "$FFFFFFFF",
                 "$7FFFFFFF",   "0x80000000",
                 "-$10",        "4294967295",
                 "nan",         "INF",
                 ".",           "-.",
                 "5.",          "1e",
                 "1e+",         "0",
                 "1",           "-1"});
  std::string junk;
  const int length = std::uniform_int_distribution<int>(0, 12)(rng);
  for (int i = 0; i < length; ++i)
    junk += static_cast<char>(std::uniform_int_distribution<int>(32, 126)(rng));
  return QString::fromLatin1(junk);
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The parameters and the model of two states, compared exactly; empty when
// they agree, else the first difference.
std::string SectionDifference(const AnalysisState& a, const AnalysisState& b) {
  const std::pair<const char*, double AnalysisState::*> reals[] = {
      {"ConcreteStrength", &AnalysisState::ConcreteStrength},
      {"ConcretePeakStrain", &AnalysisState::ConcretePeakStrain},
      {"ConcreteResidualStrength", &AnalysisState::ConcreteResidualStrength},
      {"ConcreteUltimateStrain", &AnalysisState::ConcreteUltimateStrain},
      {"SteelYieldStrength", &AnalysisState::SteelYieldStrength},
      {"SteelModulus", &AnalysisState::SteelModulus},
      {"SteelHardeningRatio", &AnalysisState::SteelHardeningRatio},
      {"SectionWidth", &AnalysisState::SectionWidth},
      {"SectionHeight", &AnalysisState::SectionHeight},
      {"BarCover", &AnalysisState::BarCover},
      {"BarDiameterX", &AnalysisState::BarDiameterX},
      {"BarDiameterY", &AnalysisState::BarDiameterY},
      {"AxialLoad", &AnalysisState::AxialLoad},
      {"CurvatureLimit", &AnalysisState::CurvatureLimit},
      {"MeshSize", &AnalysisState::MeshSize},
      {"CornerBarDiameter", &AnalysisState::CornerBarDiameter},
      {"SteelArea", &AnalysisState::SteelArea},
      {"CompressionCapacity", &AnalysisState::CompressionCapacity},
      {"TensionCapacity", &AnalysisState::TensionCapacity},
  };
  for (const auto& [name, member] : reals)
    if (!SameBits(a.*member, b.*member))
      return std::string(name) + " " + std::to_string(a.*member) + " vs " +
             std::to_string(b.*member);
  const std::pair<const char*, int32_t AnalysisState::*> counts[] = {
      {"BarCountX", &AnalysisState::BarCountX},     {"BarCountY", &AnalysisState::BarCountY},
      {"AxialLevels", &AnalysisState::AxialLevels}, {"MeshCountX", &AnalysisState::MeshCountX},
      {"MeshCountY", &AnalysisState::MeshCountY},   {"FiberCount", &AnalysisState::FiberCount},
  };
  for (const auto& [name, member] : counts)
    if (a.*member != b.*member)
      return std::string(name) + " " + std::to_string(a.*member) + " vs " +
             std::to_string(b.*member);
  if (a.Fibers.size() != b.Fibers.size())
    return "Fibers.size() " + std::to_string(a.Fibers.size()) + " vs " +
           std::to_string(b.Fibers.size());
  for (std::size_t s = 0; s < a.Fibers.size(); ++s) {
    const TFiber& f = a.Fibers[s];
    const TFiber& g = b.Fibers[s];
    if (!SameBits(f.X, g.X) || !SameBits(f.Y, g.Y) || !SameBits(f.Area, g.Area) ||
        f.MatTag != g.MatTag || f.CornerBar != g.CornerBar)
      return "fiber slot " + std::to_string(s);
  }
  return {};
}

// Every table the operations share is as long as its count says, and every
// fiber slot is one the section view and the script can use.
std::string TableFault(const AnalysisState& state) {
  const bool no_model = state.FiberCount == 0 && state.Fibers.empty();
  if (!no_model && state.Fibers.size() != static_cast<std::size_t>(state.FiberCount) + 1)
    return "FiberCount " + std::to_string(state.FiberCount) + " with " +
           std::to_string(state.Fibers.size()) + " slots";
  int corners = 0;
  for (int32_t s = 1; s <= state.FiberCount; ++s) {
    const TFiber& fiber = state.Fibers[static_cast<std::size_t>(s)];
    if ((fiber.MatTag != 1 && fiber.MatTag != 2) || (fiber.CornerBar != 0 && fiber.CornerBar != 1))
      return "fiber slot " + std::to_string(s) + " has tags " + std::to_string(fiber.MatTag) + "/" +
             std::to_string(fiber.CornerBar);
    if (!std::isfinite(fiber.X) || !std::isfinite(fiber.Y) || !std::isfinite(fiber.Area))
      return "fiber slot " + std::to_string(s) + " is not finite";
    corners += fiber.CornerBar;
  }
  if (!no_model && corners != 4) return std::to_string(corners) + " corner bars";
  const bool no_series = state.SeriesCount == 0 && state.MomentSeries.empty();
  if (!no_series && (state.MomentSeries.size() != static_cast<std::size_t>(state.SeriesCount) + 1 ||
                     state.CurvatureSeries.size() != state.MomentSeries.size()))
    return "SeriesCount " + std::to_string(state.SeriesCount) + " with " +
           std::to_string(state.MomentSeries.size()) + " and " +
           std::to_string(state.CurvatureSeries.size()) + " slots";
  if (state.PeakMoments.size() != state.LevelForces.size())
    return "PeakMoments and LevelForces differ in length";
  return {};
}

int EnvironmentNumber(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::atoi(text) : fallback;
}

class Monkey {
 public:
  Monkey(uint64_t seed, const std::filesystem::path& home) : rng_(seed), seed_(seed) {
    mode_file_ = home / "modes";
    done_file_ = home / "done";
    std::ofstream(mode_file_) << "g\n";
    std::ofstream(done_file_).flush();
    solvers_.InstallRecordingSolver();  // bin/ alone on PATH
    testing::WriteExecutable(solvers_.Root() / "bin" / "opensees.exe",
                             FakeSolverScript(mode_file_, done_file_));
    for (int i = 1; i <= 20; ++i)
      edits_[i] = form_.findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(i));
    for (int i = 2; i <= 7; ++i)
      buttons_[i] = form_.findChild<QPushButton*>(QStringLiteral("Button%1").arg(i));
    edits_[20]->setText(QStringLiteral("3"));
    form_.show();
    QApplication::processEvents();
  }

  ~Monkey() {
    // Slow solvers still to come write into the directory about to go.
    WaitForSolvers(true, std::chrono::seconds(20));
    SetRegionalDecimal('.');
  }

  bool Step(int action) {
    action_ = action;
    const int roll = std::uniform_int_distribution<int>(0, 999)(rng_);
    const std::size_t boxes_before = form_.shown.size();
    operations_ = 0;
    if (roll < 420) {
      Type();
    } else if (roll < 580) {
      EnterData();
    } else if (roll < 900) {
      static const int kOthers[] = {2, 7, 4, 3, 5};
      Press(kOthers[std::uniform_int_distribution<int>(0, 4)(rng_)]);
    } else if (roll < 915) {
      RemoveARecorderFile();
    } else if (roll < 975) {
      TypeAPlausibleSection();
    } else if (roll < 985) {
      PressAChartWhileARecorderIsLocked();
    } else if (roll < 993) {
      WorkUnderACommaLocale();
    } else {
      const int width = std::uniform_int_distribution<int>(200, 1400)(rng_);
      const int height = std::uniform_int_distribution<int>(150, 900)(rng_);
      Note("resize " + std::to_string(width) + "x" + std::to_string(height));
      form_.resize(width, height);
    }
    QApplication::processEvents();
    if (form_.shown.size() > boxes_before + operations_) return Fail("more boxes than operations");
    return CheckWindow();
  }

  int Boxes() const { return static_cast<int>(form_.shown.size()); }
  int Builds() const { return builds_; }
  int SolversStarted() const { return started_; }

 private:
  void Type() {
    const int field = std::uniform_int_distribution<int>(1, 20)(rng_);
    const QString text = RandomText(rng_, field);
    Note("Edit" + std::to_string(field) + " := " + Shown(text));
    edits_[field]->setText(text);
  }

  // A user who starts again: every field a value that reads, the defaults
  // or near them.
  void TypeAPlausibleSection() {
    Note("a plausible section");
    for (int field = 1; field <= 20; ++field) {
      if (field == 16) continue;
      QString text = QString::fromUtf8(kDefaultFieldTexts[field]);
      if (std::uniform_int_distribution<int>(0, 2)(rng_) == 0) {
        if (field == 11 || field == 13)
          text = QString::number(std::uniform_int_distribution<int>(0, 5)(rng_));
        else if (field == 12 || field == 14)
          text = QString::number(std::uniform_int_distribution<int>(6, 40)(rng_));
        else
          text = QString::number(
              kDefaultValues[field] * std::uniform_real_distribution<double>(0.5, 1.5)(rng_), 'g',
              6);
      }
      // Each level of a sweep is a solver: a few levels are enough.
      if (field == 20) text = QString::number(std::uniform_int_distribution<int>(0, 3)(rng_));
      edits_[field]->setText(text);
    }
  }

  // Regional settings with a decimal comma, for a while: the fields are read
  // with it, a chart is labelled with it.
  void WorkUnderACommaLocale() {
    Note("decimal symbol ,");
    SetRegionalDecimal(',');
    std::array<QString, 21> texts;
    for (int field = 1; field <= 20; ++field) {
      texts[field] = edits_[field]->text();
      edits_[field]->setText(QString(texts[field]).replace(QChar('.'), QChar(',')));
    }
    EnterData();
    Press(std::uniform_int_distribution<int>(0, 1)(rng_) ? 4 : 5);
    Note("decimal symbol .");
    SetRegionalDecimal('.');
    for (int field = 1; field <= 20; ++field) edits_[field]->setText(texts[field]);
  }

  // "输入数据" through the button itself, checked against the same capture
  // on a copy of the section as it was: every failure is the copy's failure,
  // shown once, and a good capture equals one made on a fresh state.
  void EnterData() {
    Note("press Button6");
    ++operations_;
    auto text_of = [this](int field) { return edits_.at(field)->text().toStdString(); };
    std::string failure;
    try {
      EnterSectionData(shadow_, text_of);
    } catch (const Failure& caught) {
      failure = caught.Message();
    }
    const std::size_t boxes_before = form_.shown.size();
    buttons_[6]->click();
    const std::size_t boxes = form_.shown.size() - boxes_before;
    if (failure.empty()) {
      ++builds_;
      if (boxes != 0) Fail("a good capture showed \"" + form_.shown.back() + "\"");
      AnalysisState fresh;
      EnterSectionData(fresh, text_of);
      const std::string difference = SectionDifference(fresh, form_.State());
      if (!difference.empty()) Fail("the capture depends on history: " + difference);
    } else if (boxes != 1 || form_.shown.back() != FailureDisplayText(failure)) {
      Fail("\"" + failure + "\" was shown as " +
           (boxes ? "\"" + form_.shown.back() + "\"" : std::string("nothing")));
    }
  }

  // Any other button. Mostly through the same path as the button's wiring
  // with the failure noted on its way out; sometimes the button itself.
  void Press(int button) {
    Note("press Button" + std::to_string(button));
    ++operations_;
    const bool starts_solvers = button == 7 || button == 3;
    int levels = 0;
    if (starts_solvers) levels = WriteModes(button);
    const std::size_t boxes_before = form_.shown.size();
    bool threw = false;
    std::string message;
    if (std::uniform_int_distribution<int>(0, 3)(rng_) == 0) {
      buttons_[button]->click();
      threw = form_.shown.size() > boxes_before;
    } else {
      void (TForm1::*const clicks[])() = {nullptr,
                                          nullptr,
                                          &TForm1::Button2Click,
                                          &TForm1::Button3Click,
                                          &TForm1::Button4Click,
                                          &TForm1::Button5Click,
                                          &TForm1::Button6Click,
                                          &TForm1::Button7Click};
      const auto click = clicks[button];
      form_.RunOperation([this, click, &threw, &message] {
        try {
          (form_.*click)();
        } catch (const std::exception& caught) {
          threw = true;
          message = caught.what();
          throw;
        }
      });
      const std::size_t boxes = form_.shown.size() - boxes_before;
      if (threw != (boxes == 1) || (threw && form_.shown.back() != FailureDisplayText(message)))
        Fail("Button" + std::to_string(button) + ": failure \"" + message + "\" and " +
             std::to_string(boxes) + " boxes");
    }
    if (threw) Note("  shown: " + Shown(QString::fromStdString(form_.shown.back())));
    // A failed press starts no solver: both runs fail before their first
    // start, and a start itself cannot fail with the stand-in on PATH.
    if (starts_solvers && !threw) {
      started_ += levels;
      slow_started_ += slow_levels_;
      if (!WaitForSolvers(false, std::chrono::seconds(20)))
        Fail("the stand-in solvers did not finish");
    }
  }

  // Chooses every level's answer before a run; returns how many solvers the
  // press will start if it does not fail.
  int WriteModes(int button) {
    std::string modes;
    const int length = std::uniform_int_distribution<int>(1, 6)(rng_);
    for (int i = 0; i < length; ++i) {
      const int roll = std::uniform_int_distribution<int>(0, 99)(rng_);
      modes += roll < 55 ? 'g' : roll < 75 ? 'b' : roll < 90 ? 'n' : 's';
    }
    std::ofstream(mode_file_) << modes << "\n";
    Note("  modes " + modes);
    int levels = 1;
    if (button == 3) {
      const int32_t axial_levels = form_.State().AxialLevels;
      levels = axial_levels >= 0 && axial_levels <= 1000 ? axial_levels + 1 : 0;
    }
    slow_levels_ = 0;
    for (int n = 1; n <= levels; ++n)
      if (modes[static_cast<std::size_t>((n - 1) % length)] == 's') ++slow_levels_;
    return levels;
  }

  struct Progress {
    int started = 0;
    int fast = 0;
    int slow = 0;
  };
  Progress ReadProgress() const {
    Progress progress;
    std::ifstream in(done_file_);
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("start", 0) == 0) ++progress.started;
      if (line.rfind("fast", 0) == 0) ++progress.fast;
      if (line.rfind("slow", 0) == 0) ++progress.slow;
    }
    return progress;
  }

  // Waits, bounded, until every stand-in started so far has read its answer
  // and every fast one has finished; with `slow_too`, until all have.
  bool WaitForSolvers(bool slow_too, std::chrono::seconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      const Progress progress = ReadProgress();
      if (progress.started >= started_ && progress.fast >= started_ - slow_started_ &&
          (!slow_too || progress.slow >= slow_started_))
        return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  void RemoveARecorderFile() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator("."))
      if (entry.path().filename().string().ends_with("mom_cur.out")) files.push_back(entry.path());
    if (files.empty()) return;
    std::sort(files.begin(), files.end());
    const auto& gone = files[std::uniform_int_distribution<std::size_t>(0, files.size() - 1)(rng_)];
    Note("remove " + gone.filename().string());
    std::filesystem::remove(gone);
  }

  void PressAChartWhileARecorderIsLocked() {
    const bool sweep = std::uniform_int_distribution<int>(0, 1)(rng_) == 1;
    const std::string file = sweep ? "P1_mom_cur.out" : "mom_cur.out";
    if (!std::filesystem::exists(file)) return;
    Note("lock " + file);
    testing::WriteLockHolder lock(file);
    Press(sweep ? 5 : 4);
  }

  bool CheckWindow() {
    if (!failure_.empty()) return false;
    if (!form_.isVisible()) return Fail("the window is gone");
    if (QApplication::activeModalWidget() != nullptr) return Fail("a modal box is left open");
    if (form_.WrongBoxes() != 0) return Fail("a box was not the failure box");
    for (int i = 2; i <= 7; ++i)
      if (!buttons_[i]->isEnabled()) return Fail("a button is disabled");
    if (form_.Image1->Surface().Image().size() != QSize(471, 359))
      return Fail("the drawing surface changed size");
    const std::string difference = SectionDifference(form_.State(), shadow_);
    if (!difference.empty())
      return Fail("the section differs from the last capture: " + difference);
    const std::string fault = TableFault(form_.State());
    if (!fault.empty()) return Fail(fault);
    return true;
  }

  bool Fail(const std::string& what) {
    if (!failure_.empty()) return false;
    std::ostringstream report;
    report << "monkey seed " << seed_ << ", action " << action_ << ": " << what
           << "\nlast actions:\n";
    for (const std::string& line : recent_) report << "  " << line << "\n";
    failure_ = report.str();
    ADD_FAILURE() << failure_;
    return false;
  }

  void Note(const std::string& line) {
    recent_.push_back(std::to_string(action_) + ": " + line);
    if (recent_.size() > 25) recent_.pop_front();
  }

  static std::string Shown(const QString& text) {
    std::string shown = text.left(60).toStdString();
    for (char& c : shown)
      if (static_cast<unsigned char>(c) < 32) c = '?';
    return "\"" + shown + (text.size() > 60 ? "...\" (" + std::to_string(text.size()) + ")" : "\"");
  }

  std::mt19937_64 rng_;
  uint64_t seed_;
  int action_ = 0;
  testing::SolverEnvironment solvers_;
  std::filesystem::path mode_file_;
  std::filesystem::path done_file_;
  MonkeyForm form_;
  AnalysisState shadow_;  // what the captures alone make of the section
  std::array<QLineEdit*, 21> edits_{};
  std::array<QPushButton*, 8> buttons_{};
  std::size_t operations_ = 0;  // button operations in the action under way
  int builds_ = 0;
  int started_ = 0;
  int slow_started_ = 0;
  int slow_levels_ = 0;  // of the press under way
  std::deque<std::string> recent_;
  std::string failure_;
};

TEST(Monkey, RandomActionsLeaveTheWindowAliveConsistentAndHonest) {
  const uint64_t seed = static_cast<uint64_t>(EnvironmentNumber("MARROWICK_MONKEY_SEED", 20111030));
  const int actions = EnvironmentNumber("MARROWICK_MONKEY_ACTIONS", 1500);
  testing::ScopedTempDir dir;
  int done = 0;
  int boxes = 0, builds = 0, solvers = 0;
  {
    Monkey monkey(seed, dir.Path());
    while (done < actions && monkey.Step(done + 1)) ++done;
    boxes = monkey.Boxes();
    builds = monkey.Builds();
    solvers = monkey.SolversStarted();
  }
  std::cout << "monkey seed " << seed << ": " << done << " actions, " << builds
            << " sections captured, " << boxes << " failures shown, " << solvers
            << " solvers started\n";
  EXPECT_EQ(done, actions);
}

}  // namespace
}  // namespace marrowick
