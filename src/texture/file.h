// InputFile: the texture loader's file seam, the three file operations it needs (open an
// existing file for reading with a sequential-access hint, read a count and learn how many bytes
// arrived, close) plus the file's size, which lets the loader refuse a header that promises more
// than the file holds before allocating for it. file_posix.cpp and file_win32.cpp implement it;
// this header exposes no platform type.
#pragma once

#include <cstdint>

class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { Close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens an existing file for reading; others may read it at the same time. Closes any file
  // held first. False when the file cannot be opened (missing, no access).
  bool Open(const char* path);
  // Reads up to `count` bytes from the current position into `buffer` and returns how many
  // arrived: fewer than asked only at the end of the file or on an error.
  uint32_t Read(void* buffer, uint32_t count);
  // The file's size in bytes; false when it cannot be learned.
  bool Size(uint64_t* bytes) const;
  // Closes the file; does nothing when none is open.
  void Close();
  bool IsOpen() const { return handle_ != kNoHandle; }

 private:
  static constexpr intptr_t kNoHandle = -1;  // -1 is both POSIX's bad fd and INVALID_HANDLE_VALUE
  intptr_t handle_ = kNoHandle;              // a file descriptor or a Win32 HANDLE
};
