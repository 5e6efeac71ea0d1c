#include "results/result_file.h"

#include <limits>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "results/key_points.h"

namespace marrowick {

void SplitFields(RecorderFields& fields, const std::string& line) {
  // ends[k] is the position (counted from 1) of the space that ends field k;
  // ends[0] = 0 stands just before the first character.
  std::array<std::size_t, 11> ends{};
  std::size_t count = 0;
  for (std::size_t i = 0; i < line.size() && count < 10; ++i)
    if (line[i] == ' ') ends[++count] = i + 1;
  if (count < 10) ends[++count] = line.size() + 1;

  for (std::size_t k = 0; k < 10; ++k) {
    fields[k + 1].clear();
    // A field with no space after it is unrecorded and stays empty.
    if (k + 1 > count || ends[k + 1] <= ends[k] + 1) continue;
    fields[k + 1] = TrimText(line.substr(ends[k], ends[k + 1] - ends[k] - 1));
  }
}

int32_t ReadResultFile(const std::string& file_name, const RecorderSeries& series) {
  Lines lines;
  LoadLines(lines, file_name);
  if (lines.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() - 1))
    FailRangeCheck();
  const auto n = static_cast<int32_t>(lines.size());
  series.Count = n;
  series.First.resize(static_cast<std::size_t>(n) + 1);
  if (series.Second) series.Second->resize(static_cast<std::size_t>(n) + 1);

  RecorderFields fields;
  for (int32_t i = 1; i <= n; ++i) {
    SplitFields(fields, lines[static_cast<std::size_t>(i) - 1]);
    series.First[static_cast<std::size_t>(i)] = ParseReal(fields[1], kFileDecimal);
    if (series.Second)
      (*series.Second)[static_cast<std::size_t>(i)] = ParseReal(fields[2], kFileDecimal);
  }
  return n;
}

namespace {

// A biaxial run's file: the load factor, κz and κy on each line.
MomentCurvatureSeries ReadBiaxialSeries(const std::string& file_name, const RecorderSeries& series,
                                        const MomentDirection& direction) {
  Lines lines;
  LoadLines(lines, file_name);
  if (lines.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() - 1))
    FailRangeCheck();
  const auto n = static_cast<int32_t>(lines.size());
  const auto slots = static_cast<std::size_t>(n) + 1;
  series.Count = n;
  series.First.resize(slots);
  series.Second->resize(slots);
  MomentCurvatureSeries read;
  read.Biaxial = true;
  for (RealTable* table : {&read.MomentsZ, &read.MomentsY, &read.CurvaturesZ, &read.CurvaturesY})
    table->resize(slots);
  RecorderFields fields;
  for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
    SplitFields(fields, lines[i - 1]);
    const BiaxialStep step =
        BiaxialStepOf(direction, ParseReal(fields[1], kFileDecimal),
                      ParseReal(fields[2], kFileDecimal), ParseReal(fields[3], kFileDecimal));
    series.First[i] = step.moment_kNm;
    (*series.Second)[i] = step.curvature;
    read.MomentsZ[i] = step.mz_kNm;
    read.MomentsY[i] = step.my_kNm;
    read.CurvaturesZ[i] = step.curvature_z;
    read.CurvaturesY[i] = step.curvature_y;
  }
  read.Count = n;
  read.Moments = series.First;
  read.Curvatures = *series.Second;
  return read;
}

}  // namespace

MomentCurvatureSeries ReadMomentCurvatureSeries(const std::string& file_name,
                                                const RecorderSeries& series,
                                                const MomentDirection& direction) {
  if (!direction.Uniaxial()) return ReadBiaxialSeries(file_name, series, direction);
  ReadResultFile(file_name, series);
  MomentCurvatureSeries read;
  read.Count = series.Count;
  read.Moments = series.First;
  read.Curvatures = *series.Second;
  return read;
}

MomentCurvatureSeries ReadMomentCurvatureSeries(const std::string& file_name,
                                                const MomentDirection& direction) {
  MomentCurvatureSeries read;
  RealTable moments, curvatures;
  if (!direction.Uniaxial())
    return ReadBiaxialSeries(file_name, {read.Count, moments, &curvatures}, direction);
  ReadResultFile(file_name, {read.Count, read.Moments, &read.Curvatures});
  return read;
}

LevelMoments ReadLevelMoments(const std::string& file_name, const MomentDirection& direction) {
  LevelMoments read;
  ReadResultFile(file_name, {read.Count, read.Moments});
  // The load factor scales both reference moments: the resultant follows.
  if (!direction.Uniaxial())
    for (std::size_t i = 1; i <= static_cast<std::size_t>(read.Count); ++i)
      read.Moments[i] = BiaxialStepOf(direction, read.Moments[i], 0, 0).moment_kNm;
  return read;
}

RealTable ReadCoreEdgeStrains(const std::string& file_name, double core_height) {
  Lines lines;
  LoadLines(lines, file_name);
  RealTable strains(lines.size() + 1);
  RecorderFields fields;
  for (std::size_t i = 1; i <= lines.size(); ++i) {
    SplitFields(fields, lines[i - 1]);
    strains[i] = CoreEdgeStrain(ParseReal(fields[2], kFileDecimal),
                                ParseReal(fields[3], kFileDecimal), core_height);
  }
  return strains;
}

}  // namespace marrowick
