#pragma once

// The window's design layout in pixels at 96 dpi: the group boxes, the fields
// with their labels and the button column. The window is built from these
// tables and its test checks the built window against them.

#include <array>
#include <cstddef>

#include "section/input_fields.h"

namespace marrowick {

inline constexpr int kFieldHeight = 22;
inline constexpr int kLabelHeight = 14;

struct GroupLayout {
  int number;
  const char* caption;
  int left, top, width, height;
};

inline constexpr GroupLayout kGroups[] = {
    {1, "混凝土材料属性", 8, 8, 233, 121}, {2, "钢筋材料属性", 8, 136, 233, 97},
    {3, "截面参数", 8, 272, 233, 193},     {4, "弯矩曲率分析", 248, 8, 233, 97},
    {5, "PMM分析", 488, 8, 233, 97},
};

// Each field with its label, positions relative to the group box, as the
// table of inputs places them: its rows for the twenty fields of the window.
using FieldLayout = InputField;
inline constexpr std::array<FieldLayout, 20> kFields = [] {
  std::array<FieldLayout, 20> fields{};
  std::size_t next = 0;
  for (const InputField& entry : kInputFields)
    if (entry.edit > 0) fields.at(next++) = entry;
  return fields;
}();

// The button column, top to bottom in the order of work.
inline constexpr int kButtonLeft = 728;
inline constexpr int kButtonWidth = 161;
inline constexpr int kButtonHeight = 25;

struct ButtonLayout {
  const char* name;
  const char* caption;
  int top;
};

inline constexpr ButtonLayout kButtons[] = {
    {"Button6", "输入数据", 56},
    {"Button2", "显示截面", 88},
    {"Button7", "OpenSEES弯矩曲率分析", 120},
    {"Button4", "显示弯矩曲率曲线", 152},
    {"Button3", "OpenSEES PM分析", 184},
    {"Button5", "显示PM曲线", 216},
};

}  // namespace marrowick
