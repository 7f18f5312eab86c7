// Forked children for tests that need a second process: a competing writer,
// a writer to kill, or a process without root's privileges (the tests run as
// root, to whom file permissions do not apply).
#ifndef ORX_TESTS_SUPPORT_CHILD_PROCESS_H_
#define ORX_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <sys/types.h>

#include <functional>
#include <set>
#include <string>

namespace orx::testing {

// The uid and gid of "nobody" on Debian.
inline constexpr uid_t kNobody = 65534;

// Runs `body` in a forked child and waits for it. Returns the child's exit
// code (body's return value), or 128 + the signal number that ended it. The
// child leaves with _exit, so no test framework state is torn down twice.
int RunInChild(const std::function<int()>& body);

// As RunInChild, after the child has dropped to uid and gid kNobody.
int RunAsNobody(const std::function<int()>& body);

// Starts `body` in a forked child without waiting; see WaitForChild.
pid_t StartChild(const std::function<int()>& body);
int WaitForChild(pid_t child);

// The names in `folder`, without "." and "..".
std::set<std::string> FolderEntries(const std::string& folder);

}  // namespace orx::testing

#endif  // ORX_TESTS_SUPPORT_CHILD_PROCESS_H_
