#include <QApplication>

#include "app/application.h"
#include "app/form1.h"
#include "app/section_files.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  marrowick::NameApplication();
  marrowick::ReadUserDecimalSymbol();
  marrowick::TForm1 form;
  form.show();
  // `marrowick FILE`: start from a section file.
  form.SectionFiles1->OpenFromCommandLine(QApplication::arguments());
  return application.exec();
}
