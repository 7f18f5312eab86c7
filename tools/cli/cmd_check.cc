// The check verb: reads every settings file of the data folder through the
// engine's inspection interface and reports, with line numbers, what a
// person editing the files by hand should know; with --language-module FILE
// it checks a language module instead. It never writes.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "cli.h"
#include "folder_model.h"
#include "language_check.h"
#include "platform/ini/line_survey.h"

namespace orx::cli {
namespace {

namespace ini = platform::ini;

struct Finding {
  uint32_t line;  // 1-based
  std::string kind;
  std::string message;
};

// The keys the catalogue places in each section of one file: every general
// and module entry of that file, the provider settings (any file may be a
// provider's), and in the main file the task properties of task sections.
class KnownKeys {
 public:
  explicit KnownKeys(const std::string& file) : is_main_file_(file == MainFile()) {
    std::vector<Property> properties;
    ListProperties("", properties);
    for (const Property& property : properties) {
      const uint32_t value = property.property_class->value;
      const std::u16string key = ini::ComparableName(property.entry->key);
      if (value == catalogue::kTaskClass) {
        task_keys_.insert(key);
      } else if (value == catalogue::kProviderClass || FileOf(property) == file) {
        by_section_[ini::ComparableName(property.entry->section)][key] = property;
      }
    }
  }

  // The entry naming `key` in `section`, or null for a key no entry names.
  // `is_task_section`: the section is a listed task's (or the placeholder).
  const Property* Find(std::u16string_view section, std::u16string_view key, bool is_task_section,
                       bool& known) const {
    known = false;
    const std::u16string folded_key = ini::ComparableName(key);
    if (is_main_file_ && is_task_section) {
      known = task_keys_.count(folded_key) > 0;
      return nullptr;
    }
    if (is_main_file_ && SameName(section, ScannerSection()) && SlotNumberOf(key)) {
      known = true;
      return nullptr;
    }
    const auto in_section = by_section_.find(ini::ComparableName(section));
    if (in_section == by_section_.end()) return nullptr;
    const auto entry = in_section->second.find(folded_key);
    if (entry == in_section->second.end()) return nullptr;
    known = true;
    return &entry->second;
  }

 private:
  bool is_main_file_;
  std::set<std::u16string> task_keys_;
  std::map<std::u16string, std::map<std::u16string, Property>> by_section_;
};

// What the library's decimal conversion makes of an integer setting's value,
// when that differs from what the text seems to say.
std::string IntegerProblem(const std::u16string& value) {
  const IntegerReading reading = ReadInteger(value);
  const std::string number = std::to_string(reading.value);
  if (reading.overflow) {
    return "lies outside the 32-bit range and reads as " + number;
  }
  if (!reading.has_digit) return "reads as 0: it holds no number";
  if (!reading.whole) return "reads as " + number + ": only a leading number counts";
  return "";
}

std::vector<Finding> CheckText(const std::string& file, const ini::Inspection& inspection) {
  std::vector<Finding> findings;
  const KnownKeys known_keys(file);
  const bool is_main = file == MainFile();

  // The listed tasks: values of the task list's section.
  std::set<std::u16string> listed_tasks;
  for (const ini::InspectedLine& line : inspection.lines) {
    if (is_main && line.kind == ini::InspectedKind::kEntry && !line.in_ignored_section &&
        SameName(line.section, ScannerSection())) {
      listed_tasks.insert(ini::ComparableName(line.value));
    }
  }
  for (const ini::InspectedLine& line : inspection.lines) {
    const std::string quoted = "'" + ToUtf8(line.content) + "'";
    switch (line.kind) {
      case ini::InspectedKind::kBlank:
      case ini::InspectedKind::kComment:
        break;
      case ini::InspectedKind::kHeader:
        if (line.first_line != 0) {
          findings.push_back({line.number, "duplicate-section",
                              "section [" + ToUtf8(line.name) + "] repeats the one at line " +
                                  std::to_string(line.first_line) +
                                  "; only the first is read, this one is ignored"});
        }
        if (!line.header_closed) {
          findings.push_back({line.number, "header", "the header has no ']'"});
        } else if (!line.after_header.empty()) {
          findings.push_back({line.number, "ignored", "text after ']' is ignored: " + quoted});
        }
        break;
      case ini::InspectedKind::kText:
        findings.push_back({line.number, "ignored",
                            !line.in_section
                                ? "text before the first section is ignored: " + quoted
                                : "a line without '=' is no key and is ignored: " + quoted});
        break;
      case ini::InspectedKind::kEntry: {
        if (!line.in_section) {
          findings.push_back(
              {line.number, "ignored", "an entry before the first section is ignored: " + quoted});
          break;
        }
        if (line.in_ignored_section) break;  // the section as a whole was reported
        if (line.first_line != 0) {
          findings.push_back({line.number, "duplicate-key",
                              "key " + ToUtf8(line.name) + " repeats the one at line " +
                                  std::to_string(line.first_line) + "; the first wins"});
          break;
        }
        const bool is_task_section = listed_tasks.count(ini::ComparableName(line.section)) > 0 ||
                                     SameName(line.section, TaskPlaceholderSection());
        bool known = false;
        const Property* property = known_keys.Find(line.section, line.name, is_task_section, known);
        if (!known) {
          findings.push_back({line.number, "unknown-key",
                              "no property is stored as " + ToUtf8(line.name) + " in [" +
                                  ToUtf8(line.section) + "]"});
        } else if (property != nullptr && IsIntegerProperty(*property)) {
          const std::string problem = IntegerProblem(line.value);
          if (!problem.empty()) {
            findings.push_back({line.number, "not-an-integer",
                                ClassDotKey(*property) + " is an integer; '" + ToUtf8(line.value) +
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
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0) files.push_back(name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

int Check(const Options& options) {
  const std::string folder = DataFolder();
  Json report = Json::array();
  bool clean = true;
  for (const std::string& file : SettingsFiles(folder)) {
    std::ifstream in(folder + "/" + file, std::ios::binary);
    Json entry{{"file", file}};
    std::vector<Finding> findings;
    if (!in) {
      entry["encoding"] = nullptr;
      findings.push_back({0, "unreadable", "the file cannot be read"});
    } else {
      const std::string bytes(std::istreambuf_iterator<char>(in), {});
      const ini::Inspection inspection = ini::Inspect(bytes);
      entry["encoding"] = ini::EncodingName(inspection.encoding);
      findings = CheckText(file, inspection);
    }
    clean = clean && findings.empty();
    if (!options.json) {
      std::cout << Printable(file) << ": "
                << (entry["encoding"].is_string() ? entry["encoding"].get<std::string>()
                                                  : "unreadable")
                << (findings.empty() ? ", clean" : "") << "\n";
    }
    Json list = Json::array();
    for (const Finding& finding : findings) {
      if (!options.json) {
        std::cout << "  line " << finding.line << ": " << Printable(finding.message) << "\n";
      }
      list.push_back(
          {{"line", finding.line}, {"kind", finding.kind}, {"message", finding.message}});
    }
    entry["findings"] = list;
    report.push_back(entry);
  }
  if (options.json) PrintJson({{"clean", clean}, {"files", report}});
  return clean ? kExitOk : kExitUnclean;
}

int CheckModule(const Options& options, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Refuse("cannot read the language module " + path, 2);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  const std::vector<ModuleFinding> findings = CheckLanguageModule(bytes);
  if (options.json) {
    Json list = Json::array();
    for (const ModuleFinding& finding : findings) {
      list.push_back({{"line", finding.line}, {"message", finding.message}});
    }
    PrintJson({{"clean", findings.empty()}, {"module", path}, {"findings", list}});
  } else {
    std::cout << Printable(path) << (findings.empty() ? ": clean" : ":") << "\n";
    for (const ModuleFinding& finding : findings) {
      std::cout << "  line " << finding.line << ": " << Printable(finding.message) << "\n";
    }
  }
  return findings.empty() ? kExitOk : kExitUnclean;
}

}  // namespace

void AddCheckCommand(CLI::App& app, const Options& options, Invocation& invocation) {
  auto module = std::make_shared<std::string>();
  CLI::App* check = app.add_subcommand(
      "check", "Report what the engine ignores or misreads in the settings files (exit 3 if any)");
  check->add_option("--language-module", *module, "Check this language module instead");
  check->callback([&, module] {
    invocation.run = [&, module] {
      return module->empty() ? Check(options) : CheckModule(options, *module);
    };
  });
}

}  // namespace orx::cli
