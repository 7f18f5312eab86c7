// Shared by the kill and soak tests: a log of what a writer attempted and
// what the library acknowledged, written through a pipe or a file by the
// writer and replayed by the checker, and the checks both tests make of the
// main file's bytes.
#ifndef ORX_TESTS_SUPPORT_WRITER_LOG_H_
#define ORX_TESTS_SUPPORT_WRITER_LOG_H_

#include <map>
#include <set>
#include <string>
#include <vector>

namespace orx::testing {

// One record a line: an opening letter in lower case when the writer is
// about to call the library, in upper case once the call returned 0.
//   w/W <key> <value>   a write of `value` to `key`
//   c/C <id>            a task listed (creation or copy; the id on the ack)
//   d/D <id>            a task's definition removed
//   s/S                 a compaction
class AckLog {
 public:
  explicit AckLog(int fd) : fd_(fd) {}
  void Attempt(char what, const std::string& text = "") const { Put(what, text); }
  void Ack(char what, const std::string& text = "") const { Put(what - 'a' + 'A', text); }

 private:
  void Put(char what, const std::string& text) const;
  int fd_;
};

// The writer's story as the checker sees it, from the records read back.
struct Replay {
  // Per key: the last acknowledged value, and a later attempted one that
  // was still in flight (empty when none was).
  std::map<std::string, std::string> acknowledged;
  std::map<std::string, std::string> in_flight;
  std::set<std::string> created;   // acknowledged creations and copies
  std::set<std::string> removed;   // acknowledged removals
  std::set<std::string> removing;  // a removal in flight
  int acknowledgements = 0;

  void Read(const std::string& records);
};

// The bytes of the file at `path`; empty when it is missing.
std::string ReadFileBytes(const std::string& path);

// Everything readable from the fd until its end.
std::string ReadToEnd(int fd);

// An empty string when every line of `file` is a section header, a
// key=value entry, a blank line or a comment and the last line is ended;
// otherwise the first line that is not.
std::string MalformedLine(const std::string& file);

// The entries of the Scanner list in slot order (ids may repeat).
std::vector<std::string> ListedIds(const std::string& file);

// The names in `folder` that are neither `expected` nor lock files: the
// temporary files left behind.
std::vector<std::string> LeftoverFiles(const std::string& folder,
                                       const std::set<std::string>& expected);

}  // namespace orx::testing

#endif  // ORX_TESTS_SUPPORT_WRITER_LOG_H_
