#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "app/input_texts.h"
#include "section/analysis_state.h"

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QStatusBar;

namespace marrowick {

class ReportTool;
class SectionFiles;
class SolverWatch;
class SurfaceTools;
class TImage;

// The one window: twenty input fields, six buttons in the order of use, the
// drawing surface, the logo and the status bar. It only wires the buttons to
// the operations of the section model, the solver driver and the charts,
// which share the analysis state it holds for the life of the program.
class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  AnalysisState& State() { return state_; }
  // Every input's text: the twenty fields and the inputs of dialogs.
  InputTexts& Inputs() { return inputs_; }
  TImage* Image1 = nullptr;
  // The surface's readout, context menu and key-point marks.
  SurfaceTools* SurfaceTools1 = nullptr;
  // 保存截面 and 打开截面, the background's context menu, dropped files.
  SectionFiles* SectionFiles1 = nullptr;
  // 约束混凝土… (Ctrl+H): the dialog of the hoops, also in the background's
  // context menu.
  QAction* ConfinementDialog = nullptr;
  // The solvers the two analyses have started, until each has ended.
  SolverWatch* Solvers = nullptr;
  // 保存报告… on both context menus.
  ReportTool* Report1 = nullptr;

  void Button6Click();  // 输入数据
  void Button2Click();  // 显示截面
  void Button7Click();  // OpenSEES弯矩曲率分析
  void Button4Click();  // 显示弯矩曲率曲线
  void Button3Click();  // OpenSEES PM分析
  void Button5Click();  // 显示PM曲线
  // 显示Mx-My曲线 (the drawing surface's menu): starts the contour's runs; the
  // contour is drawn once the last has ended.
  void ShowContourClick();
  void DrawContour();

  // Where every failure that leaves a button operation ends: shown to the
  // user, after which the window carries on. Whatever the operation stored
  // before it failed stays.
  void RunOperation(const std::function<void()>& operation);

  // The modal error box owned by the window, a final period added by the
  // display rule.
  void ShowFailure(const std::string& message);

 protected:
  // Runs the box's own modal loop; returns when it is dismissed.
  virtual void ExecMessageBox(QMessageBox& box);

  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  // Relabels and enables the fields for the outline the shape list names.
  void ShowOutline(bool circular);
  void ConnectButtons();
  void SetTabOrder();
  void PlaceStatusBar();

  AnalysisState state_;
  InputTexts inputs_{*this};
  std::array<QGroupBox*, 6> GroupBox{};  // GroupBox[1] to GroupBox[5]
  std::array<QLineEdit*, 21> Edit{};     // Edit[1] to Edit[20]
  std::array<QLabel*, 21> Label{};       // Label[1] to Label[20]
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* Image2 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
};

}  // namespace marrowick
