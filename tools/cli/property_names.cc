#include "property_names.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "base/utf.h"
#include "suggest.h"

namespace orx::cli {
namespace {

std::string Utf8(const char16_t* text) { return EncodePath(text); }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

Property MakeProperty(const catalogue::PropertyClassInfo& info, size_t index) {
  return {info.value | static_cast<uint32_t>(index), &info, &info.table[index]};
}

const catalogue::PropertyClassInfo* ClassOf(uint32_t id) {
  for (const auto& info : catalogue::PropertyClasses()) {
    if (info.value == (id & catalogue::kClassMask)) return &info;
  }
  return nullptr;
}

PropertyLookup FindById(const std::string& text) {
  PropertyLookup lookup;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str() + 2, &end, 16);
  if (text.size() == 2 || *end != '\0' || value > UINT32_MAX) {
    lookup.error = "'" + text + "' is not a hexadecimal property identifier";
    return lookup;
  }
  const auto id = static_cast<uint32_t>(value);
  const catalogue::PropertyEntry* table;
  uint32_t index;
  if (catalogue::ResolvePropertyId(id, &table, &index) != Status::kOk) {
    lookup.error = "no property has the identifier " + HexId(id);
    return lookup;
  }
  lookup.matches.push_back(MakeProperty(*ClassOf(id), index));
  return lookup;
}

}  // namespace

std::string HexId(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", id);
  return text;
}

const catalogue::PropertyClassInfo* FindClass(const std::string& name) {
  for (const auto& info : catalogue::PropertyClasses()) {
    if (EqualsIgnoringAsciiCase(info.name, name)) return &info;
  }
  return nullptr;
}

namespace {

// Every property whose key is `key`, in any class.
std::vector<Property> WithKey(const std::string& key) {
  std::vector<Property> all, found;
  ListProperties("", all);
  for (const Property& property : all) {
    if (EqualsIgnoringAsciiCase(KeyOf(property), key)) found.push_back(property);
  }
  return found;
}

std::string Candidates(const std::vector<Property>& matches) {
  std::string text;
  for (const Property& match : matches) {
    text += "\n  " + HexId(match.id) + "  " + ClassDotKey(match) + "  " + FileOf(match) + " [" +
            SectionOf(match) + "]";
  }
  return text;
}

// The names a mistyped property name is compared with: CLASS.Key of every
// entry, or only the keys when the text has no class.
std::vector<std::string> KnownNames(bool with_class) {
  std::vector<Property> all;
  ListProperties("", all);
  std::vector<std::string> names;
  for (const Property& property : all) {
    names.push_back(with_class ? ClassDotKey(property) : KeyOf(property));
  }
  return names;
}

}  // namespace

PropertyLookup FindProperty(const std::string& text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return FindById(text);
  }
  PropertyLookup lookup;
  const size_t dot = text.find('.');
  if (dot == std::string::npos) {
    // A bare key is enough when one class alone has it.
    lookup.matches = WithKey(text);
    if (lookup.matches.empty()) {
      lookup.error =
          "no property is named '" + text + "'" + DidYouMean(Closest(text, KnownNames(false)));
    } else if (lookup.matches.size() > 1) {
      lookup.error =
          "'" + text + "' names several properties; choose one:" + Candidates(lookup.matches);
    }
    return lookup;
  }
  const catalogue::PropertyClassInfo* info = FindClass(text.substr(0, dot));
  if (info == nullptr) {
    std::vector<std::string> classes;
    for (const auto& each : catalogue::PropertyClasses()) classes.push_back(each.name);
    lookup.error = "unknown property class '" + text.substr(0, dot) + "'" +
                   DidYouMean(Closest(text.substr(0, dot), classes));
    return lookup;
  }
  const std::string key = text.substr(dot + 1);
  const size_t count = catalogue::CountEntries(info->table);
  for (size_t i = 0; i < count; ++i) {
    if (EqualsIgnoringAsciiCase(Utf8(info->table[i].key), key)) {
      lookup.matches.push_back(MakeProperty(*info, i));
    }
  }
  if (lookup.matches.empty()) {
    lookup.error =
        "no property is named '" + text + "'" + DidYouMean(Closest(text, KnownNames(true)));
  }
  if (lookup.matches.size() > 1) {
    lookup.error =
        "'" + text + "' names several properties; use an identifier:" + Candidates(lookup.matches);
  }
  return lookup;
}

bool ListProperties(const std::string& class_name, std::vector<Property>& out) {
  const catalogue::PropertyClassInfo* only = nullptr;
  if (!class_name.empty() && (only = FindClass(class_name)) == nullptr) return false;
  for (const auto& info : catalogue::PropertyClasses()) {
    if (only != nullptr && &info != only) continue;
    const size_t count = catalogue::CountEntries(info.table);
    for (size_t i = 0; i < count; ++i) out.push_back(MakeProperty(info, i));
  }
  return true;
}

std::string ClassDotKey(const Property& property) {
  return std::string(property.property_class->name) + "." + KeyOf(property);
}

std::string UniqueName(const Property& property) {
  const PropertyLookup lookup = FindProperty(ClassDotKey(property));
  return lookup.matches.size() == 1 ? ClassDotKey(property) : HexId(property.id);
}

std::string KeyOf(const Property& property) { return Utf8(property.entry->key); }
std::string FileOf(const Property& property) { return Utf8(property.entry->file); }
std::string SectionOf(const Property& property) { return Utf8(property.entry->section); }
std::string DefaultOf(const Property& property) { return Utf8(property.entry->default_value); }

bool IsIntegerProperty(const Property& property) {
  std::u16string_view text = property.entry->default_value;
  if (!text.empty() && text[0] == u'-') text.remove_prefix(1);
  if (text.empty()) return false;
  for (char16_t unit : text) {
    if (unit < u'0' || unit > u'9') return false;
  }
  return true;
}

}  // namespace orx::cli
