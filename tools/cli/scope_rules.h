// Where a property operation lands and whether its scope makes sense: the
// file and section a property has in a scope, the refusals of scope
// mistakes (a task property without a task, an unlisted task, a provider
// setting without a provider), and the plain-words reason of a refused write.
#ifndef ORX_TOOLS_CLI_SCOPE_RULES_H_
#define ORX_TOOLS_CLI_SCOPE_RULES_H_

#include <string>

#include "cli.h"

namespace orx::cli {

// Whether `property` belongs to `scope`'s classes: task properties with a
// task, provider settings with a provider, every other class without either.
bool InScope(const Scope& scope, const Property& property);

// The settings file and section that hold `property` in `scope`.
std::string FileIn(const Scope& scope, const Property& property);
std::u16string SectionIn(const Scope& scope, const Property& property);

// Checks `scope` for `property`. Reads accept a task property without a
// task (the defaults); writes (`writing`) refuse it, and an unlisted task,
// unless `force`. A listed task's id is replaced by its listed spelling.
// Returns kExitOk or the exit code after reporting why.
int FitScope(Scope& scope, const Property& property, bool writing, bool force);

// Notes on standard error that a provider has no file yet.
void NoteMissingProviderFile(const Scope& scope);

// Why a write of `value` to `property` in `scope` failed with `status`, in
// plain words naming the file.
std::string WriteFailure(const Scope& scope, const Property& property, const std::string& value,
                         int32_t status);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_SCOPE_RULES_H_
