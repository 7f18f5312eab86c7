// Naming and printing of orxPropertyIds.h; see macro_names.h for the rules.
#include "macro_names.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "base/utf.h"
#include "catalogue/property_id.h"

namespace orx::ids {
namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Upper(std::string_view text) {
  std::string out;
  for (const char c : text) out.push_back(Upper(c));
  return out;
}

std::string Utf8(const char16_t* text) { return EncodeUtf8(text).value_or(""); }

std::string Hex(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08Xu", id);
  return text;
}

}  // namespace

std::string UpperSnake(std::string_view name) {
  std::string out;
  bool pending_break = false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (!IsUpper(c) && !IsLower(c) && !IsDigit(c)) {
      pending_break = true;
      continue;
    }
    if (!out.empty() && IsUpper(c) && i > 0) {
      const char before = name[i - 1];
      const bool after_lower = i + 1 < name.size() && IsLower(name[i + 1]);
      if (IsLower(before) || IsDigit(before) || (IsUpper(before) && after_lower)) {
        pending_break = true;
      }
    }
    if (pending_break && !out.empty()) out.push_back('_');
    pending_break = false;
    out.push_back(Upper(c));
  }
  return out;
}

std::vector<NamedId> NameIds(const std::vector<CatalogueRow>& rows,
                             std::vector<std::string>& clashes) {
  std::map<std::string, int> key_uses;  // "CLASS KEY" in upper case
  for (const CatalogueRow& row : rows) ++key_uses[Upper(row.class_name) + " " + Upper(row.key)];

  std::vector<NamedId> ids;
  std::map<std::string, const CatalogueRow*> owners;
  for (const CatalogueRow& row : rows) {
    std::string name = "ORX_" + UpperSnake(row.class_name) + "_";
    if (key_uses[Upper(row.class_name) + " " + Upper(row.key)] > 1) {
      name += UpperSnake(row.section) + "_";
    }
    name += UpperSnake(row.key);
    auto [it, fresh] = owners.emplace(name, &row);
    if (!fresh) {
      clashes.push_back(name + " would name both " + row.class_name + "." + row.key + " (" +
                        Hex(row.id) + ") and " + it->second->class_name + "." + it->second->key +
                        " (" + Hex(it->second->id) + ")");
    }
    ids.push_back({std::move(name), row.id});
  }
  return ids;
}

std::vector<CatalogueRow> CatalogueRows() {
  std::vector<CatalogueRow> rows;
  for (const catalogue::PropertyClassInfo& info : catalogue::PropertyClasses()) {
    const size_t count = catalogue::CountEntries(info.table);
    for (size_t index = 0; index < count; ++index) {
      rows.push_back({info.name, Utf8(info.table[index].section), Utf8(info.table[index].key),
                      info.value + static_cast<uint32_t>(index)});
    }
  }
  return rows;
}

std::string IdsHeader(const std::vector<NamedId>& ids) {
  std::string text =
      "/*\n"
      " * orxPropertyIds.h: a named constant for every property identifier of\n"
      " * orxProperty.h, ORX_<CLASS>_<KEY> (ORX_GENERAL_UPDATE_PERIOD is the key\n"
      " * UpdatePeriod of the general class). A key that two settings of one class\n"
      " * share carries its section's name as well. Usable from C99 and C++.\n"
      " *\n"
      " * Generated from the library's catalogue when the library is built; do not\n"
      " * edit.\n"
      " */\n"
      "#ifndef ORX_PROPERTY_IDS_H_\n"
      "#define ORX_PROPERTY_IDS_H_\n\n"
      "/* How many identifiers follow. */\n"
      "#define ORX_PROPERTY_ID_COUNT " +
      std::to_string(ids.size()) + "u\n\n";
  for (const NamedId& id : ids) text += "#define " + id.name + " " + Hex(id.id) + "\n";
  text +=
      "\n/* Every identifier: ORX_PROPERTY_ID_LIST(X) expands to X(name) once for\n"
      " * each of them, in identifier order. */\n"
      "#define ORX_PROPERTY_ID_LIST(X) \\\n";
  for (size_t i = 0; i < ids.size(); ++i) {
    text += "  X(" + ids[i].name + ")" + (i + 1 < ids.size() ? " \\\n" : "\n");
  }
  text += "\n#endif /* ORX_PROPERTY_IDS_H_ */\n";
  return text;
}

}  // namespace orx::ids
