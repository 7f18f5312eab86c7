// The C names of the property identifiers in orxPropertyIds.h, derived
// mechanically from the catalogue: ORX_<CLASS>_<KEY>, the key's words split
// at their capitals ("UpdatePeriod" -> UPDATE_PERIOD, "SMTPPort" ->
// SMTP_PORT). A key that two entries of one class share (in any letter case)
// takes its section's words as well, for every entry that shares it
// (ORX_GENERAL_EMAIL_SCANNER_IGNORE_ADDRESS). Names that would still clash
// are reported, never emitted.
#ifndef ORX_TOOLS_IDS_MACRO_NAMES_H_
#define ORX_TOOLS_IDS_MACRO_NAMES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orx::ids {

// "UpdatePeriod" -> "UPDATE_PERIOD": a word starts at a capital that follows
// a lower-case letter or a digit, and at the last capital of a run that a
// lower-case letter follows ("SMTPPort" -> SMTP_PORT); digits stay with the
// word before them; anything but letters and digits separates words.
std::string UpperSnake(std::string_view name);

struct NamedId {
  std::string name;
  uint32_t id;
};

struct CatalogueRow {
  std::string class_name;  // "general"
  std::string section;
  std::string key;
  uint32_t id;
};

// One name per row, in the rows' order. `clashes` receives one line per
// name that two rows would share; the result is then not usable.
std::vector<NamedId> NameIds(const std::vector<CatalogueRow>& rows,
                             std::vector<std::string>& clashes);

// The rows of the compiled catalogue, in identifier order.
std::vector<CatalogueRow> CatalogueRows();

// The text of orxPropertyIds.h for `ids`.
std::string IdsHeader(const std::vector<NamedId>& ids);

}  // namespace orx::ids

#endif  // ORX_TOOLS_IDS_MACRO_NAMES_H_
