#include "batch/run_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>

#include "core/failure.h"

namespace marrowick {

std::optional<std::string> WholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info = {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    got += static_cast<std::size_t>(n);
  }
  return bytes;
}

std::optional<std::vector<KeptRun::File>> FilesLeft(
    const std::string& directory, const std::vector<engine::FileEffect>& effects) {
  // A file the script touches twice is left as its last change left it.
  std::vector<const engine::FileEffect*> last;
  for (const engine::FileEffect& effect : effects) {
    if (effect.kind == engine::FileEffect::Kind::ByTcl || effect.name.empty() ||
        effect.name.find('/') != std::string::npos || effect.name == "." || effect.name == "..")
      return std::nullopt;
    std::erase_if(last, [&](const engine::FileEffect* seen) { return seen->name == effect.name; });
    last.push_back(&effect);
  }
  std::vector<KeptRun::File> files;
  for (const engine::FileEffect* effect : last) {
    KeptRun::File& file = files.emplace_back(KeptRun::File{effect->name, std::nullopt});
    if (effect->kind != engine::FileEffect::Kind::Written) continue;
    file.bytes = WholeFile(directory + "/" + file.name);
    if (!file.bytes) return std::nullopt;
  }
  return files;
}

void LeaveFiles(const std::string& directory, const std::vector<KeptRun::File>& files) {
  for (const KeptRun::File& file : files) {
    const std::string path = directory + "/" + file.name;
    if (!file.bytes) {
      if (::unlink(path.c_str()) != 0 && errno != ENOENT) FailFileDelete(path, errno);
      continue;
    }
    // As the recorder makes its file.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) FailFileCreate(path, errno);
    std::string_view left = *file.bytes;
    int error = 0;
    while (!left.empty()) {
      const ssize_t written = ::write(fd, left.data(), left.size());
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) {
        error = errno;
        break;
      }
      left.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
    if (error != 0) FailFileCreate(path, error);
  }
}

std::size_t RunCache::KeyHash::operator()(const Key& key) const {
  const std::hash<std::string_view> hash;
  return hash(key.text) ^ (hash(key.script) * 31);
}

std::shared_ptr<const KeptRun> RunCache::Find(const std::string& script, const std::string& text) {
  std::lock_guard lock(mutex_);
  const auto found = index_.find(Key{script, text});
  if (found == index_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  return found->second->run;
}

void RunCache::Keep(std::string script, std::string text, KeptRun run) {
  std::size_t bytes = script.size() + text.size() + run.reason.size() + sizeof(Entry);
  for (const KeptRun::File& file : run.files)
    bytes += file.name.size() + (file.bytes ? file.bytes->size() : 0) + sizeof(KeptRun::File);
  if (bytes > most_bytes_) return;
  auto kept = std::make_shared<const KeptRun>(std::move(run));
  std::lock_guard lock(mutex_);
  // Another thread may have run the same script meanwhile.
  if (index_.count(Key{script, text})) return;
  while (bytes_ + bytes > most_bytes_) {
    const Entry& oldest = entries_.back();
    bytes_ -= oldest.bytes;
    index_.erase(Key{oldest.script, oldest.text});
    entries_.pop_back();
  }
  entries_.push_front(Entry{std::move(script), std::move(text), std::move(kept), bytes});
  index_.emplace(Key{entries_.front().script, entries_.front().text}, entries_.begin());
  bytes_ += bytes;
}

}  // namespace marrowick
