#pragma once

// The window's design layout in pixels at 96 dpi: the group boxes, the fields
// with their labels and the button column. The window is built from these
// tables and its test checks the built window against them.

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

// Each field with its label, positions relative to the group box; the field's
// first text is kDefaultFieldTexts[edit] (section/section_input.h).
struct FieldLayout {
  int edit, group, label;
  const char* caption;
  int label_left, label_top;
  int left, top, width;
};

inline constexpr FieldLayout kFields[] = {
    {1, 1, 1, "极限强度(MPa)", 16, 24, 104, 16, 121},
    {2, 1, 2, "极限强度应变", 16, 48, 104, 40, 121},
    {3, 1, 4, "残余强度(MPa)", 16, 72, 104, 64, 121},
    {4, 1, 3, "残余强度应变", 16, 96, 104, 88, 121},
    {5, 2, 5, "屈服强度(MPa)", 16, 24, 104, 16, 121},
    {6, 2, 6, "弹性模型(MPa)", 16, 48, 104, 40, 121},
    {7, 2, 7, "硬化系数", 16, 72, 104, 64, 121},
    {8, 3, 8, "截面宽度B(mm)", 16, 24, 104, 16, 121},
    {9, 3, 9, "截面宽度H(mm)", 16, 48, 104, 40, 121},
    {10, 3, 10, "钢筋至边距as", 24, 72, 104, 64, 121},
    {19, 3, 19, "角部钢筋直径", 24, 96, 104, 88, 121},
    {11, 3, 11, "X方向钢筋", 40, 120, 104, 112, 49},
    {12, 3, 12, "Φ", 160, 120, 176, 112, 49},
    {13, 3, 13, "Y方向钢筋", 40, 144, 104, 136, 49},
    {14, 3, 14, "Φ", 160, 144, 176, 136, 49},
    {18, 3, 18, "划分单元大小", 24, 168, 104, 160, 121},
    {15, 4, 15, "施加轴力(kN))", 24, 24, 104, 16, 121},
    {16, 4, 16, "弯矩方向夹角", 24, 48, 104, 40, 121},
    {17, 4, 17, "最大曲率限值", 24, 72, 104, 64, 121},
    {20, 5, 20, "轴压力分段", 32, 24, 104, 16, 121},
};

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
