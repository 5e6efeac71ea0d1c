// Shows the real window as a person sees it after pressing "输入数据" and
// "显示截面", then saves it: the window's own picture to the file named by
// MARROWICK_SCREENSHOT, and, when MARROWICK_SCREEN names a file, the whole X
// screen with the window manager's frame. It prints the title the window
// manager reads. The program itself has no such settings: this tool only
// borrows its window.
#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/form1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  marrowick::NameApplication();
  marrowick::ReadUserDecimalSymbol();
  const QString window_file = qEnvironmentVariable("MARROWICK_SCREENSHOT", "section-view.png");
  const QString screen_file = qEnvironmentVariable("MARROWICK_SCREEN");

  marrowick::TForm1 form;
  form.show();
  int status = 0;
  // Give the window manager time to frame and map the window before the clicks.
  QTimer::singleShot(1000, &form, [&] {
    form.findChild<QPushButton*>("Button6")->click();
    form.findChild<QPushButton*>("Button2")->click();
    QTimer::singleShot(500, &form, [&] {
      if (!form.grab().save(window_file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(window_file));
        status = 1;
      }
      if (!screen_file.isEmpty())
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"), screen_file});
      // The title as the window manager sees it, without any suffix of the toolkit's.
      QProcess::execute(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), QString::number(form.winId()),
                         QStringLiteral("WM_NAME"), QStringLiteral("_NET_WM_NAME")});
      application.quit();
    });
  });
  const int loop = application.exec();
  return status ? status : loop;
}
