#include "core/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/failure.h"

namespace marrowick {

namespace {

// Closes the descriptor on every way out of a load or save.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

bool TryLock(int fd, short type) {
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

void SaveLines(const Lines& lines, const std::string& file_name) {
  std::string text;
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  SaveBytes(text, file_name);
}

void SaveBytes(const std::string& text, const std::string& file_name) {
  FileDescriptor file(::open(file_name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.Get() < 0) FailFileCreate(file_name, errno);

  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = ::write(file.Get(), text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) FailStreamWrite();
    written += static_cast<std::size_t>(count);
  }
}

void LoadLines(Lines& lines, const std::string& file_name) {
  FileDescriptor file(::open(file_name.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) FailFileOpen(file_name, errno);
  if (!TryLock(file.Get(), F_RDLCK)) {
    if (errno == EAGAIN || errno == EACCES)
      FailFileOpen(file_name, "The file is in use by another program");
    // A file system without locks (some network mounts) reads as before.
  }

  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) FailFileOpen(file_name, errno);
    if (count == 0) break;
    text.append(buffer, static_cast<std::size_t>(count));
  }
  lines = SplitTextLines(text);
}

Lines SplitTextLines(const std::string& text) {
  const std::size_t end = std::min(text.find('\0'), text.size());
  Lines lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < end) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text, start, i - start);
      i += (c == '\r' && i + 1 < end && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < end) lines.emplace_back(text, start, end - start);
  return lines;
}

}  // namespace marrowick
