// Linked into the static solver only, in place of the C library's look-ups
// that go through the name service switch (-Wl,--wrap, see CMakeLists.txt).
//
// A static program cannot load the system's name service modules reliably:
// they must come from the very C library version it was linked with, which
// is what the linker warns about. The solver needs none of them for its
// scripts; Tcl asks for the user name at start-up and for "~user" in file
// names. So users and groups are read from /etc/passwd and /etc/group
// directly (users known only to a directory service are not found), and what
// a solver has no use for is refused: host and service look-ups (Tcl's
// socket) and loading shared libraries (Tcl's load).

#include <dlfcn.h>
#include <errno.h>
#include <grp.h>
#include <netdb.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/socket.h>

namespace {

// fgetpwent_r and fgetgrent_r read the file format without the switch.
template <typename Entry, typename Match>
int findEntry(const char* file, int (*next)(FILE*, Entry*, char*, size_t, Entry**), Entry* entry,
              char* buffer, size_t size, Entry** result, Match match) {
  *result = nullptr;
  FILE* in = fopen(file, "re");
  if (in == nullptr) return 0;  // no such entry, as when the file is empty
  Entry* found = nullptr;
  int error = 0;
  while ((error = next(in, entry, buffer, size, &found)) == 0) {
    if (match(*found)) {
      *result = found;
      break;
    }
  }
  fclose(in);
  // ENOENT is the end of the file: not found, which is no error.
  return error == ENOENT ? 0 : error;
}

bool same(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace

extern "C" {

int __wrap_getpwnam_r(const char* name, passwd* entry, char* buffer, size_t size, passwd** result) {
  return findEntry("/etc/passwd", fgetpwent_r, entry, buffer, size, result,
                   [name](const passwd& p) { return same(p.pw_name, name); });
}

int __wrap_getpwuid_r(uid_t uid, passwd* entry, char* buffer, size_t size, passwd** result) {
  return findEntry("/etc/passwd", fgetpwent_r, entry, buffer, size, result,
                   [uid](const passwd& p) { return p.pw_uid == uid; });
}

int __wrap_getgrnam_r(const char* name, group* entry, char* buffer, size_t size, group** result) {
  return findEntry("/etc/group", fgetgrent_r, entry, buffer, size, result,
                   [name](const group& g) { return same(g.gr_name, name); });
}

int __wrap_getgrgid_r(gid_t gid, group* entry, char* buffer, size_t size, group** result) {
  return findEntry("/etc/group", fgetgrent_r, entry, buffer, size, result,
                   [gid](const group& g) { return g.gr_gid == gid; });
}

int __wrap_getaddrinfo(const char*, const char*, const addrinfo*, addrinfo** result) {
  *result = nullptr;
  return EAI_FAIL;
}

int __wrap_gethostbyname_r(const char*, hostent*, char*, size_t, hostent** result, int* error) {
  *result = nullptr;
  *error = NO_RECOVERY;
  return ENOENT;
}

int __wrap_gethostbyaddr_r(const void*, socklen_t, int, hostent*, char*, size_t, hostent** result,
                           int* error) {
  *result = nullptr;
  *error = NO_RECOVERY;
  return ENOENT;
}

servent* __wrap_getservbyname(const char*, const char*) {
  return nullptr;
}

void* __wrap_dlopen(const char*, int) {
  return nullptr;
}

char* __wrap_dlerror() {
  static char message[] = "marrowick-solver is linked statically and cannot load libraries";
  return message;
}

}  // extern "C"
