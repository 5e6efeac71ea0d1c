#include "app/report_tool.h"

#include <QAction>
#include <QWidget>
#include <filesystem>
#include <utility>

#include "core/text_file.h"
#include "results/interaction_curve.h"
#include "solver/solver_process.h"
#include "solver/solver_script.h"
#include "solver/solver_version.h"

namespace marrowick {

ReportTool::ReportTool(QWidget& window, OperationRunner run_operation)
    : QObject(&window),
      AskSaveFileName(SaveFileDialog),
      window_(window),
      run_operation_(std::move(run_operation)) {
  SaveReport = new QAction(QString::fromUtf8("保存报告…"), this);
  SaveReport->setObjectName(QStringLiteral("SaveReport"));
  SaveReport->setEnabled(false);
  connect(SaveReport, &QAction::triggered, this, [this] {
    run_operation_([this] {
      const QString name =
          AskSaveFileName(&window_, QString::fromUtf8("保存报告"), QStringLiteral("report.pdf"),
                          QStringLiteral("PDF (*.pdf)"));
      if (!name.isEmpty()) Save(name.toStdString());
    });
  });
}

void ReportTool::SectionEntered(const std::array<std::string, kFieldSlots>& texts,
                                const AnalysisState& state, const std::string& section_file) {
  report_ = {};
  report_.texts = texts;
  report_.state = state;
  // Only the input and model: the runs come with the charts drawn from now on.
  report_.state.SeriesCount = 0;
  report_.state.MomentSeries.clear();
  report_.state.CurvatureSeries.clear();
  report_.state.PeakMoments.clear();
  report_.state.LevelForces.clear();
  report_.state.CoreEdgeStrains.clear();
  report_.section_name = section_file.empty()
                             ? std::string()
                             : std::filesystem::path(section_file).filename().string();
  entered_ = true;
  bending_drawn_ = false;
  SaveReport->setEnabled(false);
}

void ReportTool::ChartDrawn(const ShownPicture& picture) {
  if (!entered_) return;
  if (picture.kind == ShownPicture::Kind::MomentCurvature) {
    report_.moment_curvature = {picture.count, picture.y, picture.x};
    report_.state.CoreEdgeStrains = picture.core_edge_strains;
    bending_drawn_ = true;
  } else if (picture.kind == ShownPicture::Kind::Interaction) {
    report_.interaction = InteractionCurve{picture.count, picture.y, picture.x};
    report_.level_steps = LevelStepCounts(picture.count - 1);
  }
  SaveReport->setEnabled(bending_drawn_);
}

void ReportTool::Save(const std::string& file_name) {
  CalculationReport report = report_;
  report.made_at = ReportTimestamp();
  report.solver = LocateSolver();
  if (!report.solver.empty()) report.solver_version = SolverVersionLine(report.solver);
  report.curvature_steps = kCurvatureSteps;
  ReplaceBytes(CalculationReportPdf(report), file_name);
}

}  // namespace marrowick
