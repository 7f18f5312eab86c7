#include "support/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace orx::testing {

pid_t StartChild(const std::function<int()>& body) {
  pid_t child = fork();
  if (child == 0) _exit(body());
  return child;
}

int WaitForChild(pid_t child) {
  if (child < 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int RunInChild(const std::function<int()>& body) { return WaitForChild(StartChild(body)); }

int RunAsNobody(const std::function<int()>& body) {
  return RunInChild([&] {
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) return 99;
    return body();
  });
}

std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

}  // namespace orx::testing
