// Any bytes on disk as a recorder file: the load, the split and the reading
// end in a series or in the reader's documented failure, never anything else.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/failure.h"
#include "results/result_file.h"
#include "section/analysis_state.h"

using namespace marrowick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file_name = "fuzz-" + std::to_string(::getpid()) + "_mom_cur.out";
  FILE* file = std::fopen(file_name.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  int32_t count = -1;
  RealTable first;
  RealTable second;
  try {
    const int32_t n = ReadResultFile(file_name, {count, first, (size & 1) ? &second : nullptr});
    if (n != count || first.size() != static_cast<size_t>(n) + 1) std::abort();
    if ((size & 1) && second.size() != first.size()) std::abort();
    for (int32_t i = 1; i <= n; ++i)
      if (!std::isfinite(first[i])) std::abort();
  } catch (const Failure& failure) {
    if (failure.Kind() != FailureKind::RealConversion && failure.Kind() != FailureKind::Overflow)
      std::abort();
    // The count and the series were set before the failing line was read.
    if (count < 1 || first.size() != static_cast<size_t>(count) + 1) std::abort();
  }
  std::remove(file_name.c_str());
  return 0;
}
