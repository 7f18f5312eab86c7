// LabelReference: a task's Label or Comment stored as "*@" and the decimal
// number of a localized string, so that it is shown in the language in force
// when it is read. Only task-mode reads and writes of those two properties
// use it.
#ifndef ORX_ACCESS_LABEL_REFERENCE_H_
#define ORX_ACCESS_LABEL_REFERENCE_H_

#include <cstdint>

#include "catalogue/property_entry.h"

namespace orx::access {

// Localized label strings form an unbroken run from this number upward.
inline constexpr int32_t kFirstLabelString = 1000;

// Room for "*@" and any 32-bit number, with the terminator.
inline constexpr int kLabelReferenceCapacity = 64;

// Localized strings are compared in a buffer of this many units.
inline constexpr uint32_t kLabelStringCapacity = 512;

// True for the two task properties that may hold a LabelReference.
bool MayHoldLabelReference(catalogue::PropertyId id);

// Reads a Label or Comment into `buffer` (capacity `size`) through
// `read_stored`, which reads the stored text into the buffer it is given, and
// expands a LabelReference whose number names a non-empty localized string
// into that string, cut to size-1 units. Any other text, a number outside the
// 32-bit range or one that names no string included, arrives as stored. The
// stored text is read whole first, so a buffer too small for the reference
// never makes it name another string.
template <typename ReadStored>
void ReadLabel(char16_t* buffer, uint32_t size, ReadStored read_stored);

// Searches the run of localized strings from kFirstLabelString for one equal
// to `value` (exactly, with case). On a match writes its LabelReference into
// `reference` and returns true; the lowest matching number wins.
bool FindLabelReference(const char16_t* value, char16_t (&reference)[kLabelReferenceCapacity]);

namespace detail {
// The stored text `stored` expanded or copied into `buffer`.
void ExpandOrCopyLabel(const char16_t* stored, char16_t* buffer, uint32_t size);
}  // namespace detail

template <typename ReadStored>
void ReadLabel(char16_t* buffer, uint32_t size, ReadStored read_stored) {
  if (size >= kLabelReferenceCapacity) {
    read_stored(buffer, size);
    detail::ExpandOrCopyLabel(buffer, buffer, size);
    return;
  }
  char16_t stored[kLabelReferenceCapacity];
  read_stored(stored, kLabelReferenceCapacity);
  detail::ExpandOrCopyLabel(stored, buffer, size);
}

}  // namespace orx::access

#endif  // ORX_ACCESS_LABEL_REFERENCE_H_
