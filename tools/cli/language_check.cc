// The module checks, over the library's own module parser: a line is
// malformed exactly when the parser skips it.
#include "language_check.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

#include "access/label_reference.h"
#include "cli.h"
#include "platform/string_table.h"

namespace orx::cli {
namespace {

// The copied-task label format, which names the source label once.
constexpr uint32_t kCopyLabelFormat = 41111;

size_t CountOf(std::u16string_view text, std::u16string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::u16string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

}  // namespace

std::vector<ModuleFinding> CheckLanguageModule(const std::string& bytes) {
  std::vector<ModuleFinding> findings;
  std::map<uint32_t, uint32_t> first_line;  // id -> line
  std::istringstream lines(bytes);
  std::string line;
  for (uint32_t number = 1; std::getline(lines, line); ++number) {
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    const platform::StringTable parsed = platform::StringTable::Parse(line);
    if (parsed.skipped_lines() > 0) {
      findings.push_back({number, "the module reader skips this line: '" + line + "'"});
      continue;
    }
    const size_t equals = line.find('=');
    if (parsed.size() != 1 || equals == std::string::npos) continue;  // blank or comment
    const uint32_t id = static_cast<uint32_t>(std::stoul(line.substr(0, equals)));
    if (const auto [first, inserted] = first_line.emplace(id, number); !inserted) {
      findings.push_back({number, "string " + std::to_string(id) + " repeats line " +
                                      std::to_string(first->second) + "; this later one wins"});
    }
    const std::string text = line.substr(equals + 1);
    for (size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at + 2)) {
      const char next = at + 1 < text.size() ? text[at + 1] : '\0';
      if (next != 'n' && next != 't' && next != '\\') {
        findings.push_back({number, "a backslash not followed by n, t or \\ stays as it is"});
        break;
      }
    }
  }
  const platform::StringTable table = platform::StringTable::Parse(bytes);
  // The label run: from 1000 up to the highest label id, no gap. The copy
  // label format is no label.
  uint32_t highest = 0;
  for (const auto& [id, line_number] : first_line) {
    if (id >= static_cast<uint32_t>(access::kFirstLabelString) && id != kCopyLabelFormat) {
      highest = std::max(highest, id);
    }
  }
  for (uint32_t id = access::kFirstLabelString; id < highest; ++id) {
    if (table.Find(id).empty()) {
      findings.push_back({0, "the label strings stop at " + std::to_string(id) +
                                 ": strings after the gap (up to " + std::to_string(highest) +
                                 ") are never matched"});
      break;
    }
  }
  const std::u16string_view format = table.Find(kCopyLabelFormat);
  if (format.empty()) {
    findings.push_back({0, "string 41111 (the copied-task label) is missing"});
  } else if (CountOf(format, u"%s") != 1 ||
             CountOf(format, u"%") != 1 + CountOf(format, u"%%") * 2) {
    findings.push_back({first_line[kCopyLabelFormat],
                        "string 41111 must hold exactly one %s and no other % conversion"});
  }
  return findings;
}

std::string LanguageModuleProblem(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "the language module " + path + " cannot be read: labels show as references";
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  const platform::StringTable table = platform::StringTable::Parse(bytes);
  if (table.skipped_lines() > 0) {
    return "the language module " + path + " has " + std::to_string(table.skipped_lines()) +
           " malformed line(s) (see 'orxprop check --language-module " + path + "')";
  }
  return "";
}

void WarnAboutLanguageModule() {
  const char* path = std::getenv("ORX_LANGUAGE_MODULE");
  if (path == nullptr || *path == '\0') return;
  if (const std::string problem = LanguageModuleProblem(path); !problem.empty()) {
    std::cerr << "orxprop: warning: " << Printable(problem) << "\n";
  }
}

}  // namespace orx::cli
