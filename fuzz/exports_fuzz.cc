// Random sequences of calls to the 23 exports with random arguments, on a
// temporary data folder emptied before each input. Besides the sanitizers'
// checks (every buffer handed in is allocated at exactly its stated
// capacity, so a write past it is caught), after each input:
//   - a text buffer of capacity > 0 that a call returned 0 for is
//     terminated within its capacity;
//   - every settings file in the folder is what the library writes: each
//     line a section header or a key=value entry (or, for a file the input
//     seeded by hand, anything that parses back to the same bytes);
//   - no temporary file is left in the folder;
//   - every enumeration handle is closed again (leaks are the sanitizer's).
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "orxProperty.h"
#include "orxPropertyIds.h"
#include "platform/ini/document.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string folder;

// The input, consumed from the front; zeros once it runs out.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | uint32_t{Byte()} << 24; }
  std::string Bytes(size_t count) {
    std::string out;
    while (count-- > 0 && !empty()) out += static_cast<char>(Byte());
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Identifiers worth trying: first and last of each class, neighbours just
// past them, ones that name no class or two, and anything the input spells
// out.
uint32_t PickId(Input& in) {
  static const uint32_t kIds[] = {ORX_GENERAL_SMTP_PORT,
                                  ORX_GENERAL_UPDATE_PERIOD,
                                  ORX_GENERAL_INSTALL_TIME,
                                  ORX_GENERAL_INSTALL_TIME + 1,
                                  ORX_TASK_LABEL,
                                  ORX_TASK_COMMENT,
                                  ORX_TASK_SCHED_TIME,
                                  ORX_TASK_AUTOMATICALLY_APPLY_ACTIONS_DURING_SCAN,
                                  ORX_TASK_AUTOMATICALLY_APPLY_ACTIONS_DURING_SCAN + 1,
                                  ORX_EMAIL_SCAN_INBOUND,
                                  ORX_FILESYSTEM_USE_PERSISTENT_CACHE,
                                  ORX_P2P_KAZAA,
                                  ORX_IM_IM2,
                                  ORX_WEB_EXCLUDED_TYPES_LIST,
                                  ORX_NETWORK_SEND_BLOCKED_URL_STATS,
                                  ORX_SCRIPT_SHOW_SPLASH_SCREEN,
                                  ORX_ANTISPAM_ADD_ADDRESS_BOOK_TO_WHITELIST,
                                  ORX_PROVIDER_NET_ALERT,
                                  ORX_PROVIDER_ACTION_ON_PACKED_FILE,
                                  ORX_PROVIDER_ACTION_ON_PACKED_FILE + 1,
                                  0,
                                  ORX_CLASS_GENERAL | ORX_CLASS_TASK,
                                  ORX_CLASS_GENERAL - 1,
                                  UINT32_MAX};
  const uint8_t choice = in.Byte();
  return choice < 0xF0 ? kIds[choice % std::size(kIds)] : in.Word();
}

// A UTF-16 text: from a list of awkward ones, a task id made earlier, or
// units spelled out by the input (lone surrogates, line breaks, ']' ...).
std::u16string PickText(Input& in, const std::vector<std::u16string>& tasks) {
  static const char16_t* kTexts[] = {
      u"",           u"Vendor",     u"a]b",
      u"x\ny",       u"=",          u";c",
      u"[s",         u"..",         u"a/b",
      u"\xD800",     u"\U0001F600", u" 42 ",
      u"-7",         u"2147483648", u"*@1000",
      u"Copy of %s", u"Task1",      u"{00000000-0000-0000-0000-000000000000}"};
  const uint8_t choice = in.Byte();
  if (choice < 0x60) return kTexts[choice % std::size(kTexts)];
  if (choice < 0xC0 && !tasks.empty()) return tasks[choice % tasks.size()];
  std::u16string text;
  for (uint8_t length = in.Byte() % 40; length > 0 && !in.empty(); --length) {
    text += static_cast<char16_t>(in.Byte() | in.Byte() << 8);
  }
  return text;
}

// A caller's text buffer of exactly `capacity` units.
struct Buffer {
  explicit Buffer(uint32_t capacity)
      : units(new orxChar[capacity ? capacity : 1]), size(capacity) {}
  void RequireTerminated() const {
    if (size == 0) return;
    bool terminated = false;
    for (uint32_t i = 0; i < size && !terminated; ++i) terminated = units[i] == 0;
    Require(terminated);
  }
  std::unique_ptr<orxChar[]> units;
  uint32_t size;
};

void EmptyFolder() {
  DIR* dir = opendir(folder.c_str());
  Require(dir != nullptr);
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  for (const std::string& name : names) unlink((folder + "/" + name).c_str());
}

std::set<std::string> FolderNames() {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.insert(name);
  }
  closedir(dir);
  return names;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void CheckFolder(bool seeded) {
  for (const std::string& name : FolderNames()) {
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".lock") == 0) continue;
    Require(name.size() > 4 && name.compare(name.size() - 4, 4, ".ini") == 0);  // no litter
    const std::string bytes = Slurp(folder + "/" + name);
    Require(orx::platform::ini::Document::FromBytes(bytes).ToBytes() == bytes);
    if (seeded && name == "ormix5.ini") continue;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
      const bool header = !line.empty() && line.front() == '[' && line.back() == ']';
      Require(header || line.find('=') != std::string::npos);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/orx-exports-fuzz-XXXXXX";
  Require(mkdtemp(pattern) != nullptr);
  folder = pattern;
  setenv("ORX_DATA_FOLDER", folder.c_str(), 1);
  unsetenv("ORX_LANGUAGE_MODULE");
  orxPropertyInitLibrary();
  // The folder goes when the fuzzer ends, however it ends.
  atexit([] {
    EmptyFolder();
    rmdir(folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  EmptyFolder();
  // Half the inputs start from a main file of their own bytes, as if
  // edited by hand.
  const bool seeded = in.Byte() & 1;
  if (seeded) std::ofstream(folder + "/ormix5.ini", std::ios::binary) << in.Bytes(in.Byte() * 4);

  std::vector<std::u16string> tasks;
  std::vector<orxQuery> queries;
  std::vector<std::unique_ptr<Buffer>> query_buffers;  // alive until the query closes
  for (int calls = 0; calls < 64 && !in.empty(); ++calls) {
    const uint8_t op = in.Byte() % 20;
    const uint32_t id = PickId(in);
    const std::u16string text = PickText(in, tasks);
    const std::u16string other = PickText(in, tasks);
    const uint32_t capacity = in.Byte() % 70;
    const bool null = in.Byte() % 16 == 0;
    const orxChar* name = null ? nullptr : text.c_str();
    Buffer buffer(capacity);
    int32_t value = 0;
    int32_t status = 0;
    switch (op) {
      case 0:
        status = orxGetProperty(id, buffer.units.get(), capacity);
        break;
      case 1:
        status = orxGetPropertyInt(id, &value);
        break;
      case 2:
        status = orxGetTaskProperty(name, id, buffer.units.get(), capacity);
        break;
      case 3:
        status = orxGetTaskPropertyInt(name, id, &value);
        break;
      case 4:
        status = orxGetProviderProperty(name, id, buffer.units.get(), capacity);
        break;
      case 5:
        status = orxGetProviderPropertyInt(name, id, &value);
        break;
      case 6:
        status = orxSetProperty(id, null ? nullptr : other.c_str());
        break;
      case 7:
        status = orxSetPropertyInt(id, static_cast<int32_t>(in.Word()));
        break;
      case 8:
        status = orxSetTaskProperty(name, id, other.c_str());
        break;
      case 9:
        status = orxSetTaskPropertyInt(name, id, static_cast<int32_t>(in.Word()));
        break;
      case 10:
        status = orxSetProviderProperty(name, id, other.c_str());
        break;
      case 11:
        status = orxSetProviderPropertyInt(name, id, static_cast<int32_t>(in.Word()));
        break;
      case 12: {
        uint32_t length = capacity;
        if (in.Byte() & 1) {
          status = orxCreateTask(buffer.units.get(), &length);
          if (status == 0) tasks.push_back(buffer.units.get());
        } else {
          // Registration: the id comes in through the buffer.
          std::u16string id_text = text;
          status = orxCreateTask(id_text.data(), nullptr);
        }
        break;
      }
      case 13:
        status = orxDeleteTask(name);
        break;
      case 14:
        status = orxDeleteTaskDefinition(name, other.c_str());
        break;
      case 15:
        status = orxFindTaskByName(name, buffer.units.get(), capacity);
        break;
      case 16: {
        auto id_buffer = std::make_unique<Buffer>(capacity);
        auto key_buffer = std::make_unique<Buffer>(in.Byte() % 12);
        orxQuery query = nullptr;
        status = orxGetFirstTask(&query, id_buffer->units.get(), capacity,
                                 null ? nullptr : key_buffer->units.get(), key_buffer->size);
        if (query != nullptr) {
          queries.push_back(query);
          query_buffers.push_back(std::move(id_buffer));
          query_buffers.push_back(std::move(key_buffer));
        }
        break;
      }
      case 17:
        if (!queries.empty()) {
          status = orxGetNextTask(queries[id % queries.size()], static_cast<int32_t>(in.Word()));
        }
        break;
      case 18: {
        uint32_t length = capacity;
        status = orxCopyTaskDefinition(name, buffer.units.get(), &length);
        if (status == 0) tasks.push_back(buffer.units.get());
        break;
      }
      default:
        status = orxShrinkTasks(static_cast<int32_t>(in.Word() % 64) - 8);
        break;
    }
    // orxFindTaskByName fills its buffer without a terminator by contract.
    if (status == 0 && op != 15 && (op == 0 || op == 2 || op == 4)) buffer.RequireTerminated();
  }
  for (orxQuery query : queries) Require(orxCloseQuery(query) == 0);
  CheckFolder(seeded);
  return 0;
}
