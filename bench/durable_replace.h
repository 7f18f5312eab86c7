// The floor of a durable settings write, done by hand: every system call the
// library's one-key write makes, in the same order, with nothing read,
// parsed or serialised. A write can then be judged by what it adds to the
// unavoidable work (see README.md, "The write floor", for the list).
#ifndef ORX_BENCH_DURABLE_REPLACE_H_
#define ORX_BENCH_DURABLE_REPLACE_H_

#include <string>
#include <string_view>

namespace orx::bench {

class DurableReplace {
 public:
  // `target` is the file the floor replaces; it should sit in the folder of
  // the file the library writes, so both flush the same folder.
  explicit DurableReplace(std::string target);

  // Replaces the target by `bytes`: lock, temporary file in the same
  // folder, write, mode, fsync, rename, fsync of the folder, unlock.
  // Returns false when a step fails.
  bool Write(std::string_view bytes);

  const std::string& target() const { return target_; }

 private:
  std::string target_;
  std::string folder_;
  std::string lock_path_;
  std::string temporary_;
};

}  // namespace orx::bench

#endif  // ORX_BENCH_DURABLE_REPLACE_H_
