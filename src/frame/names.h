// Name comparison without regard to letter case, by the same folding the
// profile engine applies to section and key names. The task registry uses it
// to tell whether a task id is listed already, so that an id counts as
// listed exactly when a section lookup under it would find the task.
#ifndef ORX_FRAME_NAMES_H_
#define ORX_FRAME_NAMES_H_

#include <string_view>

namespace orx::frame {

// True when `a` and `b` have the same length and each pair of UTF-16 units
// folds to the same unit.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace orx::frame

#endif  // ORX_FRAME_NAMES_H_
