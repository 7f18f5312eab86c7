// Records are written with one write(2) each, shorter than PIPE_BUF, so a
// writer killed mid-record never leaves half a line in a pipe; a line cut
// short in a file is dropped by Replay.
#include "support/writer_log.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/child_process.h"
#include "tasks/task_list_files.h"

namespace orx::testing {

void AckLog::Put(char what, const std::string& text) const {
  std::string line(1, what);
  if (!text.empty()) line += " " + text;
  line += "\n";
  if (write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(90);
}

void Replay::Read(const std::string& records) {
  std::istringstream lines(records);
  std::string line;
  while (std::getline(lines, line)) {
    if (lines.eof()) break;  // no line end: cut short
    std::istringstream fields(line);
    char what = 0;
    std::string first, second;
    fields >> what >> first >> second;
    switch (what) {
      case 'w':
        in_flight[first] = second;
        break;
      case 'W':
        acknowledged[first] = second;
        in_flight.erase(first);
        break;
      case 'C':
        created.insert(first);
        break;
      case 'd':
        removing.insert(first);
        break;
      case 'D':
        removed.insert(first);
        removing.erase(first);
        break;
      default:
        break;
    }
    if (what >= 'A' && what <= 'Z') ++acknowledgements;
  }
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string ReadToEnd(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  return text;
}

std::string MalformedLine(const std::string& file) {
  if (!file.empty() && file.back() != '\n') return "unended last line";
  std::istringstream lines(file);
  std::string line;
  while (std::getline(lines, line)) {
    const bool header = !line.empty() && line.front() == '[' && line.back() == ']';
    const bool entry = line.find('=') != std::string::npos && line.front() != '[';
    const bool other = line.empty() || line.front() == ';';
    if (!header && !entry && !other) return line;
  }
  return {};
}

std::vector<std::string> ListedIds(const std::string& file) {
  std::vector<std::string> ids;
  for (const auto& [slot, id] : SlotsInFile(file)) ids.push_back(id);
  return ids;
}

std::vector<std::string> LeftoverFiles(const std::string& folder,
                                       const std::set<std::string>& expected) {
  std::vector<std::string> left;
  for (const std::string& name : FolderEntries(folder)) {
    const bool lock = name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0;
    if (!lock && !expected.count(name)) left.push_back(name);
  }
  return left;
}

}  // namespace orx::testing
