// ReadPropertyValue and WritePropertyValue: the two routines every property
// export funnels into. Each resolves the identifier in the catalogue, builds
// the settings path, and makes one profile call.
//
// Modes: with a task, the task id names the section (in place of the
// entry's); with a provider, "<provider>.ini" names the file (in place of the
// entry's). No caller passes both.
#ifndef ORX_ACCESS_PROPERTY_VALUE_H_
#define ORX_ACCESS_PROPERTY_VALUE_H_

#include <cstdint>

#include "base/status.h"
#include "catalogue/property_entry.h"
#include "frame/profile.h"

namespace orx::access {

// Capacity of the value buffer of the integer reads.
inline constexpr uint32_t kIntegerReadCapacity = 100;

// Reads setting `id` into `buffer` (capacity `size`, writing buffer[0]
// first): the stored value, or the default (for a provider, its override
// where one applies), cut to size-1 units. In task mode a Label or Comment
// holding a LabelReference is expanded. Returns kOk; kInvalidParameter for a
// null buffer, an unknown identifier, a provider setting without a provider
// or an unsafe provider name; kFilenameExcedRange when the path does not fit.
Status ReadPropertyValue(catalogue::PropertyId id, const char16_t* task, const char16_t* provider,
                         char16_t* buffer, uint32_t size);

// Stores `value` as setting `id`; in task mode a Label or Comment equal to a
// localized label string is stored as its LabelReference. Returns kOk;
// kInvalidParameter as for reads, for a null value, for a task id that names
// a section of the library's own (NamesLibrarySection), or for a value or
// task id the file cannot hold; kFilenameExcedRange; or the system's error
// number for a failed write.
Status WritePropertyValue(catalogue::PropertyId id, const char16_t* task, const char16_t* provider,
                          const char16_t* value);

// The task-mode forms on a document of ormix5.ini that the caller already
// holds (a snapshot, or the working copy of a transaction it runs), for
// identifiers of the task class: the same section, key, default and label
// rules as ReadPropertyValue and WritePropertyValue with a task, so that a
// sequence of them leaves what the same sequence of single calls would.
// Return kInvalidParameter for a null task, buffer or value, or an
// identifier outside the task class, and a write for a task id that names a
// library section; a write returns the editor's error for a value or task
// id the file cannot hold, and changes nothing then.
Status ReadTaskPropertyValue(const frame::ProfileReader& file, catalogue::PropertyId id,
                             const char16_t* task, char16_t* buffer, uint32_t size);
Status WriteTaskPropertyValue(frame::ProfileEditor& file, catalogue::PropertyId id,
                              const char16_t* task, const char16_t* value);

}  // namespace orx::access

#endif  // ORX_ACCESS_PROPERTY_VALUE_H_
