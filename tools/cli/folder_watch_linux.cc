// The folder watch on Linux: inotify on the folder for the events that a
// write through the library (a rename over the file), a hand edit (a close
// after writing) or a removal produce, and the stop signals taken through a
// signalfd, so one poll waits for both.
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "folder_watch.h"

namespace orx::cli {
namespace {

bool IsSettingsFile(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0;
}

class InotifyWatch : public FolderWatch {
 public:
  InotifyWatch(int inotify, int signals) : inotify_(inotify), signals_(signals) {}
  ~InotifyWatch() override {
    close(inotify_);
    close(signals_);
  }

  std::optional<std::set<std::string>> Next() override {
    for (;;) {
      pollfd waits[2] = {{signals_, POLLIN, 0}, {inotify_, POLLIN, 0}};
      if (poll(waits, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return std::nullopt;
      }
      if (waits[0].revents != 0) return std::nullopt;
      std::set<std::string> files;
      if (!Drain(files)) return std::nullopt;
      if (!files.empty()) return files;
    }
  }

 private:
  // Reads every pending event; false when the watch broke.
  bool Drain(std::set<std::string>& files) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t got = read(inotify_, buffer, sizeof buffer);
      if (got < 0) return errno == EAGAIN || errno == EINTR;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) return false;
        if (event->len > 0 && IsSettingsFile(event->name)) files.insert(event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  int inotify_;
  int signals_;
};

}  // namespace

std::unique_ptr<FolderWatch> WatchFolder(const std::string& folder, std::string& error) {
  const int inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (inotify < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                               IN_CREATE | IN_DELETE_SELF | IN_MOVE_SELF;
  if (inotify_add_watch(inotify, folder.c_str(), kEvents) < 0) {
    error = std::strerror(errno);
    close(inotify);
    return nullptr;
  }
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  const int signals = signalfd(-1, &stop, SFD_CLOEXEC);
  if (signals < 0) {
    error = std::strerror(errno);
    close(inotify);
    return nullptr;
  }
  return std::make_unique<InotifyWatch>(inotify, signals);
}

}  // namespace orx::cli
