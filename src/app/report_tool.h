#pragma once

#include <QObject>
#include <array>
#include <string>

#include "app/file_dialogs.h"
#include "charts/calculation_report.h"
#include "charts/shown_picture.h"

class QAction;
class QWidget;

namespace marrowick {

// 保存报告…: the calculation report of the section the last 输入数据 captured,
// with the charts drawn since. The entry is on the drawing surface's and on
// the background's context menus, enabled once a moment-curvature chart has
// been drawn; the N-M part follows once an interaction curve has been drawn.
class ReportTool : public QObject {
  Q_OBJECT

 public:
  ReportTool(QWidget& window, OperationRunner run_operation);

  // 输入数据 has captured the fields: the report starts anew from them, with
  // no run.
  void SectionEntered(const std::array<std::string, kFieldSlots>& texts, const AnalysisState& state,
                      const std::string& section_file);
  // A chart has been drawn completely on the surface: its data are the
  // report's run. The levels' recorder files are counted in the current
  // directory, where the chart was read.
  void ChartDrawn(const ShownPicture& picture);

  // Writes the report through a temporary file and rename.
  void Save(const std::string& file_name);

  QAction* SaveReport = nullptr;  // 保存报告…
  AskFileName AskSaveFileName;

 private:
  QWidget& window_;
  OperationRunner run_operation_;
  CalculationReport report_;
  bool entered_ = false;
  bool bending_drawn_ = false;
};

}  // namespace marrowick
