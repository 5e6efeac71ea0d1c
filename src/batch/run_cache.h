#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "interpreter/commands.h"

namespace marrowick {

// What a run of the bundled solver left behind: its outcome, and every file
// it wrote or deleted in its folder, as the run left it.
struct KeptRun {
  struct File {
    std::string name;                  // as the script names it, in the run's folder
    std::optional<std::string> bytes;  // none: deleted
  };
  bool ok = false;
  std::string reason;  // as RunOutcome's
  std::vector<File> files;
};

// A regular file's bytes, or none when it cannot be read whole.
std::optional<std::string> WholeFile(const std::string& path);

// The files a finished run left, read back from its folder, when another
// folder can be given the same ones: each file named inside the folder
// itself, deleted or written whole by the run and readable now. None
// otherwise (a name with a folder in it, a deletion left to Tcl).
std::optional<std::vector<KeptRun::File>> FilesLeft(const std::string& directory,
                                                    const std::vector<engine::FileEffect>& effects);

// Leaves in `directory` the files of a kept run, as its run left them in its
// own: fails with the file-creation or -deletion failure naming a file.
void LeaveFiles(const std::string& directory, const std::vector<KeptRun::File>& files);

// The runs of a batch by their script (its name and every byte of it): the
// bundled solver keeps no state between scripts and gives a script the same
// outcome and recorder bytes wherever it runs, so a study's many sections
// that share scripts (an axial sweep does not depend on the applied force)
// need run each once. Holds at most `most_bytes` of scripts and files,
// forgetting the runs least recently asked for. Shared by threads.
class RunCache {
 public:
  explicit RunCache(std::size_t most_bytes) : most_bytes_(most_bytes) {}

  std::shared_ptr<const KeptRun> Find(const std::string& script, const std::string& text);
  void Keep(std::string script, std::string text, KeptRun run);

 private:
  struct Key {
    std::string_view script;
    std::string_view text;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  struct Entry {
    std::string script;
    std::string text;
    std::shared_ptr<const KeptRun> run;
    std::size_t bytes = 0;
  };

  const std::size_t most_bytes_;
  std::mutex mutex_;
  std::list<Entry> entries_;  // the most recently asked for first
  std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index_;
  std::size_t bytes_ = 0;
};

}  // namespace marrowick
