#include "core/decimal_symbol.h"

#include <clocale>
#include <cstring>
#include <string>

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

std::string WithRegionalDecimal(std::string text) {
  for (char& c : text)
    if (c == kFileDecimal) c = regional_decimal;
  return text;
}

std::string WithFileDecimal(std::string text) {
  for (char& c : text)
    if (c == regional_decimal) c = kFileDecimal;
  return text;
}

void SetRegionalDecimal(char symbol) {
  regional_decimal = symbol;
}

}  // namespace marrowick
