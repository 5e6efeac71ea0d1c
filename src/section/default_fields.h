#pragma once

#include <array>

namespace marrowick {

// The texts the window's fields start with, EditN's at [N], written with a
// point (core/decimal_symbol.h turns it into the regional symbol for a field).
inline constexpr std::array<const char*, 21> kDefaultFieldTexts{
    "",  "35", "0.002", "15", "0.0033", "300", "215000",  "0.0001", "500", "600", "35",
    "2", "20", "2",     "20", "-1000",  "0",   "0.00002", "35",     "20",  "20"};

}  // namespace marrowick
