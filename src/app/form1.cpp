#include "app/form1.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <exception>
#include <functional>
#include <iterator>
#include <utility>

#include "app/application.h"
#include "app/form1_layout.h"
#include "app/image_control.h"
#include "app/input_dialog.h"
#include "app/jpeg_picture.h"
#include "app/report_tool.h"
#include "app/section_files.h"
#include "app/solver_watch.h"
#include "app/surface_tools.h"
#include "charts/interaction_curve.h"
#include "charts/moment_curvature_chart.h"
#include "charts/mx_my_chart.h"
#include "charts/section_view.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "results/design_curve.h"
#include "section/section_input.h"
#include "solver/axial_sweep.h"
#include "solver/moment_curvature_run.h"
#include "solver/mx_my_runs.h"

namespace marrowick {

namespace {

// Design sizes in pixels at 96 dpi. The client area is what remains of the
// 905 × 532 outer window inside a frame of 4-pixel borders and a 26-pixel
// caption: room for the logo beside the drawing panel, and for the status bar
// below it.
constexpr int kClientWidth = 897;
constexpr int kClientHeight = 498;
constexpr int kWindowLeft = 206;
constexpr int kWindowTop = 117;
constexpr int kStatusBarHeight = 19;
constexpr int kSurfaceWidth = 471;
constexpr int kSurfaceHeight = 359;

constexpr char kCaption[] = "QVL_Marrowick_by Tarvell_2011-10-30";
constexpr char kWebsite[] = "https://marrowick.example";

// The drop-down list draws its items at the design height.
class FixedHeightItems : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 16};
  }
};

// A group box whose etched frame runs through the middle of its caption, so
// that fields placed 16 pixels down sit well inside it whatever the style.
class EtchedGroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(caption, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
  }
};

// Puts on screen what a drawing left on the surface, also when it stopped
// half-way with a failure.
class RepaintOnExit {
 public:
  explicit RepaintOnExit(QWidget& widget) : widget_(widget) {}
  ~RepaintOnExit() { widget_.update(); }
  RepaintOnExit(const RepaintOnExit&) = delete;
  RepaintOnExit& operator=(const RepaintOnExit&) = delete;

 private:
  QWidget& widget_;
};

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(Text(kCaption));
  QFont window_font(QStringLiteral("Arial"));
  window_font.setPixelSize(11);
  setFont(window_font);
  CreateControls();
  SetTabOrder();
  ConnectButtons();
  SectionFiles1 = new SectionFiles(
      *this, inputs_, [this](const std::function<void()>& file) { RunOperation(file); });
  // The hoops are edited in a dialog of their own, so that the window's
  // fields keep their places.
  // A circle's hoops are a spiral or circular hoops instead of legs.
  ConfinementDialog = InputDialogAction(
      *this, "ConfinementDialog", "约束混凝土…", QKeySequence(Qt::CTRL | Qt::Key_H),
      [this] {
        return inputs_.Circular()
                   ? std::vector<Field>{Field::HoopDiameter, Field::HoopSpacing,
                                        Field::HoopYieldStrength, Field::Transverse,
                                        Field::HoopStrainAtMaxStress}
                   : std::vector<Field>{Field::HoopDiameter,      Field::HoopSpacing,
                                        Field::HoopYieldStrength, Field::HoopLegsX,
                                        Field::HoopLegsY,         Field::HoopStrainAtMaxStress};
      },
      inputs_, [this](const std::function<void()>& apply) { RunOperation(apply); });
  SectionFiles1->AddToBackgroundMenu(ConfinementDialog);
  SectionFiles1->AddToBackgroundMenu(InputDialogAction(
      *this, "DesignParameters", "设计参数…", QKeySequence(),
      {Field::DesignCode, Field::DesignConcreteGrade, Field::DesignSteelGrade,
       Field::DesignConcreteStrength, Field::DesignSteelYield, Field::DesignSteelCompression,
       Field::DesignSteelModulus},
      inputs_, [this](const std::function<void()>& dialog) { RunOperation(dialog); }));
  Solvers = new SolverWatch(this);
  Report1 =
      new ReportTool(*this, [this](const std::function<void()>& save) { RunOperation(save); });
  SurfaceTools1->SaveReport = Report1->SaveReport;
  SectionFiles1->AddToBackgroundMenu(Report1->SaveReport);
  connect(SurfaceTools1->ShowContour, &QAction::triggered, this,
          [this] { RunOperation([this] { ShowContourClick(); }); });
  connect(Solvers, &SolverWatch::AnalysisEnded, this, [this](Analysis analysis) {
    if (analysis == Analysis::Contour) RunOperation([this] { DrawContour(); });
  });
  resize(kClientWidth, kClientHeight);
  move(kWindowLeft, kWindowTop);
  PlaceStatusBar();
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
  for (const GroupLayout& layout : kGroups) {
    auto* group = new EtchedGroupBox(Text(layout.caption), this);
    group->setObjectName(QStringLiteral("GroupBox%1").arg(layout.number));
    group->setGeometry(layout.left, layout.top, layout.width, layout.height);
    GroupBox[layout.number] = group;
  }
  for (const FieldLayout& layout : kFields) {
    QGroupBox* group = GroupBox[layout.group];
    auto* label = new QLabel(Text(layout.caption), group);
    label->setObjectName(QStringLiteral("Label%1").arg(layout.label));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(layout.label_left, layout.label_top, label->sizeHint().width(),
                       kLabelHeight);
    Label[layout.label] = label;

    // Defaults are written with a point; shown with the regional symbol so
    // that they pass the input rule of a comma locale as they stand.
    auto* edit =
        new QLineEdit(Text(WithRegionalDecimal(kDefaultFieldTexts[layout.edit]).c_str()), group);
    edit->setObjectName(QStringLiteral("Edit%1").arg(layout.edit));
    edit->setGeometry(layout.left, layout.top, layout.width, kFieldHeight);
    Edit[layout.edit] = edit;
  }

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(false);
  ComboBox1->setItemDelegate(new FixedHeightItems(ComboBox1));
  ComboBox1->addItem(Text("矩形柱"));
  ComboBox1->addItem(Text("圆形柱"));
  ComboBox1->setCurrentIndex(0);
  ComboBox1->setGeometry(8, 240, 233, 22);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this,
          [this](int index) { inputs_.SetCircular(index == 1); });
  inputs_.OutlineChanged = [this](bool circular) { ShowOutline(circular); };

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(1);
  Panel1->setGeometry(248, 112, 473, 361);
  Image1 = new TImage(kSurfaceWidth, kSurfaceHeight, Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->move(1, 1);
  QFont canvas_font = font();
  canvas_font.setStyleStrategy(QFont::NoAntialias);
  Image1->Surface().SetFont(canvas_font);
  SurfaceTools1 =
      new SurfaceTools(*Image1, [this](const std::function<void()>& tool) { RunOperation(tool); });

  Image2 = new QLabel(this);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setGeometry(kButtonLeft, 8, 165, 38);
  RunOperation([this] { Image2->setPixmap(QPixmap::fromImage(LogoPicture())); });

  // The members in the order of kButtons.
  QPushButton* TForm1::*const members[] = {&TForm1::Button6, &TForm1::Button2, &TForm1::Button7,
                                           &TForm1::Button4, &TForm1::Button3, &TForm1::Button5};
  static_assert(std::size(members) == std::size(kButtons));
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    const ButtonLayout& layout = kButtons[i];
    auto* button = new QPushButton(Text(layout.caption), this);
    button->setObjectName(QString::fromLatin1(layout.name));
    button->setGeometry(kButtonLeft, layout.top, kButtonWidth, kButtonHeight);
    this->*members[i] = button;
  }

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  auto* website = new QLabel(QStringLiteral("Website"), StatusBar1);
  website->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  website->setFixedWidth(60);
  StatusBar1->addWidget(website);
  // The last panel reaches to the right edge, so the whole address shows.
  auto* address = new QLabel(Text(kWebsite), StatusBar1);
  address->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  address->setMinimumWidth(50);
  StatusBar1->addWidget(address, 1);
}

void TForm1::ShowOutline(bool circular) {
  const QSignalBlocker quiet(ComboBox1);
  ComboBox1->setCurrentIndex(circular ? 1 : 0);
  // The shared fields' labels name the circle's inputs; the fields of a
  // rectangle's height, corner bars and bars in y have no use for a circle.
  for (const auto& [rectangle, circle] : kSharedFields) {
    QLabel* label = Label[InputFieldOf(rectangle).label];
    if (rectangle == Field::BarDiameterX) continue;  // "Φ" either way
    label->setText(Text(InputFieldOf(circular ? circle : rectangle).caption));
    label->resize(label->sizeHint().width(), kLabelHeight);
  }
  for (const Field unused :
       {Field::SectionHeight, Field::BarCountY, Field::BarDiameterY, Field::CornerBarDiameter})
    Edit[InputFieldOf(unused).edit]->setEnabled(!circular);
}

void TForm1::SetTabOrder() {
  // Group by group as the form is filled in, then the shape, the analysis
  // settings, the buttons and last the sweep.
  const QWidget* const order[] = {
      Edit[1],  Edit[2],  Edit[3],  Edit[4],  Edit[5],  Edit[6],  Edit[7],  Edit[8],   Edit[9],
      Edit[10], Edit[11], Edit[12], Edit[13], Edit[14], Edit[18], Edit[19], ComboBox1, Edit[15],
      Edit[16], Edit[17], Button2,  Button3,  Button4,  Button5,  Button6,  Button7,   Edit[20],
  };
  for (std::size_t i = 1; i < std::size(order); ++i)
    setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void TForm1::ConnectButtons() {
  const std::pair<QPushButton*, void (TForm1::*)()> wiring[] = {
      {Button6, &TForm1::Button6Click}, {Button2, &TForm1::Button2Click},
      {Button7, &TForm1::Button7Click}, {Button4, &TForm1::Button4Click},
      {Button3, &TForm1::Button3Click}, {Button5, &TForm1::Button5Click},
  };
  for (const auto& [button, click] : wiring)
    connect(button, &QPushButton::clicked, this,
            [this, click = click] { RunOperation([this, click] { (this->*click)(); }); });
}

void TForm1::Button6Click() {
  // Kept as entered for the report, which names the inputs the model was built from.
  std::array<std::string, kFieldSlots> texts;
  for (const InputField& entry : kInputFields)
    texts[static_cast<std::size_t>(FieldNumber(entry.id))] = inputs_(FieldNumber(entry.id));
  const auto entered = [&texts](int field) { return texts.at(static_cast<std::size_t>(field)); };
  EnterSectionData(state_, entered, entered);
  CaptureDesignInput(state_, entered);
  // A design curve the inputs cannot give is reported now, not at 显示PM曲线.
  static_cast<void>(DesignCurvesOf(state_));
  Report1->SectionEntered(texts, state_, SectionFiles1->CurrentFile());
}

void TForm1::Button2Click() {
  const RepaintOnExit repaint(*Image1);
  SurfaceTools1->Draw([this] { DrawSectionView(state_, Image1->Surface()); },
                      [this] { return SectionPicture(state_, Image1->width(), Image1->height()); });
}

void TForm1::Button7Click() {
  Solvers->CheckIdle(Analysis::MomentCurvature);
  RunMomentCurvature(state_, [this](SolverProcess solver) {
    Solvers->Watch(Analysis::MomentCurvature, std::move(solver));
  });
}

void TForm1::Button4Click() {
  const RepaintOnExit repaint(*Image1);
  SurfaceTools1->Draw(
      [this] { ShowMomentCurvatureChart(state_, Image1->Surface()); },
      [this] { return MomentCurvaturePicture(state_, Image1->width(), Image1->height()); });
  Report1->ChartDrawn(SurfaceTools1->Picture());
}

void TForm1::Button3Click() {
  Solvers->CheckIdle(Analysis::Sweep);
  RunAxialSweep(
      state_, [this](SolverProcess solver) { Solvers->Watch(Analysis::Sweep, std::move(solver)); });
}

void TForm1::Button5Click() {
  const RepaintOnExit repaint(*Image1);
  SurfaceTools1->Draw(
      [this] { ShowInteractionCurve(state_, Image1->Surface()); },
      [this] { return InteractionPicture(state_, Image1->width(), Image1->height()); });
  Report1->ChartDrawn(SurfaceTools1->Picture());
}

void TForm1::ShowContourClick() {
  Solvers->CheckIdle(Analysis::Contour);
  RunMxMyContour(state_, [this](SolverProcess solver) {
    Solvers->Watch(Analysis::Contour, std::move(solver));
  });
}

void TForm1::DrawContour() {
  const RepaintOnExit repaint(*Image1);
  MxMyContour contour;
  SurfaceTools1->Draw([&] { contour = ShowMxMyContour(state_, Image1->Surface()); },
                      [&] { return ContourPicture(contour, Image1->width(), Image1->height()); });
}

void TForm1::RunOperation(const std::function<void()>& operation) {
  std::string message;
  try {
    operation();
    return;
  } catch (const Failure& failure) {
    // The whole message: a quoted text may hold a NUL, where what() ends.
    message = failure.Message();
  } catch (const std::exception& failure) {
    // Anything else the library raises, such as running out of memory, is
    // shown with its own text.
    message = failure.what();
  } catch (...) {
    message = "An operation ended with an unexpected error";
  }
  // The box is shown once the failed operation has fully unwound.
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  ShowFailure(message);
}

void TForm1::ShowFailure(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, Text(kApplicationTitle),
                  QString::fromStdString(FailureDisplayText(message)), QMessageBox::Ok, this);
  // Messages quote what was typed and file paths: never read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  ExecMessageBox(box);
}

void TForm1::ExecMessageBox(QMessageBox& box) {
  box.exec();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) ReadUserDecimalSymbol();
  QWidget::changeEvent(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
  PlaceStatusBar();
  QWidget::resizeEvent(event);
}

void TForm1::PlaceStatusBar() {
  // Only the status bar follows the window; everything else keeps its place.
  StatusBar1->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
}

}  // namespace marrowick
