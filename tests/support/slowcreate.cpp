// Loaded with LD_PRELOAD, makes the program's file system one without files without a name whose
// creates are slow, as NFS is: open() with O_TMPFILE fails with EOPNOTSUPP, and a file made with
// O_CREAT | O_EXCL whose name holds TARVO_SLOW_CREATE_MATCH is there half a second before open()
// returns. A signal in that half second finds the file made and its maker not yet back.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

using OpenAt = int (*)(int, const char*, int, ...);

bool Slow(const char* path, int flags) {
  const char* match = std::getenv("TARVO_SLOW_CREATE_MATCH");
  return match && (flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL) && std::strstr(path, match);
}

int Open(int folder, const char* path, int flags, mode_t mode) {
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    errno = EOPNOTSUPP;
    return -1;
  }
  static const auto real = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, "openat"));
  const int fd = real(folder, path, flags, mode);
  if (fd >= 0 && Slow(path, flags)) usleep(500000);
  return fd;
}

mode_t ModeOf(int flags, va_list arguments) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(arguments, int)) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return Open(AT_FDCWD, path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return Open(folder, path, flags, mode);
}

int open64(const char* path, int flags, ...) __attribute__((alias("open")));
int openat64(int folder, const char* path, int flags, ...) __attribute__((alias("openat")));
}
