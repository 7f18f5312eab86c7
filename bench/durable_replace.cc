// The hand-made durable replace (durable_replace.h). The steps follow the
// library's write of a file it has cached: link check and stat before the
// lock, the lock file and flock, the identity check under the lock, the
// sweep of abandoned temporaries, the write permission check, the temporary
// file (exclusive create), the bytes, the old mode, fsync, rename, fsync of
// the folder, the new identity, unlock.
#include "durable_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace orx::bench {
namespace {

// Closes a descriptor on every path out of a write.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The library reads the folder once per write to remove temporaries left by
// a crashed writer; the floor pays the same walk.
void WalkFolder(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (readdir(dir) != nullptr) {
  }
  closedir(dir);
}

}  // namespace

DurableReplace::DurableReplace(std::string target) : target_(std::move(target)) {
  const size_t slash = target_.find_last_of('/');
  folder_ = slash == std::string::npos ? "." : target_.substr(0, slash);
  lock_path_ = target_ + ".lock";
  temporary_ = folder_ + "/." + target_.substr(slash + 1) + ".tmp-floor";
}

bool DurableReplace::Write(std::string_view bytes) {
  struct stat old;
  const bool had_old = lstat(target_.c_str(), &old) == 0;
  if (had_old) stat(target_.c_str(), &old);

  Fd lock(open(lock_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
  struct stat lock_identity;
  if (lock.get() < 0 || fstat(lock.get(), &lock_identity) != 0 ||
      flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
    return false;
  }
  struct stat now;
  stat(target_.c_str(), &now);
  WalkFolder(folder_);
  if (had_old && (lstat(target_.c_str(), &now) != 0 ||
                  faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)) {
    return false;
  }

  unlink(temporary_.c_str());  // a leftover of a failed round would block O_EXCL
  Fd file(open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  struct stat written;
  if (file.get() < 0 || !WriteAll(file.get(), bytes) || fstat(file.get(), &written) != 0 ||
      fchmod(file.get(), had_old ? old.st_mode & 07777 : 0644) != 0 || fsync(file.get()) != 0 ||
      fstat(file.get(), &written) != 0 || !file.Close() ||
      rename(temporary_.c_str(), target_.c_str()) != 0) {
    unlink(temporary_.c_str());
    return false;
  }
  Fd folder(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() < 0 || (fsync(folder.get()) != 0 && errno != EINVAL)) return false;
  return stat(target_.c_str(), &now) == 0 && lock.Close();
}

}  // namespace orx::bench
