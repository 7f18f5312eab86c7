// POSIX pieces of the file interface (platform/file_system.h declares the
// whole-file read, the file identity and the clock implemented in
// file_io.cc): the owned descriptor and path helpers the other POSIX files
// share. Paths here are the file system's own bytes (EncodePath of the UTF-16
// path).
#ifndef ORX_PLATFORM_POSIX_FILE_IO_H_
#define ORX_PLATFORM_POSIX_FILE_IO_H_

#include <string>

#include "platform/file_system.h"

namespace orx::platform {

// Owns a file descriptor and closes it through the system-call table.
class ScopedFd {
 public:
  explicit ScopedFd(int fd = -1) : fd_(fd) {}
  ~ScopedFd() { Reset(); }
  ScopedFd(ScopedFd&& other) noexcept : fd_(other.Release()) {}
  ScopedFd& operator=(ScopedFd&& other) noexcept;
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release();
  void Reset();
  // Closes now and returns close()'s errno (0 when it succeeded); a failed
  // close of a file just written is a failed write on some file systems.
  int Close();

 private:
  int fd_;
};

// The folder part of `path` ("." for a bare name, "/" for a file at the root).
std::string FolderOf(const std::string& path);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_FILE_IO_H_
