// The check verb: reads every settings file of the data folder with the
// engine's own parser and reports, with line numbers, what a person editing
// the files by hand should know. It never writes.
#include <dirent.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "cli.h"
#include "platform/ini/case_fold.h"
#include "platform/ini/encoding.h"
#include "platform/ini/line.h"
#include "stored_values.h"

namespace orx::cli {
namespace {

using Json = nlohmann::ordered_json;
namespace ini = platform::ini;

struct Finding {
  uint32_t line;  // 1-based
  std::string kind;
  std::string message;
};

const char* EncodingName(ini::Encoding encoding) {
  switch (encoding) {
    case ini::Encoding::kUtf8:
      return "UTF-8";
    case ini::Encoding::kUtf8Bom:
      return "UTF-8 with BOM";
    case ini::Encoding::kUtf16Le:
      return "UTF-16LE";
    case ini::Encoding::kUtf16Be:
      return "UTF-16BE";
    case ini::Encoding::kWindows1252:
      return "Windows-1252";
  }
  return "unknown";
}

std::u16string Folded(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& unit : folded) unit = ini::FoldCase(unit);
  return folded;
}

// The keys the catalogue places in each section of one file: every general
// and module entry of that file, the provider settings (any file may be a
// provider's), and in the main file the task properties of task sections.
class KnownKeys {
 public:
  explicit KnownKeys(const std::string& file) : is_main_file_(file == "ormix5.ini") {
    std::vector<Property> properties;
    ListProperties("", properties);
    for (const Property& property : properties) {
      const uint32_t value = property.property_class->value;
      if (value == catalogue::kTaskClass) {
        task_keys_.insert(Folded(property.entry->key));
      } else if (value == catalogue::kProviderClass) {
        by_section_[Folded(property.entry->section)][Folded(property.entry->key)] = property;
      } else if (FileOf(property) == file) {
        by_section_[Folded(property.entry->section)][Folded(property.entry->key)] = property;
      }
    }
  }

  // The entry naming `key` in `section`, or null for a key no entry names.
  // `is_task_section`: the section is a listed task's (or the placeholder).
  const Property* Find(std::u16string_view section, std::u16string_view key, bool is_task_section,
                       bool& known) const {
    known = false;
    const std::u16string folded_key = Folded(key);
    if (is_main_file_ && is_task_section) {
      known = task_keys_.count(folded_key) > 0;
      return nullptr;
    }
    if (is_main_file_ && Folded(section) == u"SCANNER" && IsSlotKey(folded_key)) {
      known = true;
      return nullptr;
    }
    const auto in_section = by_section_.find(Folded(section));
    if (in_section == by_section_.end()) return nullptr;
    const auto entry = in_section->second.find(folded_key);
    if (entry == in_section->second.end()) return nullptr;
    known = true;
    return &entry->second;
  }

 private:
  static bool IsSlotKey(std::u16string_view key) {
    if (key.size() < 5 || key.substr(0, 4) != u"TASK" || key[4] == u'0') return false;
    return std::all_of(key.begin() + 4, key.end(),
                       [](char16_t u) { return u >= u'0' && u <= u'9'; });
  }

  bool is_main_file_;
  std::set<std::u16string> task_keys_;
  std::map<std::u16string, std::map<std::u16string, Property>> by_section_;
};

// An integer property's value converts when it starts, after blanks, with an
// optional sign and a digit; past 32 bits it saturates.
std::string IntegerProblem(std::u16string_view value) {
  size_t i = 0;
  while (i < value.size() && (value[i] == u' ' || value[i] == u'\t')) ++i;
  if (i < value.size() && (value[i] == u'+' || value[i] == u'-')) ++i;
  size_t digits = i;
  while (digits < value.size() && value[digits] >= u'0' && value[digits] <= u'9') ++digits;
  if (digits == i) return "reads as 0: it does not start with a number";
  const std::u16string_view number = value.substr(i, digits - i);
  if (number.size() > 10 || (number.size() == 10 && number > u"2147483647")) {
    return "lies outside the 32-bit range and is read as the nearest bound";
  }
  return "";
}

std::vector<Finding> CheckText(const std::string& file, std::u16string_view text) {
  std::vector<Finding> findings;
  std::vector<ini::Line> lines;
  ini::SplitLines(text, lines);
  const KnownKeys known_keys(file);
  const auto content = [&](const ini::Line& line) { return text.substr(line.begin, line.length); };
  const auto name = [&](const ini::Line& line) {
    return text.substr(line.begin + line.name_offset, line.name_length);
  };
  const auto value = [&](const ini::Line& line) {
    return text.substr(line.begin + line.value_offset, line.value_length);
  };

  // First pass: where each section name is first seen, and the listed tasks.
  std::map<std::u16string, uint32_t> first_header;  // folded name -> line number
  std::set<std::u16string> listed_tasks;
  std::u16string current;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == ini::LineKind::kHeader) current = Folded(name(lines[i]));
    if (lines[i].kind == ini::LineKind::kEntry && current == u"SCANNER") {
      listed_tasks.insert(Folded(value(lines[i])));
    }
  }

  std::map<std::u16string, uint32_t> seen_keys;
  bool in_duplicate_section = false;
  bool is_task_section = false;
  std::u16string section;
  for (size_t i = 0; i < lines.size(); ++i) {
    const ini::Line& line = lines[i];
    const auto number = static_cast<uint32_t>(i + 1);
    const std::string quoted = "'" + ToUtf8(content(line)) + "'";
    switch (line.kind) {
      case ini::LineKind::kBlank:
      case ini::LineKind::kComment:
        break;
      case ini::LineKind::kHeader: {
        section = std::u16string(name(line));
        const std::u16string folded = Folded(section);
        const auto [first, inserted] = first_header.emplace(folded, number);
        in_duplicate_section = !inserted;
        is_task_section = listed_tasks.count(folded) > 0 || folded == u"TASKGUID";
        seen_keys.clear();
        if (in_duplicate_section) {
          findings.push_back({number, "duplicate-section",
                              "section [" + ToUtf8(section) + "] repeats the one at line " +
                                  std::to_string(first->second) +
                                  "; only the first is read, this one is ignored"});
        }
        const std::u16string_view raw = content(line);
        const size_t close = raw.find(u']');
        if (close == std::u16string_view::npos) {
          findings.push_back({number, "header", "the header has no ']'"});
        } else if (!ini::TrimBlanks(raw.substr(close + 1)).empty()) {
          findings.push_back({number, "ignored", "text after ']' is ignored: " + quoted});
        }
        break;
      }
      case ini::LineKind::kText:
        findings.push_back({number, "ignored",
                            line.section == ini::kNoSection
                                ? "text before the first section is ignored: " + quoted
                                : "a line without '=' is no key and is ignored: " + quoted});
        break;
      case ini::LineKind::kEntry: {
        if (line.section == ini::kNoSection) {
          findings.push_back(
              {number, "ignored", "an entry before the first section is ignored: " + quoted});
          break;
        }
        if (in_duplicate_section) break;  // the section as a whole was reported
        const std::u16string key(name(line));
        const auto [first, inserted] = seen_keys.emplace(Folded(key), number);
        if (!inserted) {
          findings.push_back({number, "duplicate-key",
                              "key " + ToUtf8(key) + " repeats the one at line " +
                                  std::to_string(first->second) + "; the first wins"});
          break;
        }
        bool known = false;
        const Property* property = known_keys.Find(section, key, is_task_section, known);
        if (!known) {
          findings.push_back(
              {number, "unknown-key",
               "no property is stored as " + ToUtf8(key) + " in [" + ToUtf8(section) + "]"});
        } else if (property != nullptr && IsIntegerProperty(*property)) {
          const std::string problem = IntegerProblem(value(line));
          if (!problem.empty()) {
            findings.push_back({number, "not-an-integer",
                                ClassDotKey(*property) + " is an integer; '" + ToUtf8(value(line)) +
                                    "' " + problem});
          }
        }
        break;
      }
    }
  }
  return findings;
}

std::vector<std::string> SettingsFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return files;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0) files.push_back(name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

int Check(const Options& options) {
  const std::string folder = DataFolderPath();
  Json report = Json::array();
  bool clean = true;
  for (const std::string& file : SettingsFiles(folder)) {
    const auto bytes = ReadFileBytes(folder + "/" + file);
    Json entry{{"file", file}};
    std::vector<Finding> findings;
    if (!bytes) {
      entry["encoding"] = nullptr;
      findings.push_back({0, "unreadable", "the file cannot be read"});
    } else {
      const ini::DecodedText decoded = ini::Decode(*bytes);
      entry["encoding"] = EncodingName(decoded.encoding);
      findings = CheckText(file, decoded.text);
    }
    clean = clean && findings.empty();
    if (!options.json) {
      std::cout << file << ": " << (bytes ? entry["encoding"].get<std::string>() : "unreadable")
                << (findings.empty() ? ", clean" : "") << "\n";
    }
    Json list = Json::array();
    for (const Finding& finding : findings) {
      if (!options.json) std::cout << "  line " << finding.line << ": " << finding.message << "\n";
      list.push_back(
          {{"line", finding.line}, {"kind", finding.kind}, {"message", finding.message}});
    }
    entry["findings"] = list;
    report.push_back(entry);
  }
  if (options.json) PrintJson({{"clean", clean}, {"files", report}});
  return clean ? kExitOk : kExitUnclean;
}

}  // namespace

void AddCheckCommand(CLI::App& app, const Options& options, Invocation& invocation) {
  CLI::App* check = app.add_subcommand(
      "check", "Report what the engine ignores or misreads in the settings files (exit 3 if any)");
  check->callback([&] { invocation.run = [&] { return Check(options); }; });
}

}  // namespace orx::cli
