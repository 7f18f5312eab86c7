// A set of key edits over several settings files, made all or nothing: every
// edit is tried first on copies of the current files with the engine's own
// rules, then each file is changed through the store's atomic edit cycle; if
// a write still fails, the files already written are put back.
#ifndef ORX_TOOLS_CLI_EDIT_PLAN_H_
#define ORX_TOOLS_CLI_EDIT_PLAN_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orx::cli {

class EditPlan {
 public:
  // `what` names the edit in a refusal ("general.UpdatePeriod").
  void Set(const std::string& file, const std::u16string& section, const std::u16string& key,
           const std::u16string& value, const std::string& what);
  void Remove(const std::string& file, const std::u16string& section, const std::u16string& key,
              const std::string& what);
  void RemoveSection(const std::string& file, const std::u16string& section,
                     const std::string& what);

  // Returns 0, or the status of the first refused edit with `error` saying
  // which and why. Writes nothing.
  int32_t Check(std::string& error) const;
  // Checks, then writes. Returns 0, or the status of the failure with
  // `error`; after a failure the files answer as they did before.
  int32_t Apply(std::string& error);

  // The files the plan touches, in the order they are written.
  std::vector<std::string> files() const;

 private:
  struct Edit {
    enum class Kind { kSet, kRemove, kRemoveSection } kind;
    std::u16string section, key, value;
    std::string what;
  };
  std::map<std::string, std::vector<Edit>> edits_;  // by file name
};

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_EDIT_PLAN_H_
