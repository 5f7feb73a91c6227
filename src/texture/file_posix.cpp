// InputFile on POSIX: open(2), read(2), close(2), with posix_fadvise for the sequential hint.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "texture/file.h"

bool InputFile::Open(const char* path) {
  Close();
  int fd = -1;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  // A hint only; its result does not matter.
  (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  handle_ = fd;
  return true;
}

uint32_t InputFile::Read(void* buffer, uint32_t count) {
  if (!IsOpen()) return 0;
  const int fd = static_cast<int>(handle_);
  unsigned char* out = static_cast<unsigned char*>(buffer);
  uint32_t arrived = 0;
  // read(2) may return less than asked (Linux caps one call near 2 GiB, signals interrupt it):
  // keep reading until the count, the end of the file or an error.
  while (arrived < count) {
    const uint32_t ask = count - arrived < (1u << 30) ? count - arrived : (1u << 30);
    const ssize_t got = ::read(fd, out + arrived, ask);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    arrived += static_cast<uint32_t>(got);
  }
  return arrived;
}

bool InputFile::Size(uint64_t* bytes) const {
  if (!IsOpen()) return false;
  struct stat status {};
  if (::fstat(static_cast<int>(handle_), &status) != 0 || status.st_size < 0) return false;
  *bytes = static_cast<uint64_t>(status.st_size);
  return true;
}

void InputFile::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(handle_));
  handle_ = kNoHandle;
}
