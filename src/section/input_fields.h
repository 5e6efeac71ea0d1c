#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace marrowick {

// The inputs of a section. The twenty of the main window take the number N
// of their field EditN; inputs edited elsewhere (a dialog) and absent unless
// given take numbers above 20.
enum class Field {
  ConcreteStrength = 1,
  ConcretePeakStrain = 2,
  ConcreteResidualStrength = 3,
  ConcreteUltimateStrain = 4,
  SteelYieldStrength = 5,
  SteelModulus = 6,
  SteelHardeningRatio = 7,
  SectionWidth = 8,
  SectionHeight = 9,
  BarCover = 10,
  BarCountX = 11,
  BarDiameterX = 12,
  BarCountY = 13,
  BarDiameterY = 14,
  AxialLoad = 15,
  BendingAngle = 16,
  CurvatureLimit = 17,
  MeshSize = 18,
  CornerBarDiameter = 19,
  AxialLevels = 20,
  // The hoops of a confined core, edited in a dialog; without the first
  // three the concrete is unconfined.
  HoopDiameter = 21,
  HoopSpacing = 22,
  HoopYieldStrength = 23,
  HoopLegsX = 24,
  HoopLegsY = 25,
  HoopStrainAtMaxStress = 26,
  // The design code's curve beside the analysis (the dialog 设计参数…). The
  // words are any word here: the code's tables decide which they know, and
  // an unknown one fails when 输入数据 takes it.
  DesignCode = 30,
  DesignConcreteGrade = 31,
  DesignSteelGrade = 32,
  DesignConcreteStrength = 33,
  DesignSteelYield = 34,
  DesignSteelCompression = 35,
  DesignSteelModulus = 36,
  // The outline's shape; absent, the section is rectangular.
  SectionShape = 37,
  // A circular section's outline and bars, which the window shows in the
  // fields of the width and the bars in x while the circle is chosen.
  CircleDiameter = 38,
  CircleBarCount = 39,
  CircleBarDiameter = 40,
  // Around a circular core: a continuous spiral or separate circular hoops.
  Transverse = 41,
};

inline constexpr int FieldNumber(Field field) {
  return static_cast<int>(field);
}

// The outlines an input belongs to: an input of the other outline is no key
// of a section file of this one.
enum class FieldShape { Any, Rectangular, Circular };

// How an input's text is read: a real, a whole number, or a word (a design
// code's or a grade's name, from the input's list of choices when it has one).
enum class FieldRule { Real, Integer, Word };

// Everything the program knows of an input: its section-file key, how its
// text is read, the text it starts with, and its label and place in the
// window (pixels at 96 dpi, relative to its group box).
struct InputField {
  Field id;
  int edit;                // EditN, FieldNumber(id); 0 for an input not in the main window
  const char* file_group;  // "[concrete]" … in a section file; null: not in the file
  const char* key;         // the section file's and summary.json's name
  FieldRule rule;
  const char* default_text;  // with a point as the decimal symbol; null: absent unless given
  const char* caption;       // the label's text
  int group, label;          // GroupBoxN and LabelN (main-window inputs)
  int label_left, label_top;
  int left, top, width;
  const char* choices = nullptr;  // a word's choices, "|"-separated; null: any word
  FieldShape shape = FieldShape::Any;
};

// The one table of inputs, in the order a section file lists them and the
// window builds its fields: materials, outline and bars, then the analysis
// settings, then the dialogs' inputs. The bending angle is written to a file
// only when it is not zero (OmittedAtZero), so that the files of sections bent
// about x alone stay as they were before the angle could be set.
inline constexpr std::array<InputField, 38> kInputFields{{
    // clang-format off
    {Field::ConcreteStrength, 1, "concrete", "peak_strength_MPa", FieldRule::Real, "35", "极限强度(MPa)", 1, 1, 16, 24, 104, 16, 121},
    {Field::ConcretePeakStrain, 2, "concrete", "peak_strain", FieldRule::Real, "0.002", "极限强度应变", 1, 2, 16, 48, 104, 40, 121},
    {Field::ConcreteResidualStrength, 3, "concrete", "residual_strength_MPa", FieldRule::Real, "15", "残余强度(MPa)", 1, 4, 16, 72, 104, 64, 121},
    {Field::ConcreteUltimateStrain, 4, "concrete", "residual_strain", FieldRule::Real, "0.0033", "残余强度应变", 1, 3, 16, 96, 104, 88, 121},
    {Field::SteelYieldStrength, 5, "steel", "yield_strength_MPa", FieldRule::Real, "300", "屈服强度(MPa)", 2, 5, 16, 24, 104, 16, 121},
    {Field::SteelModulus, 6, "steel", "elastic_modulus_MPa", FieldRule::Real, "215000", "弹性模型(MPa)", 2, 6, 16, 48, 104, 40, 121},
    {Field::SteelHardeningRatio, 7, "steel", "hardening_ratio", FieldRule::Real, "0.0001", "硬化系数", 2, 7, 16, 72, 104, 64, 121},
    {Field::SectionShape, 0, "section", "shape", FieldRule::Word, nullptr, "截面形状", 0, 0, 0, 0, 0, 0, 0},
    {Field::SectionWidth, 8, "section", "width_mm", FieldRule::Real, "500", "截面宽度B(mm)", 3, 8, 16, 24, 104, 16, 121, nullptr, FieldShape::Rectangular},
    {Field::SectionHeight, 9, "section", "height_mm", FieldRule::Real, "600", "截面宽度H(mm)", 3, 9, 16, 48, 104, 40, 121, nullptr, FieldShape::Rectangular},
    {Field::CircleDiameter, 0, "section", "diameter_mm", FieldRule::Real, "600", "直径D(mm)", 0, 0, 0, 0, 0, 0, 0, nullptr, FieldShape::Circular},
    {Field::BarCover, 10, "section", "cover_mm", FieldRule::Real, "35", "钢筋至边距as", 3, 10, 24, 72, 104, 64, 121},
    {Field::CornerBarDiameter, 19, "section", "corner_bar_diameter_mm", FieldRule::Real, "20", "角部钢筋直径", 3, 19, 24, 96, 104, 88, 121, nullptr, FieldShape::Rectangular},
    {Field::BarCountX, 11, "section", "bars_x", FieldRule::Integer, "2", "X方向钢筋", 3, 11, 40, 120, 104, 112, 49, nullptr, FieldShape::Rectangular},
    {Field::BarDiameterX, 12, "section", "bar_diameter_x_mm", FieldRule::Integer, "20", "Φ", 3, 12, 160, 120, 176, 112, 49, nullptr, FieldShape::Rectangular},
    {Field::BarCountY, 13, "section", "bars_y", FieldRule::Integer, "2", "Y方向钢筋", 3, 13, 40, 144, 104, 136, 49, nullptr, FieldShape::Rectangular},
    {Field::BarDiameterY, 14, "section", "bar_diameter_y_mm", FieldRule::Integer, "20", "Φ", 3, 14, 160, 144, 176, 136, 49, nullptr, FieldShape::Rectangular},
    {Field::CircleBarCount, 0, "section", "bars", FieldRule::Integer, "8", "纵筋根数", 0, 0, 0, 0, 0, 0, 0, nullptr, FieldShape::Circular},
    {Field::CircleBarDiameter, 0, "section", "bar_diameter_mm", FieldRule::Integer, "20", "纵筋直径Φ(mm)", 0, 0, 0, 0, 0, 0, 0, nullptr, FieldShape::Circular},
    {Field::MeshSize, 18, "section", "fiber_size_mm", FieldRule::Real, "35", "划分单元大小", 3, 18, 24, 168, 104, 160, 121},
    {Field::AxialLoad, 15, "analysis", "axial_force_kN", FieldRule::Real, "-1000", "施加轴力(kN))", 4, 15, 24, 24, 104, 16, 121},
    {Field::BendingAngle, 16, "analysis", "bending_angle_deg", FieldRule::Real, "0", "弯矩方向夹角", 4, 16, 24, 48, 104, 40, 121},
    {Field::CurvatureLimit, 17, "analysis", "max_curvature_per_mm", FieldRule::Real, "0.00002", "最大曲率限值", 4, 17, 24, 72, 104, 64, 121},
    {Field::AxialLevels, 20, "analysis", "axial_segments", FieldRule::Integer, "20", "轴压力分段", 5, 20, 32, 24, 104, 16, 121},
    // Every hoop input is absent unless given, so that a section without
    // hoops keeps its files as they were; the legs and the hoops' strain then
    // take the values their captions name.
    {Field::HoopDiameter, 0, "confinement", "hoop_diameter_mm", FieldRule::Real, nullptr, "箍筋直径(mm)", 0, 0, 0, 0, 0, 0, 0},
    {Field::HoopSpacing, 0, "confinement", "hoop_spacing_mm", FieldRule::Real, nullptr, "箍筋间距s(mm)", 0, 0, 0, 0, 0, 0, 0},
    {Field::HoopYieldStrength, 0, "confinement", "hoop_yield_strength_MPa", FieldRule::Real, nullptr, "箍筋屈服强度(MPa)", 0, 0, 0, 0, 0, 0, 0},
    {Field::HoopLegsX, 0, "confinement", "hoop_legs_x", FieldRule::Integer, nullptr, "X方向箍筋肢数(空为2)", 0, 0, 0, 0, 0, 0, 0, nullptr, FieldShape::Rectangular},
    {Field::HoopLegsY, 0, "confinement", "hoop_legs_y", FieldRule::Integer, nullptr, "Y方向箍筋肢数(空为2)", 0, 0, 0, 0, 0, 0, 0, nullptr, FieldShape::Rectangular},
    {Field::Transverse, 0, "confinement", "transverse", FieldRule::Word, nullptr, "螺旋箍或圆箍 (spiral, hoops; 空为hoops)", 0, 0, 0, 0, 0, 0, 0, nullptr, FieldShape::Circular},
    {Field::HoopStrainAtMaxStress, 0, "confinement", "hoop_strain_at_max_stress", FieldRule::Real, nullptr, "箍筋极限应变εsu(空为0.12)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignCode, 0, "design", "code", FieldRule::Word, nullptr, "设计规范 (GB50010, ACI318)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignConcreteGrade, 0, "design", "concrete_grade", FieldRule::Word, nullptr, "混凝土强度等级 (C15…C80)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignSteelGrade, 0, "design", "steel_grade", FieldRule::Word, nullptr, "钢筋牌号 (HPB300, HRB400…)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignConcreteStrength, 0, "design", "fc_MPa", FieldRule::Real, nullptr, "混凝土强度fc(MPa)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignSteelYield, 0, "design", "fy_MPa", FieldRule::Real, nullptr, "钢筋抗拉强度fy(MPa)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignSteelCompression, 0, "design", "fy_compression_MPa", FieldRule::Real, nullptr, "钢筋抗压强度f'y(MPa)", 0, 0, 0, 0, 0, 0, 0},
    {Field::DesignSteelModulus, 0, "design", "Es_MPa", FieldRule::Real, nullptr, "钢筋弹性模量Es(MPa)", 0, 0, 0, 0, 0, 0, 0},
    // clang-format on
}};

static_assert(
    [] {
      for (const InputField& entry : kInputFields)
        if (entry.edit != 0 ? entry.edit != FieldNumber(entry.id) : FieldNumber(entry.id) <= 20)
          return false;
      return true;
    }(),
    "every main-window input sits in the field of its own number, and no other input takes one");

// One slot per input number, slot 0 unused.
inline constexpr std::size_t kFieldSlots = [] {
  int largest = 0;
  for (const InputField& entry : kInputFields)
    largest = FieldNumber(entry.id) > largest ? FieldNumber(entry.id) : largest;
  return static_cast<std::size_t>(largest) + 1;
}();

// Whether a section of this outline has the input: the other outline's
// inputs are no keys of its section file and play no part in its model.
constexpr bool FieldOfShape(const InputField& entry, bool circular) {
  return entry.shape == FieldShape::Any ||
         entry.shape == (circular ? FieldShape::Circular : FieldShape::Rectangular);
}

// The words of the outline and of a circle's hoops, left out for the first.
// Like a design code's name they are any word in a section file, and
// 输入数据 refuses one it does not know.
inline constexpr char kRectangularShape[] = "rectangular";
inline constexpr char kCircularShape[] = "circular";
inline constexpr char kCircularHoops[] = "hoops";
inline constexpr char kSpiral[] = "spiral";

// The outline a section file or the inputs name: none for a word that is
// neither (an empty one is a rectangle).
constexpr std::optional<bool> CircularShape(std::string_view shape) {
  if (shape.empty() || shape == kRectangularShape) return false;
  if (shape == kCircularShape) return true;
  return std::nullopt;
}

// An input that a section file and summary.json leave out while it is zero.
constexpr bool OmittedAtZero(Field field) {
  return field == Field::BendingAngle;
}

// The table's entry for a field.
constexpr const InputField& InputFieldOf(Field field) {
  for (const InputField& entry : kInputFields)
    if (entry.id == field) return entry;
  return kInputFields[0];  // unreachable: every field has its entry
}

// An input as a message names it: its caption, then its section-file key in
// brackets, so that the window's user and the file's writer both find it.
inline std::string NamedInput(Field field) {
  return std::string(InputFieldOf(field).caption) + " (" + InputFieldOf(field).key + ")";
}

// The texts the inputs start with, kDefaultFieldTexts[N] for input N (slot 0
// unused; null for an input absent unless given).
inline constexpr std::array<const char*, kFieldSlots> kDefaultFieldTexts = [] {
  std::array<const char*, kFieldSlots> texts{""};
  for (const InputField& entry : kInputFields)
    texts[static_cast<std::size_t>(FieldNumber(entry.id))] = entry.default_text;
  return texts;
}();

}  // namespace marrowick
