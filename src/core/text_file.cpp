#include "core/text_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

Lines SplitLinesUpTo(const std::string& text, std::size_t end) {
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

void WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) FailStreamWrite();
    written += static_cast<std::size_t>(count);
  }
}

// A file of a fresh name beside the one it is to replace, open for writing
// and removed again unless it is kept. Created with O_EXCL and mode 0666, so
// that the umask (and a folder's default ACL) gives it the permissions any
// new file there gets; mkstemp would make it 0600.
class NewFile {
 public:
  explicit NewFile(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
      unsigned char random[8];
      if (::getrandom(random, sizeof random, 0) != sizeof random) break;
      std::string suffix;
      for (const unsigned char byte : random) suffix += kLetters[byte % (sizeof kLetters - 1)];
      name_ = folder + "." + name + "." + suffix;
      fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) return;
      if (errno != EEXIST) break;
    }
    // The name is not ours, so the destructor leaves it alone.
    error_ = errno;
    name_.clear();
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_ && !name_.empty()) ::unlink(name_.c_str());
  }

  int Descriptor() const { return fd_; }
  // Why the file could not be created, when Descriptor() is negative.
  int Error() const { return error_; }
  const std::string& Name() const { return name_; }
  // Some file systems report a failed write-back only when the file closes.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void Keep() { kept_ = true; }

 private:
  std::string name_;
  int fd_ = -1;
  int error_ = 0;
  bool kept_ = false;
};

}  // namespace

std::string JoinLines(const Lines& lines) {
  // A script is hundreds of lines: one allocation, not one per doubling.
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void SaveLines(const Lines& lines, const std::string& file_name) {
  SaveBytes(JoinLines(lines), file_name);
}

void SaveBytes(const std::string& text, const std::string& file_name) {
  FileDescriptor file(::open(file_name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.Get() < 0) FailFileCreate(file_name, errno);
  WriteAll(file.Get(), text);
}

void ReplaceLines(const Lines& lines, const std::string& file_name) {
  ReplaceBytes(JoinLines(lines), file_name);
}

void ReplaceBytes(const std::string& bytes, const std::string& file_name) {
  // A link is followed, so that the file it names is replaced, not the link.
  std::string target = file_name;
  if (char* resolved = ::realpath(file_name.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  struct stat existing;
  const bool exists = ::stat(target.c_str(), &existing) == 0;

  NewFile temporary(target);
  if (temporary.Descriptor() < 0) FailFileCreate(file_name, temporary.Error());
  if (exists && S_ISREG(existing.st_mode) &&
      ::fchmod(temporary.Descriptor(), existing.st_mode & 07777) != 0)
    FailFileCreate(file_name, errno);
  WriteAll(temporary.Descriptor(), bytes);
  if (::fsync(temporary.Descriptor()) != 0) FailStreamWrite();
  if (!temporary.Close()) FailStreamWrite();
  if (::rename(temporary.Name().c_str(), target.c_str()) != 0) FailFileCreate(file_name, errno);
  temporary.Keep();
}

void LoadLines(Lines& lines, const std::string& file_name) {
  lines = SplitTextLines(LoadBytes(file_name));
}

std::string LoadBytes(const std::string& file_name) {
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
  return text;
}

Lines SplitTextLines(const std::string& text) {
  return SplitLinesUpTo(text, std::min(text.find('\0'), text.size()));
}

Lines SplitAllLines(const std::string& text) {
  return SplitLinesUpTo(text, text.size());
}

}  // namespace marrowick
