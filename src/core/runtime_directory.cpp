#include "core/runtime_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace marrowick {

void ProvideRuntimeDirectory() {
  const char* given = std::getenv("XDG_RUNTIME_DIR");
  if (given && *given) return;
  const char* temporary = std::getenv("TMPDIR");
  const std::string directory = std::string(temporary && *temporary ? temporary : "/tmp") +
                                "/runtime-" + std::to_string(::getuid());
  ::mkdir(directory.c_str(), 0700);
  struct stat info;
  if (::lstat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
      info.st_uid != ::getuid() || (info.st_mode & 077) != 0)
    return;
  ::setenv("XDG_RUNTIME_DIR", directory.c_str(), 1);
}

}  // namespace marrowick
