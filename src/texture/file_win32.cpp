// InputFile on Windows: CreateFileA, ReadFile, CloseHandle (kernel32).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "texture/file.h"

namespace {

HANDLE ToHandle(intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

bool InputFile::Open(const char* path) {
  Close();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(file);
  return true;
}

uint32_t InputFile::Read(void* buffer, uint32_t count) {
  if (!IsOpen()) return 0;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  uint32_t arrived = 0;
  // A read is judged only by the transferred count, never by ReadFile's own result; a count of
  // 0 means the end of the file or an error.
  while (arrived < count) {
    DWORD got = 0;
    ReadFile(ToHandle(handle_), out + arrived, count - arrived, &got, nullptr);
    if (got == 0) break;
    arrived += got;
  }
  return arrived;
}

bool InputFile::Size(uint64_t* bytes) const {
  if (!IsOpen()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(ToHandle(handle_), &size) || size.QuadPart < 0) return false;
  *bytes = static_cast<uint64_t>(size.QuadPart);
  return true;
}

void InputFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(ToHandle(handle_));
  handle_ = kNoHandle;
}
