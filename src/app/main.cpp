#include <QApplication>

#include "app/application.h"
#include "app/form1.h"
#include "app/section_files.h"
#include "core/runtime_directory.h"

int main(int argc, char** argv) {
  marrowick::ProvideRuntimeDirectory();
  QApplication application(argc, argv);
  marrowick::NameApplication();
  marrowick::ReadUserDecimalSymbol();
  marrowick::TForm1 form;
  form.show();
  // `marrowick FILE`: start from a section file.
  form.SectionFiles1->OpenFromCommandLine(QApplication::arguments());
  return application.exec();
}
