// Any bytes on disk as a section file: reading ends in the field texts or in
// the reader's own failure, and texts it gave come back the same once saved.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/failure.h"
#include "core/number_text.h"
#include "section/section_file.h"

using namespace marrowick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file_name = "fuzz-" + std::to_string(::getpid()) + ".ini";
  FILE* file = std::fopen(file_name.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  // An odd first byte reads the reals for a comma locale.
  const char decimal = size && (data[0] & 1) ? ',' : '.';
  try {
    const SectionTexts texts = ReadSectionFile(file_name, decimal);
    if (texts[0]) std::abort();
    WriteSectionFile(
        file_name, [&](int field) { return texts[field].value_or("0"); }, decimal);
    const SectionTexts again = ReadSectionFile(file_name, decimal);
    for (const SectionFileKey& entry : kSectionFileKeys) {
      const std::string written = texts[entry.field].value_or("0");
      // A zero bending angle is left out of the file.
      const bool left_out =
          OmittedAtZero(static_cast<Field>(entry.field)) && ParseReal(written, decimal) == 0;
      if (again[entry.field] != (left_out ? std::nullopt : std::optional(written))) std::abort();
    }
  } catch (const Failure& failure) {
    if (failure.Kind() != FailureKind::InvalidInput) std::abort();
  }
  std::remove(file_name.c_str());
  return 0;
}
