// Shows the real window as a person sees it and saves it at three points of
// the road with the default section, into the directory named by
// MARROWICK_SCREENSHOTS:
//   section-view.png       after "输入数据" and "显示截面"
//   moment-curvature.png   after "OpenSEES弯矩曲率分析", the solver's run and
//                          "显示弯矩曲率曲线"
//   interaction-curve.png  after "OpenSEES PM分析", all 21 runs and "显示PM曲线"
//   key-points.png         the moment-curvature chart with "显示特征点" on
//   context-menu.png       the screen under the window with the drawing
//                          surface's context menu open over the N-M curve
//   report.pdf             保存报告… at the end, in the current directory
//   design-curve.png       the N-M curve with GB 50010's design curve for
//                          C30 / HRB400 beside it, key points marked
//   confinement-dialog.png the dialog of the hoops (约束混凝土…), filled in
//   confined-section-view.png, confined-key-points.png
//                          that section, confined, under 3000 kN: its view
//                          and its moment-curvature curve with key points
//   circle-section-view.png, circle-moment-curvature.png, circle-interaction-curve.png
//                          a circular column (圆形柱: D 600, 12 Φ22, a Φ10
//                          spiral at 75) under 3000 kN: its view, its curve
//                          with key points and its N-M curve
// When MARROWICK_SCREEN names a file it also saves the whole X screen with the
// window manager's frame, at the section view, and it prints the title the
// window manager reads. The solvers work in the current directory. The
// program itself has no such settings: this tool only borrows its window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <utility>

#include "app/application.h"
#include "app/form1.h"
#include "app/image_control.h"
#include "app/input_dialog.h"
#include "app/report_tool.h"
#include "app/surface_tools.h"
#include "core/decimal_symbol.h"
#include "solver_wait.h"

namespace {

// A failure box would wait for a person forever: print it and give up.
class ScreenshotForm : public marrowick::TForm1 {
 public:
  bool failed = false;

  void Press(const char* button) {
    if (!failed) findChild<QPushButton*>(QString::fromLatin1(button))->click();
  }

 protected:
  void ExecMessageBox(QMessageBox& box) override {
    std::fprintf(stderr, "Marrowick reported: %s\n", qPrintable(box.text()));
    failed = true;
  }
};

constexpr auto kSolverPatience = std::chrono::seconds(60);

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // A steady caret: a blinking one would be in the picture or not depending
  // on the moment it is taken.
  QApplication::setCursorFlashTime(0);
  marrowick::NameApplication();
  marrowick::ReadUserDecimalSymbol();
  const QDir out(qEnvironmentVariable("MARROWICK_SCREENSHOTS", QStringLiteral(".")));
  const QString screen_file = qEnvironmentVariable("MARROWICK_SCREEN");

  ScreenshotForm form;
  form.show();
  int status = 0;
  const auto save = [&](const char* name) {
    const QString file = out.filePath(QString::fromLatin1(name));
    if (form.failed || !form.grab().save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      status = 1;
      return;
    }
    std::printf("saved %s\n", qPrintable(file));
    std::fflush(stdout);
  };
  // Waits as a person would before pressing a chart button, the window
  // staying alive meanwhile.
  const auto wait = [&](std::vector<marrowick::testing::SolverRun> runs) {
    if (form.failed) return;
    const auto unfinished = marrowick::testing::WaitForSolvers(
        std::move(runs), kSolverPatience, [] { QCoreApplication::processEvents(); });
    for (const auto& run : unfinished)
      std::fprintf(stderr, "the solver on %s did not finish\n", run.script.c_str());
    if (!unfinished.empty()) form.failed = true;
  };
  // Each picture is taken after the window had time to repaint.
  const auto after = [&](int milliseconds, std::function<void()> step) {
    QTimer::singleShot(milliseconds, &form, std::move(step));
  };

  // The circular column of the reference runs with its spiral, after the
  // confined rectangle (whose hoop inputs it keeps but for the legs).
  const std::function<void()> circle = [&] {
    using marrowick::Field;
    form.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
    const std::pair<Field, const char*> inputs[] = {
        {Field::CircleDiameter, "600"},    {Field::BarCover, "50"},
        {Field::CircleBarCount, "12"},     {Field::CircleBarDiameter, "22"},
        {Field::MeshSize, "40"},           {Field::HoopSpacing, "75"},
        {Field::HoopYieldStrength, "400"}, {Field::Transverse, "spiral"}};
    for (const auto& [field, text] : inputs)
      form.Inputs().SetText(field, QString::fromLatin1(text));
    form.Press("Button6");
    form.Press("Button2");
    after(500, [&] {
      save("circle-section-view.png");
      form.Press("Button7");
      wait({{"os.tcl", "mom_cur.out"}});
      form.Press("Button4");
      after(500, [&] {
        save("circle-moment-curvature.png");
        form.SurfaceTools1->ShowKeyPoints->setChecked(false);
        form.Press("Button3");
        wait(marrowick::testing::SweepRuns(21));
        form.Press("Button5");
        after(500, [&] {
          save("circle-interaction-curve.png");
          application.quit();
        });
      });
    });
  };

  // The default section under 3000 kN with Φ10 hoops at 100, fyh 300 and a
  // crosstie each way, bent to 1e-4 /mm: its dialog, its section and its
  // curve with the key points, the ultimate one where the core crushes.
  const std::function<void()> confined = [&] {
    marrowick::InputDialog dialog(
        &form, QString::fromUtf8("约束混凝土…"),
        {marrowick::Field::HoopDiameter, marrowick::Field::HoopSpacing,
         marrowick::Field::HoopYieldStrength, marrowick::Field::HoopLegsX,
         marrowick::Field::HoopLegsY, marrowick::Field::HoopStrainAtMaxStress},
        form.Inputs(), [&](const std::function<void()>& apply) { form.RunOperation(apply); });
    using marrowick::Field;
    const std::pair<Field, const char*> hoops[] = {{Field::HoopDiameter, "10"},
                                                   {Field::HoopSpacing, "100"},
                                                   {Field::HoopYieldStrength, "300"},
                                                   {Field::HoopLegsX, "4"},
                                                   {Field::HoopLegsY, "4"}};
    for (const auto& [field, text] : hoops)
      qobject_cast<QLineEdit*>(dialog.Editor(field))->setText(QString::fromLatin1(text));
    dialog.show();
    QCoreApplication::processEvents();
    if (!dialog.grab().save(out.filePath(QStringLiteral("confinement-dialog.png")))) status = 1;
    dialog.Apply();
    form.findChild<QLineEdit*>(QStringLiteral("Edit15"))->setText(QStringLiteral("-3000"));
    form.findChild<QLineEdit*>(QStringLiteral("Edit17"))
        ->setText(QString::fromStdString(marrowick::WithRegionalDecimal("0.0001")));
    form.Press("Button6");
    form.Press("Button2");
    after(500, [&] {
      save("confined-section-view.png");
      form.Press("Button7");
      wait({{"os.tcl", "mom_cur.out"}});
      form.Press("Button4");
      form.SurfaceTools1->ShowKeyPoints->setChecked(true);
      after(500, [&] {
        save("confined-key-points.png");
        circle();
      });
    });
  };

  // Give the window manager time to frame and map the window before the clicks.
  after(1000, [&] {
    form.Press("Button6");
    form.Press("Button2");
    after(500, [&] {
      save("section-view.png");
      if (!screen_file.isEmpty())
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"), screen_file});
      // The title as the window manager sees it, without any suffix of the toolkit's.
      QProcess::execute(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), QString::number(form.winId()),
                         QStringLiteral("WM_NAME"), QStringLiteral("_NET_WM_NAME")});

      form.Press("Button7");
      wait({{"os.tcl", "mom_cur.out"}});
      form.Press("Button4");
      after(500, [&] {
        save("moment-curvature.png");
        form.SurfaceTools1->ShowKeyPoints->setChecked(true);
        after(500, [&] {
          save("key-points.png");
          form.SurfaceTools1->ShowKeyPoints->setChecked(false);
          form.Press("Button3");
          wait(marrowick::testing::SweepRuns(21));
          form.Press("Button5");
          after(500, [&] {
            save("interaction-curve.png");
            // A menu is a window of its own: taken from the screen, where
            // it lies over the window.
            QMenu* menu = form.SurfaceTools1->BuildMenu(form.Image1);
            menu->popup(form.Image1->mapToGlobal(QPoint(300, 120)));
            after(500, [&, menu] {
              const QRect area = form.frameGeometry().united(menu->geometry());
              if (!form.screen()
                       ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                       .save(out.filePath(QStringLiteral("context-menu.png"))))
                status = 1;
              menu->close();
              form.RunOperation([&] { form.Report1->Save("report.pdf"); });
              if (form.failed) status = 1;
              // The same levels beside GB 50010's design curve for C30 and
              // HRB400, its key points marked.
              using marrowick::Field;
              form.Inputs().SetText(Field::DesignCode, QStringLiteral("GB50010"));
              form.Inputs().SetText(Field::DesignConcreteGrade, QStringLiteral("C30"));
              form.Inputs().SetText(Field::DesignSteelGrade, QStringLiteral("HRB400"));
              form.Press("Button6");
              form.Press("Button5");
              form.SurfaceTools1->ShowKeyPoints->setChecked(true);
              after(500, [&] {
                save("design-curve.png");
                // The confined pictures are of the section without a code.
                for (const Field field :
                     {Field::DesignCode, Field::DesignConcreteGrade, Field::DesignSteelGrade})
                  form.Inputs().SetText(field, QString());
                confined();
              });
            });
          });
        });
      });
    });
  });
  const int loop = application.exec();
  return status ? status : loop;
}
