#include "charts/calculation_report.h"

#include <QBuffer>
#include <QByteArray>
#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <numbers>
#include <span>
#include <string_view>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "section/input_fields.h"

#ifndef MARROWICK_VERSION
#define MARROWICK_VERSION "unknown"
#endif

namespace marrowick {

namespace {

// The sheet is laid out in points (1/72 inch) on A4.
constexpr double kPageWidth = 595.28;
constexpr double kMargin = 42;
constexpr double kRight = kPageWidth - kMargin;
constexpr char kDash[] = "—";
// The CJK font the install step brings; it carries the Latin digits too, so
// the whole sheet is set in one embedded font.
constexpr char kFontFamily[] = "WenQuanYi Micro Hei";

const QColor kInk(0, 0, 0);
const QColor kRule(150, 150, 150);
const QColor kCurve(200, 0, 0);
const QColor kKeyPoint(0, 128, 0);

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QFont SheetFont(double points, bool bold = false) {
  QFont font(QString::fromUtf8(kFontFamily));
  font.setPointSizeF(points);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

std::span<const double> Entries(const RealTable& table, int32_t count) {
  if (count < 1 || table.size() < static_cast<std::size_t>(count) + 1) return {};
  return std::span<const double>(table).subspan(1, static_cast<std::size_t>(count));
}

// A figure, or "—" when absent.
std::string Figure(const std::optional<double>& value, char decimal) {
  return value ? ReportNumber(*value, decimal) : kDash;
}

// One line of the sheet at a time, top to bottom.
class Sheet {
 public:
  Sheet(QPainter& painter, char decimal) : painter_(painter), decimal_(decimal) {}

  QPainter& Painter() { return painter_; }
  char Decimal() const { return decimal_; }
  double Y() const { return y_; }
  void Skip(double points) { y_ += points; }

  void Heading(const std::string& text) {
    y_ += 8;
    painter_.setFont(SheetFont(11, true));
    painter_.setPen(kInk);
    painter_.drawText(QPointF(kMargin, y_ + 11), Q(text));
    y_ += 16;
    painter_.setPen(QPen(kRule, 0.5));
    painter_.drawLine(QPointF(kMargin, y_), QPointF(kRight, y_));
    y_ += 4;
  }

  // A row of cells starting at the given x positions.
  void Row(const std::vector<std::string>& cells, const std::vector<double>& columns,
           bool bold = false, double size = 8.5) {
    painter_.setFont(SheetFont(size, bold));
    painter_.setPen(kInk);
    for (std::size_t i = 0; i < cells.size() && i < columns.size(); ++i)
      painter_.drawText(QPointF(columns[i], y_ + size + 1), Q(cells[i]));
    y_ += size + 4.5;
  }

  void Line(const std::string& text, double size = 8.5) { Row({text}, {kMargin}, false, size); }

  void Rule() {
    painter_.setPen(QPen(kRule, 0.3));
    painter_.drawLine(QPointF(kMargin, y_ + 1), QPointF(kRight, y_ + 1));
    y_ += 3;
  }

 private:
  QPainter& painter_;
  char decimal_;
  double y_ = kMargin;
};

// Tick spacing of 1, 2 or 5 times a power of ten, about five to a span.
double TickStep(double span) {
  if (!(span > 0) || !std::isfinite(span)) return 1;
  const double raw = span / 5;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double fraction = raw / power;
  return (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * power;
}

struct Axis {
  double low = 0, high = 1, step = 1;
  int exponent = 0;  // tick labels are the values over 10^exponent
};

// An axis over the values, widened to whole ticks. Very small values (a
// curvature per mm) are labelled in a power of ten of their own, so that the
// tick labels stay short.
Axis AxisOver(double low, double high) {
  if (!(high > low)) {
    low -= 1;
    high += 1;
  }
  Axis axis;
  const double largest = std::max(std::fabs(low), std::fabs(high));
  if (largest < 1e-2) axis.exponent = -3 * static_cast<int>(std::ceil(-std::log10(largest) / 3));
  axis.step = TickStep(high - low);
  axis.low = std::floor(low / axis.step) * axis.step;
  axis.high = std::ceil(high / axis.step) * axis.step;
  return axis;
}

std::string AxisCaption(const std::string& caption, const Axis& axis) {
  if (axis.exponent == 0) return caption;
  return caption + " ×10^" + std::to_string(axis.exponent);
}

struct ChartMark {
  double x = 0, y = 0;
  std::string label;
  // Where the label goes: a peak that is also the ultimate point, or a yield
  // point just before the peak, keeps both labels readable.
  enum class Side { Right, Below, Left } side = Side::Right;
};

// A chart as vectors in `box`: a frame with labelled ticks, the curve in red
// through the points in order, its key points as green squares.
void DrawChart(QPainter& painter, const QRectF& box, const std::vector<QPointF>& points,
               bool circles, const std::string& x_caption, const std::string& y_caption,
               const std::vector<ChartMark>& marks, char decimal) {
  double x_low = 0, x_high = 0, y_low = 0, y_high = 0;
  for (const QPointF& point : points) {
    x_low = std::min(x_low, point.x());
    x_high = std::max(x_high, point.x());
    y_low = std::min(y_low, point.y());
    y_high = std::max(y_high, point.y());
  }
  const Axis x_axis = AxisOver(x_low, x_high);
  const Axis y_axis = AxisOver(y_low, y_high);
  const QRectF plot = box.adjusted(38, 8, -6, -30);
  const auto place = [&](double x, double y) {
    return QPointF(plot.left() + (x - x_axis.low) / (x_axis.high - x_axis.low) * plot.width(),
                   plot.bottom() - (y - y_axis.low) / (y_axis.high - y_axis.low) * plot.height());
  };

  painter.setFont(SheetFont(7));
  const QFontMetricsF metrics(painter.font());
  const auto tick_text = [&](double value, const Axis& axis) {
    const double shown = value / std::pow(10.0, axis.exponent);
    return Q(ReportNumber(std::fabs(shown) < axis.step * 1e-9 ? 0 : shown, decimal));
  };
  for (double x = x_axis.low; x <= x_axis.high + x_axis.step / 2; x += x_axis.step) {
    const QPointF at = place(x, y_axis.low);
    painter.setPen(QPen(kRule, 0.25));
    painter.drawLine(QPointF(at.x(), plot.top()), QPointF(at.x(), plot.bottom()));
    painter.setPen(kInk);
    const QString text = tick_text(x, x_axis);
    painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(text) / 2, plot.bottom() + 10),
                     text);
  }
  for (double y = y_axis.low; y <= y_axis.high + y_axis.step / 2; y += y_axis.step) {
    const QPointF at = place(x_axis.low, y);
    painter.setPen(QPen(kRule, 0.25));
    painter.drawLine(QPointF(plot.left(), at.y()), QPointF(plot.right(), at.y()));
    painter.setPen(kInk);
    const QString text = tick_text(y, y_axis);
    painter.drawText(QPointF(plot.left() - 3 - metrics.horizontalAdvance(text), at.y() + 2.5),
                     text);
  }
  painter.setPen(QPen(kInk, 0.6));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  if (y_axis.low < 0 && y_axis.high > 0) {
    painter.setPen(QPen(QColor(0, 0, 255), 0.5));
    painter.drawLine(place(x_axis.low, 0), place(x_axis.high, 0));
  }

  painter.setFont(SheetFont(8));
  painter.setPen(kInk);
  painter.drawText(QRectF(plot.left(), plot.bottom() + 13, plot.width(), 12), Qt::AlignHCenter,
                   Q(AxisCaption(x_caption, x_axis)));
  painter.save();
  painter.translate(box.left() + 6, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, -6, plot.height(), 12), Qt::AlignHCenter,
                   Q(AxisCaption(y_caption, y_axis)));
  painter.restore();

  QPainterPath curve;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const QPointF at = place(points[i].x(), points[i].y());
    if (i == 0)
      curve.moveTo(at);
    else
      curve.lineTo(at);
  }
  painter.setPen(QPen(kCurve, 0.9));
  painter.drawPath(curve);
  if (circles)
    for (const QPointF& point : points) painter.drawEllipse(place(point.x(), point.y()), 1.6, 1.6);

  painter.setFont(SheetFont(7.5));
  const QFontMetricsF metrics_marks(painter.font());
  for (const ChartMark& mark : marks) {
    const QPointF at = place(mark.x, mark.y);
    if (!plot.adjusted(-0.5, -0.5, 0.5, 0.5).contains(at)) continue;
    painter.setPen(kKeyPoint);
    painter.setBrush(kKeyPoint);
    painter.drawRect(QRectF(at.x() - 2, at.y() - 2, 4, 4));
    painter.setBrush(Qt::NoBrush);
    const QString label = Q(mark.label);
    const double left =
        mark.side == ChartMark::Side::Left ? -4 - metrics_marks.horizontalAdvance(label) : 4;
    painter.drawText(at + QPointF(left, mark.side == ChartMark::Side::Below ? 9 : -3), label);
  }
}

// A circular section: the outline, the hoop centreline when it has hoops,
// the concrete fibers as points, the bars to scale, and its figures beside it.
void DrawCircularSection(Sheet& sheet, const AnalysisState& state, double height) {
  QPainter& painter = sheet.Painter();
  const char decimal = sheet.Decimal();
  const QRectF area(kMargin + 40, sheet.Y() + 6, 250, height - 30);
  const double diameter = state.CircleDiameter;
  const double scale = std::min(area.width(), area.height()) / diameter;
  const QPointF centre(area.left() + diameter * scale / 2, area.top() + diameter * scale / 2);
  const auto place = [&](double x, double y) {
    return QPointF(centre.x() + x * scale, centre.y() - y * scale);
  };
  for (int32_t i = 1; i <= state.FiberCount && i < static_cast<int32_t>(state.Fibers.size()); ++i) {
    const TFiber& fiber = state.Fibers[static_cast<std::size_t>(i)];
    const bool bar = fiber.MatTag == 2;
    const double radius =
        bar ? std::max(std::sqrt(std::max(0.0, fiber.Area) / std::numbers::pi) * scale, 1.0) : 0.4;
    const QColor colour = bar ? QColor(255, 0, 0) : QColor(190, 170, 90);
    painter.setPen(QPen(colour, 0.3));
    painter.setBrush(colour);
    painter.drawEllipse(place(fiber.X, fiber.Y), radius, radius);
  }
  painter.setBrush(Qt::NoBrush);
  if (const auto& core = state.Confinement) {
    painter.setPen(QPen(QColor(0, 0, 255), 0.5));
    painter.drawEllipse(centre, core->CoreWidth / 2 * scale, core->CoreWidth / 2 * scale);
  }
  painter.setPen(QPen(kInk, 0.8));
  painter.drawEllipse(centre, diameter / 2 * scale, diameter / 2 * scale);

  const auto number = [&](double value) { return ReportNumber(value, decimal); };
  std::vector<std::string> legend = {
      "D = " + number(diameter) + " mm",
      "钢筋 " + std::to_string(state.CircleBarCount) + " Φ" + number(state.CircleBarDiameter) +
          "（红）",
      "钢筋至边距 as = " + number(state.BarCover) + " mm",
  };
  if (state.Circle)
    for (const RingPatch& patch : state.Circle->Patches)
      legend.push_back(std::string(patch.Material == 1 ? "混凝土" : "核心混凝土") + " " +
                       std::to_string(patch.Rings) + " 环 × " + std::to_string(patch.Sectors) +
                       " 扇区，r " + number(patch.InnerRadius) + " – " + number(patch.OuterRadius) +
                       " mm");
  painter.setPen(kInk);
  painter.setFont(SheetFont(8.5));
  double y = area.top() + 10;
  for (const std::string& line : legend) {
    painter.drawText(QPointF(area.right() + 20, y), Q(line));
    y += 13;
  }
  sheet.Skip(height);
}

// The section from its fiber model: concrete cells, the bars to scale, the
// outline's dimensions and the bars counted beside it.
void DrawSection(Sheet& sheet, const AnalysisState& state, double height) {
  if (state.Circular && state.CircleDiameter > 0) {
    DrawCircularSection(sheet, state, height);
    return;
  }
  QPainter& painter = sheet.Painter();
  const char decimal = sheet.Decimal();
  const double top = sheet.Y();
  const QRectF area(kMargin + 40, top + 6, 250, height - 30);
  const double width_mm = state.SectionWidth;
  const double height_mm = state.SectionHeight;
  if (!(width_mm > 0) || !(height_mm > 0)) return;
  const double scale = std::min(area.width() / width_mm, area.height() / height_mm);
  const QPointF centre(area.left() + width_mm * scale / 2, area.top() + height_mm * scale / 2);
  const auto place = [&](double x, double y) {
    return QPointF(centre.x() + x * scale, centre.y() - y * scale);
  };

  const double cell_x = state.MeshCountX > 0 ? width_mm / state.MeshCountX : 0;
  const double cell_y = state.MeshCountY > 0 ? height_mm / state.MeshCountY : 0;
  painter.setPen(QPen(QColor(190, 170, 90), 0.2));
  painter.setBrush(QColor(255, 245, 190));
  // A fine mesh would only darken the drawing and swell the file: beyond a
  // few thousand cells the concrete is one area and the legend counts them.
  constexpr int64_t kDrawnCells = 5000;
  const bool cells = int64_t{state.MeshCountX} * state.MeshCountY <= kDrawnCells;
  if (!cells)
    painter.drawRect(
        QRectF(place(-width_mm / 2, height_mm / 2), QSizeF(width_mm * scale, height_mm * scale)));
  for (int32_t i = 1; i <= state.FiberCount && i < static_cast<int32_t>(state.Fibers.size()); ++i) {
    const TFiber& fiber = state.Fibers[static_cast<std::size_t>(i)];
    if (fiber.MatTag != 1 || !cells) continue;
    painter.drawRect(QRectF(place(fiber.X - cell_x / 2, fiber.Y + cell_y / 2),
                            QSizeF(cell_x * scale, cell_y * scale)));
  }
  for (int32_t i = 1; i <= state.FiberCount && i < static_cast<int32_t>(state.Fibers.size()); ++i) {
    const TFiber& fiber = state.Fibers[static_cast<std::size_t>(i)];
    if (fiber.MatTag == 1) continue;
    const double radius = std::sqrt(std::max(0.0, fiber.Area) / std::numbers::pi) * scale;
    const QColor colour = fiber.CornerBar ? QColor(0, 0, 255) : QColor(255, 0, 0);
    painter.setPen(QPen(colour, 0.3));
    painter.setBrush(colour);
    painter.drawEllipse(place(fiber.X, fiber.Y), std::max(radius, 1.0), std::max(radius, 1.0));
  }
  const QRectF outline(place(-width_mm / 2, height_mm / 2),
                       QSizeF(width_mm * scale, height_mm * scale));
  painter.setPen(QPen(kInk, 0.8));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(outline);

  // Dimension lines below and to the left of the outline.
  painter.setPen(QPen(kInk, 0.4));
  painter.setFont(SheetFont(8));
  const double below = outline.bottom() + 10;
  painter.drawLine(QPointF(outline.left(), below), QPointF(outline.right(), below));
  for (double x : {outline.left(), outline.right()})
    painter.drawLine(QPointF(x, below - 3), QPointF(x, below + 3));
  painter.drawText(QRectF(outline.left(), below + 2, outline.width(), 12), Qt::AlignHCenter,
                   Q("B = " + ReportNumber(width_mm, decimal) + " mm"));
  const double left = outline.left() - 10;
  painter.drawLine(QPointF(left, outline.top()), QPointF(left, outline.bottom()));
  for (double y : {outline.top(), outline.bottom()})
    painter.drawLine(QPointF(left - 3, y), QPointF(left + 3, y));
  painter.save();
  painter.translate(left - 4, outline.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-outline.height() / 2, -10, outline.height(), 10), Qt::AlignHCenter,
                   Q("H = " + ReportNumber(height_mm, decimal) + " mm"));
  painter.restore();

  const int32_t bars = 4 + 2 * state.BarCountX + 2 * state.BarCountY;
  const auto number = [&](double value) { return ReportNumber(value, decimal); };
  const std::vector<std::string> legend = {
      "B × H = " + number(width_mm) + " × " + number(height_mm) + " mm",
      "钢筋 " + std::to_string(bars) + " 根",
      "角部钢筋 4 Φ" + number(state.CornerBarDiameter) + "（蓝）",
      "X方向钢筋 2 × " + std::to_string(state.BarCountX) + " Φ" + number(state.BarDiameterX) +
          "（红）",
      "Y方向钢筋 2 × " + std::to_string(state.BarCountY) + " Φ" + number(state.BarDiameterY) +
          "（红）",
      "钢筋至边距 as = " + number(state.BarCover) + " mm",
      "混凝土纤维 " + std::to_string(state.MeshCountX) + " × " + std::to_string(state.MeshCountY) +
          "，单元 " + number(cell_x) + " × " + number(cell_y) + " mm",
  };
  painter.setPen(kInk);
  painter.setFont(SheetFont(8.5));
  double y = area.top() + 10;
  for (const std::string& line : legend) {
    painter.drawText(QPointF(area.right() + 20, y), Q(line));
    y += 13;
  }
  sheet.Skip(height);
}

std::string SolverLine(const CalculationReport& report) {
  std::string line = report.solver.empty() ? kDash : report.solver;
  if (!report.solver_version.empty()) line += "（" + report.solver_version + "）";
  return line;
}

void FirstPage(Sheet& sheet, const CalculationReport& report) {
  QPainter& painter = sheet.Painter();
  const char decimal = sheet.Decimal();
  const AnalysisState& state = report.state;
  const auto number = [&](double value) { return ReportNumber(value, decimal); };

  painter.setFont(SheetFont(16, true));
  painter.setPen(kInk);
  painter.drawText(QPointF(kMargin, sheet.Y() + 16), QString::fromUtf8("截面计算书"));
  painter.setFont(SheetFont(9));
  painter.drawText(QRectF(kMargin, sheet.Y() + 4, kRight - kMargin, 14), Qt::AlignRight,
                   QString::fromUtf8("矩形钢筋混凝土柱 · 纤维截面分析"));
  sheet.Skip(26);
  const std::vector<double> title_columns = {kMargin, kMargin + 70};
  sheet.Row({"截面文件", report.section_name.empty() ? "未命名" : report.section_name},
            title_columns);
  sheet.Row({"生成时间", report.made_at}, title_columns);
  sheet.Row({"程序", std::string("Marrowick ") + MARROWICK_VERSION}, title_columns);
  sheet.Row({"求解器", SolverLine(report)}, title_columns);

  sheet.Heading("1 输入数据");
  const std::vector<double> columns = {kMargin, kMargin + 110, kMargin + 260, kMargin + 360};
  sheet.Row({"项目", "截面文件键", "输入值", "单位"}, columns, true);
  sheet.Rule();
  // The table of inputs in its own order: a new input is a new line here too.
  for (const InputField& field : kInputFields) {
    const std::string& text = report.texts[static_cast<std::size_t>(FieldNumber(field.id))];
    // An optional input the section does not have (no hoops given) is no
    // line, nor is an input of the other outline; the shape has its own.
    if (!field.default_text && text.empty()) continue;
    if (!FieldOfShape(field, state.Circular) || field.id == Field::SectionShape) continue;
    sheet.Row({field.caption, field.key ? field.key : kDash, text, InputUnit(field.key)}, columns);
  }
  sheet.Row(
      {"截面形状", state.Circular ? "shape" : kDash, state.Circular ? "圆形柱" : "矩形柱", kDash},
      columns);

  sheet.Heading("2 导出数据");
  const std::vector<double> figure_columns = {kMargin, kMargin + 200, kMargin + 300};
  // A circle's gross area is π·D²/4, which a square of side D·√π/2 has.
  const double side = state.CircleDiameter * std::sqrt(std::numbers::pi) / 2;
  const double ratio = state.Circular
                           ? SteelRatio(state.SteelArea, side, side)
                           : SteelRatio(state.SteelArea, state.SectionWidth, state.SectionHeight);
  sheet.Row({"纤维数", std::to_string(state.FiberCount), kDash}, figure_columns);
  sheet.Row({"钢筋面积 As", number(state.SteelArea), "mm²"}, figure_columns);
  sheet.Row({state.Circular ? "配筋率 ρ = As / (π·D²/4)" : "配筋率 ρ = As / (B·H)",
             number(ratio * 100), "%"},
            figure_columns);
  // Stored with the solver's sign (compression negative); both as magnitudes.
  const auto& core = state.Confinement;
  sheet.Row({core             ? "受压承载力 N0（核心取 f'cc）"
             : state.Circular ? "受压承载力 N0 = fc·π·D²/4 + fy·As"
                              : "受压承载力 N0 = fc·B·H + fy·As",
             number(0.0 - state.CompressionCapacity), "kN"},
            figure_columns);
  sheet.Row({"受拉承载力 Nt = fy·As", number(state.TensionCapacity), "kN"}, figure_columns);
  if (core) {
    // The Mander core the analysis used, for checking by hand.
    if (core->Circular) {
      sheet.Row({"约束核心直径 ds", number(core->CoreWidth), "mm"}, figure_columns);
      sheet.Row({"有效约束系数 ke", number(core->Ke), kDash}, figure_columns);
      sheet.Row({"体积配箍率 ρs, 有效侧向约束应力 f'l",
                 number(core->RhoX + core->RhoY) + ", " + number(core->FlX), "—, MPa"},
                figure_columns);
    } else {
      sheet.Row(
          {"约束核心 bc × dc", number(core->CoreWidth) + " × " + number(core->CoreHeight), "mm"},
          figure_columns);
      sheet.Row({"有效约束系数 ke", number(core->Ke), kDash}, figure_columns);
      sheet.Row(
          {"有效侧向约束应力 f'lx, f'ly", number(core->FlX) + ", " + number(core->FlY), "MPa"},
          figure_columns);
    }
    sheet.Row({"约束混凝土强度 f'cc", number(core->Fcc), "MPa"}, figure_columns);
    sheet.Row({"峰值应变 εcc, 极限压应变 εcu", number(core->Ecc) + ", " + number(core->Ecu), kDash},
              figure_columns);
  }

  sheet.Heading("3 截面（纤维模型）");
  DrawSection(sheet, state, 230);
}

void SecondPage(Sheet& sheet, const CalculationReport& report) {
  QPainter& painter = sheet.Painter();
  const char decimal = sheet.Decimal();
  const auto number = [&](double value) { return ReportNumber(value, decimal); };
  const MomentCurvatureSeries& series = report.moment_curvature;
  // A confined section ends where its core crushes, as the window marks it.
  const AnalysisState& state = report.state;
  const MomentCurvatureKeyPoints bending =
      state.Confinement
          ? FindMomentCurvatureKeyPoints(
                Entries(series.Curvatures, series.Count), Entries(series.Moments, series.Count),
                state.CoreEdgeStrains.empty()
                    ? std::span<const double>{}
                    : std::span<const double>(state.CoreEdgeStrains).subspan(1),
                state.Confinement->Ecu)
          : FindMomentCurvatureKeyPoints(Entries(series.Curvatures, series.Count),
                                         Entries(series.Moments, series.Count));

  sheet.Heading("4 弯矩-曲率曲线与 N-M 相关曲线");
  const double chart_top = sheet.Y();
  const double chart_width = (kRight - kMargin) / 2 - 6;
  const QRectF left_box(kMargin, chart_top, chart_width, 215);
  const QRectF right_box(kRight - chart_width, chart_top, chart_width, 215);

  std::vector<QPointF> bending_points = {QPointF(0, 0)};
  for (int32_t i = 1; i <= series.Count; ++i)
    bending_points.emplace_back(series.Curvatures[static_cast<std::size_t>(i)],
                                series.Moments[static_cast<std::size_t>(i)]);
  std::vector<ChartMark> bending_marks;
  const std::pair<const std::optional<CurvaturePoint>*, const char*> named[] = {
      {&bending.Yield, "屈服"}, {&bending.Peak, "峰值"}, {&bending.Ultimate, "极限"}};
  for (const auto& [point, label] : named)
    if (*point)
      bending_marks.push_back({(*point)->CurvaturePerMm, (*point)->MomentKNm, label,
                               point == &bending.Ultimate ? ChartMark::Side::Below
                               : point == &bending.Yield  ? ChartMark::Side::Left
                                                          : ChartMark::Side::Right});
  DrawChart(painter, left_box, bending_points, false, "曲率 κ (1/mm)", "弯矩 M (kN·m)",
            bending_marks, decimal);

  InteractionKeyPoints interaction;
  if (report.interaction) {
    const InteractionCurve& curve = *report.interaction;
    interaction = FindInteractionKeyPoints(Entries(curve.AxialForces, curve.Levels),
                                           Entries(curve.PeakMoments, curve.Levels));
    std::vector<QPointF> points;
    for (int32_t i = 1; i <= curve.Levels; ++i)
      points.emplace_back(curve.PeakMoments[static_cast<std::size_t>(i)],
                          curve.AxialForces[static_cast<std::size_t>(i)]);
    std::vector<ChartMark> marks;
    if (interaction.Balanced)
      marks.push_back(
          {interaction.Balanced->MomentKNm, interaction.Balanced->AxialForceKN, "界限"});
    if (interaction.PureBendingMomentKNm)
      marks.push_back({*interaction.PureBendingMomentKNm, 0, "M0", ChartMark::Side::Below});
    DrawChart(painter, right_box, points, true, "弯矩 M (kN·m)", "轴力 N (kN，受压为正)", marks,
              decimal);
  } else {
    painter.setFont(SheetFont(9));
    painter.setPen(kRule);
    painter.drawRect(right_box.adjusted(38, 8, -6, -30));
    painter.drawText(right_box.adjusted(38, 8, -6, -30), Qt::AlignCenter,
                     QString::fromUtf8("未进行 PM 分析"));
  }
  sheet.Skip(right_box.height() + 4);

  sheet.Heading("5 特征点");
  const std::vector<double> columns = {kMargin, kMargin + 95, kMargin + 185, kMargin + 265};
  sheet.Row({"特征点", "曲率 κ (1/mm)", "弯矩 M (kN·m)", "说明"}, columns, true);
  sheet.Rule();
  const auto curvature = [&](const std::optional<CurvaturePoint>& point) {
    return point ? number(point->CurvaturePerMm) : kDash;
  };
  const auto moment = [&](const std::optional<CurvaturePoint>& point) {
    return point ? number(point->MomentKNm) : kDash;
  };
  sheet.Row({"峰值", curvature(bending.Peak), moment(bending.Peak), "最大弯矩 Mmax"}, columns);
  sheet.Row({"屈服", curvature(bending.Yield), moment(bending.Yield),
             "Park 割线：κy = κ(0.75Mmax) / 0.75，My = Mmax"},
            columns);
  const std::optional<UltimateCause> cause = UltimateCauseOf(bending);
  sheet.Row({"极限", curvature(bending.Ultimate), moment(bending.Ultimate),
             bending.UltimateBy == UltimateCriterion::CoreStrain ? "核心混凝土边缘压应变达到 εcu"
             : !cause                                            ? kDash
             : *cause == UltimateCause::Drop                     ? "峰值后弯矩降至 0.8Mmax"
                                             : "末步：弯矩未降至 0.8Mmax（曲率限值或未收敛）"},
            columns);
  sheet.Row({"曲率延性 μ", kDash, kDash, "μ = κu / κy = " + Figure(bending.Ductility, decimal)},
            columns);
  sheet.Rule();
  sheet.Row({"N-M 特征点", "轴力 N (kN)", "弯矩 M (kN·m)", "说明"}, columns, true);
  if (report.interaction) {
    const auto& balanced = interaction.Balanced;
    sheet.Row(
        {"界限点", balanced ? number(balanced->AxialForceKN) : kDash,
         balanced ? number(balanced->MomentKNm) : kDash,
         balanced ? "峰值弯矩最大的一级：第 " + std::to_string(balanced->Level) + " 级" : kDash},
        columns);
    sheet.Row({"M0", "0", Figure(interaction.PureBendingMomentKNm, decimal),
               "N = 0 处的弯矩，由两侧相邻级线性插值"},
              columns);
  } else {
    sheet.Row({"界限点", kDash, kDash, "未进行 PM 分析"}, columns);
    sheet.Row({"M0", kDash, kDash, "未进行 PM 分析"}, columns);
  }

  sheet.Heading("6 说明");
  for (const std::string& line : RunNotes(report, decimal)) sheet.Line(line, 8);
}

}  // namespace

std::string InputUnit(const char* key) {
  if (!key) return kDash;
  const std::string_view name(key);
  const std::pair<std::string_view, const char*> suffixes[] = {
      {"_per_mm", "1/mm"}, {"_MPa", "MPa"}, {"_mm", "mm"}, {"_kN", "kN"}, {"_deg", "°"}};
  for (const auto& [suffix, unit] : suffixes)
    if (name.ends_with(suffix)) return unit;
  return kDash;
}

double SteelRatio(double steel_area, double width, double height) {
  const double gross = width * height;
  return gross > 0 ? steel_area / gross : 0;
}

std::string ReportNumber(double value, char decimal) {
  if (!std::isfinite(value)) return kDash;
  char text[64];
  const double size = std::fabs(value);
  char* end;
  if (value == 0) return "0";
  const bool plain = size >= 1e-3 && size < 1e6;
  if (plain) {
    const int digits = std::max(0, 3 - static_cast<int>(std::floor(std::log10(size))));
    end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits).ptr;
  } else {
    end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 3).ptr;
  }
  std::string number(text, end);
  // Trailing zeros of the digits say nothing: 0.0033 rather than 0.003300.
  const std::size_t exponent = plain ? number.size() : number.find('e');
  std::string digits = number.substr(0, exponent);
  if (digits.find('.') != std::string::npos) {
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.back() == '.') digits.pop_back();
  }
  number = digits + number.substr(exponent);
  std::replace(number.begin(), number.end(), '.', decimal);
  return number;
}

std::optional<UltimateCause> UltimateCauseOf(const MomentCurvatureKeyPoints& keys) {
  if (!keys.Ultimate || !keys.Peak) return std::nullopt;
  // The drop is placed at exactly this level; the last step lies above it.
  return keys.Ultimate->MomentKNm == 0.8 * keys.Peak->MomentKNm ? UltimateCause::Drop
                                                                : UltimateCause::LastStep;
}

std::vector<std::string> RunNotes(const CalculationReport& report, char decimal) {
  const AnalysisState& state = report.state;
  const auto number = [&](double value) { return ReportNumber(value, decimal); };
  const std::string asked = std::to_string(report.curvature_steps);
  std::vector<std::string> notes;
  notes.push_back("施加轴力 N = " + number(state.AxialLoad) + " kN（受压为负），最大曲率限值 " +
                  number(state.CurvatureLimit) + " 1/mm，分 " + asked + " 步等曲率增量。");
  const int32_t recorded = report.moment_curvature.Count;
  if (recorded == 0)
    notes.push_back("弯矩曲率分析：求解器在该轴力下未找到平衡，没有记录任何一步。");
  else if (recorded < report.curvature_steps)
    notes.push_back("弯矩曲率分析：第 " + std::to_string(recorded + 1) + " 步未收敛，记录 " +
                    std::to_string(recorded) + "/" + asked + " 步。");
  else
    notes.push_back("弯矩曲率分析：全部 " + std::to_string(recorded) + "/" + asked + " 步收敛。");

  if (report.interaction && report.interaction->Levels >= 1) {
    const InteractionCurve& curve = *report.interaction;
    notes.push_back("PM 分析：" + std::to_string(curve.Levels) + " 级，轴力由 " +
                    number(curve.AxialForces[1]) + " kN 至 " +
                    number(curve.AxialForces[static_cast<std::size_t>(curve.Levels)]) +
                    " kN（受压为正），每级同上曲率限值与步数。");
    int32_t complete = 0;
    for (int32_t level = 1; level <= curve.Levels; ++level) {
      if (static_cast<std::size_t>(level) > report.level_steps.size()) break;
      const int32_t steps = report.level_steps[static_cast<std::size_t>(level - 1)];
      const std::string name =
          "第 " + std::to_string(level) +
          " 级（N = " + number(curve.AxialForces[static_cast<std::size_t>(level)]) + " kN）：";
      if (steps == 0)
        notes.push_back(name + "求解器未找到平衡，峰值弯矩取 0。");
      else if (steps < report.curvature_steps)
        notes.push_back(name + "第 " + std::to_string(steps + 1) + " 步未收敛，记录 " +
                        std::to_string(steps) + "/" + asked +
                        " 步，峰值弯矩取已记录各步的最大值。");
      else
        ++complete;
    }
    notes.push_back("其余 " + std::to_string(complete) + " 级全部步数收敛。");
  } else {
    notes.push_back("PM 分析：本次输入数据后未绘制 N-M 曲线，报告不含该部分。");
  }
  notes.push_back("峰值：记录各步中最大弯矩 Mmax 首次出现之点（曲线自 (0, 0) 起）。");
  notes.push_back(
      "屈服：Park 割线定义，曲线首次达到 0.75Mmax 处曲率 κ75（线性插值），κy = κ75 / 0.75，My = "
      "Mmax。");
  notes.push_back("极限：峰值后弯矩首次降至 0.8Mmax 处（线性插值）；未降至该值时取最后一步。");
  if (state.Confinement)
    notes.push_back(
        "约束截面：核心混凝土（Mander 模型，Concrete04）边缘压应变先达到 εcu 时，极限取该点"
        "（按应变线性插值）。");
  notes.push_back("曲率延性：μ = κu / κy。");
  notes.push_back("界限点：峰值弯矩最大的轴力级；M0：轴力为零处的弯矩，由两侧相邻级线性插值。");
  notes.push_back("未收敛步由各记录文件的步数推知：求解器在第一个未收敛步处停止该次分析。");
  return notes;
}

std::string ReportTimestamp() {
  return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
}

std::string CalculationReportPdf(const CalculationReport& report) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) FailStreamWrite();
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    // One device unit per point: the layout above is in points.
    writer.setResolution(72);
    writer.setCreator(QStringLiteral("Marrowick " MARROWICK_VERSION));
    writer.setTitle(QString::fromUtf8("截面计算书 ") +
                    Q(report.section_name.empty() ? "未命名" : report.section_name));
    QPainter painter;
    if (!painter.begin(&writer)) FailStreamWrite();
    painter.setRenderHint(QPainter::Antialiasing);
    const char decimal = RegionalDecimal();
    Sheet first(painter, decimal);
    FirstPage(first, report);
    if (!writer.newPage()) FailStreamWrite();
    Sheet second(painter, decimal);
    SecondPage(second, report);
    if (!painter.end()) FailStreamWrite();
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace marrowick
