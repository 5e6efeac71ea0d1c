#include "model/recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <thread>
#include <utility>

// The domain holds its recorders and a recorder reads the domain it watches,
// as OpenSees' Domain and Recorder do: each of the two includes the other.
#include "model/domain.h"
#include "model/model_error.h"

namespace marrowick::engine {

namespace {

// Another solver on the same file name (a second press of the button) holds
// the lock for its whole run, a reader only for a moment; wait a little for
// either, then give up rather than hang.
constexpr int kLockAttempts = 2000;
constexpr auto kLockPause = std::chrono::milliseconds(1);

// Lines are written once this many bytes wait.
constexpr std::size_t kWriteBytes = 4096;

// 0, or the error that stopped the writing.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

bool takeWriteLock(int fd) {
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // the whole file, however long it grows
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) return false;
    std::this_thread::sleep_for(kLockPause);
  }
  return false;
}

}  // namespace

// std::to_chars writes what printf "%.*g" writes in the C locale, without
// printf's format parsing and locale look-ups: a line is written per step.
void appendNumber(std::string& out, double value, int precision) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  if (error == std::errc()) out.append(buffer, end);
}

Recorder::Recorder(const std::string& path, bool withTime, int precision, int directory)
    : path_(path), withTime_(withTime), precision_(precision) {
  // Opened without truncation: the old content goes only once the lock is
  // ours, so a reader holding the old file is never cut short.
  fd_ = ::openat(directory, path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    throw ModelError("cannot create recorder file \"" + path + "\": " + std::strerror(errno));
  }
  if (!takeWriteLock(fd_)) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    throw ModelError("recorder file \"" + path + "\" is in use by another program (" +
                     std::strerror(error) + ")");
  }
  // A new file is left alone: emptying one, even an empty one, makes the
  // file system write it out on close.
  struct stat info = {};
  const bool empty = ::fstat(fd_, &info) == 0 && info.st_size == 0;
  if (!empty && ::ftruncate(fd_, 0) != 0) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    throw ModelError("cannot empty recorder file \"" + path + "\": " + std::strerror(error));
  }
}

Recorder::~Recorder() {
  if (fd_ < 0) return;
  if (const int error = finish()) {
    std::fprintf(stderr, "marrowick-solver: cannot write recorder file \"%s\": %s\n", path_.c_str(),
                 std::strerror(error));
  }
}

void Recorder::close() {
  if (fd_ < 0) return;
  if (const int error = finish()) fail(error);
}

int Recorder::finish() {
  const int fd = std::exchange(fd_, -1);
  const std::string unwritten = std::move(pending_);
  // The lock goes with the descriptor, so the file is closed however the
  // writing ends.
  int error = writeAll(fd, unwritten);
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  return error;
}

void Recorder::flush() {
  if (fd_ < 0 || pending_.empty()) return;
  const int error = writeAll(fd_, pending_);
  // Lines the file could not take are not offered again: the failure is
  // told once.
  pending_.clear();
  if (error != 0) fail(error);
}

void Recorder::fail(int error) const {
  throw ModelError("cannot write recorder file \"" + path_ + "\": " + std::strerror(error));
}

void Recorder::add(double value) {
  appendNumber(pending_, value, precision_);
  pending_ += ' ';
}

void Recorder::record(const Domain& domain) {
  if (fd_ < 0) return;
  if (withTime_) add(domain.committedTime());
  addResponse(domain);
  pending_ += '\n';
  if (pending_.size() >= kWriteBytes) flush();
}

NodeRecorder::NodeRecorder(const std::string& path, bool withTime, std::vector<int> nodeTags,
                           std::vector<int> dofs, int precision, NodeResponse response,
                           int directory)
    : Recorder(path, withTime, precision, directory),
      nodeTags_(std::move(nodeTags)),
      dofs_(std::move(dofs)),
      response_(response) {}

void NodeRecorder::addResponse(const Domain& domain) {
  for (int tag : nodeTags_) {
    const int index = domain.nodeIndex(tag);
    if (response_ == NodeResponse::Reaction) {
      const NodeVector reaction = index < 0 ? NodeVector{} : domain.reaction(index);
      for (int dof : dofs_) add(reaction[dof]);
    } else {
      for (int dof : dofs_) add(index < 0 ? 0.0 : domain.nodes()[index].committedDisp[dof]);
    }
  }
}

ElementRecorder::ElementRecorder(const std::string& path, bool withTime,
                                 std::vector<SectionQuery> queries, int precision, int directory)
    : Recorder(path, withTime, precision, directory), queries_(std::move(queries)) {}

void ElementRecorder::addResponse(const Domain& domain) {
  for (const SectionQuery& query : queries_) {
    const SectionValues response = domain.sectionResponse(query);
    for (double value : response.values()) add(value);
  }
}

}  // namespace marrowick::engine
