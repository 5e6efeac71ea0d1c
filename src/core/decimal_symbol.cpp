#include "core/decimal_symbol.h"

#include <clocale>
#include <cstring>

namespace marrowick {

namespace {
char regional_decimal = '.';
}

char RegionalDecimal() {
  return regional_decimal;
}

void ReadRegionalDecimal() {
  const lconv* conventions = std::localeconv();
  const char* point = conventions ? conventions->decimal_point : nullptr;
  if (point && std::strlen(point) == 1 && static_cast<unsigned char>(point[0]) < 128)
    regional_decimal = point[0];
  else
    regional_decimal = '.';
}

void SetRegionalDecimal(char symbol) {
  regional_decimal = symbol;
}

}  // namespace marrowick
