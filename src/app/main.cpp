#include <QApplication>

#include "app/application.h"
#include "app/form1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  marrowick::NameApplication();
  marrowick::ReadUserDecimalSymbol();
  marrowick::TForm1 form;
  form.show();
  return application.exec();
}
