#include "results/mx_my_contour.h"

#include "core/decimal_symbol.h"
#include "core/number_text.h"
#include "results/export.h"
#include "results/result_file.h"
#include "section/moment_direction.h"

namespace marrowick {

MxMyContour ReadMxMyContour(double axial_force_kN, const std::filesystem::path& folder) {
  MxMyContour contour;
  contour.Count = kContourRuns;
  contour.AxialForce = axial_force_kN;
  const auto slots = static_cast<std::size_t>(kContourRuns) + 1;
  contour.Angles.assign(slots, 0);
  contour.MomentsZ.assign(slots, 0);
  contour.MomentsY.assign(slots, 0);
  for (int32_t run = 1; run <= kContourRuns; ++run) {
    const auto k = static_cast<std::size_t>(run);
    const double angle = ContourAngle(run);
    contour.Angles[k] = angle;
    const MomentDirection direction = MomentDirectionOf(angle);
    const MomentCurvatureSeries series = ReadMomentCurvatureSeries(
        (folder / FormatTemplate("A%D_mom_cur.out", {run}, kFileDecimal)).string(), direction);
    std::size_t peak = 0;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(series.Count); ++i)
      if (peak == 0 || series.Moments[i] > series.Moments[peak]) peak = i;
    if (peak == 0) continue;
    // The plane run at 0° bends about x alone.
    contour.MomentsZ[k] = series.Biaxial ? series.MomentsZ[peak] : series.Moments[peak];
    contour.MomentsY[k] = series.Biaxial ? series.MomentsY[peak] : 0.0;
  }
  return contour;
}

Lines MxMyTable(const MxMyContour& contour, char separator) {
  const std::string sep(1, separator);
  Lines lines{"angle_deg" + sep + "axial_force_kN" + sep + "mz_kNm" + sep + "my_kNm"};
  for (std::size_t k = 1; k <= static_cast<std::size_t>(contour.Count); ++k)
    lines.push_back(RoundTripText(contour.Angles[k]) + sep + RoundTripText(contour.AxialForce) +
                    sep + RoundTripText(contour.MomentsZ[k]) + sep +
                    RoundTripText(contour.MomentsY[k]));
  return lines;
}

}  // namespace marrowick
