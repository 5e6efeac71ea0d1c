#include "app/application.h"

#include <QCoreApplication>
#include <clocale>

#include "core/decimal_symbol.h"

namespace marrowick {

void NameApplication() {
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
}

void ReadUserDecimalSymbol() {
  std::setlocale(LC_NUMERIC, "");
  ReadRegionalDecimal();
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace marrowick
