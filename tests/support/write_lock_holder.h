#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace marrowick::testing {

// Another process holding the write lock that the bundled solver keeps on its
// recorder file while writing it. The lock is held from construction until
// Release() or destruction.
class WriteLockHolder {
 public:
  explicit WriteLockHolder(const std::string& file_name) {
    if (pipe(ready_) != 0 || pipe(release_) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      const int fd = open(file_name.c_str(), O_RDWR);
      struct flock lock;
      std::memset(&lock, 0, sizeof lock);
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      const char ok = fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 'y' : 'n';
      if (write(ready_[1], &ok, 1) != 1) _exit(1);
      char byte;
      if (read(release_[0], &byte, 1) != 1) _exit(1);
      _exit(0);
    }
    char ok = 0;
    locked_ = child_ > 0 && read(ready_[0], &ok, 1) == 1 && ok == 'y';
  }
  ~WriteLockHolder() {
    Release();
    for (int fd : {ready_[0], ready_[1], release_[0], release_[1]})
      if (fd >= 0) close(fd);
  }
  WriteLockHolder(const WriteLockHolder&) = delete;
  WriteLockHolder& operator=(const WriteLockHolder&) = delete;

  bool Locked() const { return locked_; }

  void Release() {
    if (child_ <= 0) return;
    if (write(release_[1], "x", 1) != 1) kill(child_, SIGKILL);
    int status = 0;
    waitpid(child_, &status, 0);
    child_ = -1;
    locked_ = false;
  }

 private:
  int ready_[2] = {-1, -1};
  int release_[2] = {-1, -1};
  pid_t child_ = -1;
  bool locked_ = false;
};

}  // namespace marrowick::testing
