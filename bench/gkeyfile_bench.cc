// GLib's GKeyFile doing what the library's suite does (see peer_files.h).
// GKeyFile has no notion of the file changing under it, so "fresh" is a new
// key file loaded per call; comments are kept on load, as a program that
// writes the file back must ask for. A save is g_file_set_contents:
// temporary file, fsync, rename, fsync of the folder.
#include <glib.h>

#include "peer_files.h"

namespace orx::bench {
namespace {

constexpr GKeyFileFlags kLoadFlags =
    static_cast<GKeyFileFlags>(G_KEY_FILE_KEEP_COMMENTS | G_KEY_FILE_KEEP_TRANSLATIONS);

// A loaded key file, freed at scope exit.
class KeyFile {
 public:
  explicit KeyFile(const std::string& path) : file_(g_key_file_new()) {
    GError* error = nullptr;
    loaded_ = g_key_file_load_from_file(file_, path.c_str(), kLoadFlags, &error);
    if (error != nullptr) g_error_free(error);
  }
  ~KeyFile() { g_key_file_free(file_); }
  KeyFile(const KeyFile&) = delete;
  KeyFile& operator=(const KeyFile&) = delete;

  bool loaded() const { return loaded_; }
  bool Read(const char* group, const char* key) {
    gchar* value = g_key_file_get_string(file_, group, key, nullptr);
    bool found = value != nullptr;
    benchmark::DoNotOptimize(value);
    g_free(value);
    return found;
  }
  bool Write(const std::string& path, const char* value) {
    g_key_file_set_string(file_, kPlainSection, kPlainKey, value);
    GError* error = nullptr;
    bool saved = g_key_file_save_to_file(file_, path.c_str(), &error);
    if (error != nullptr) g_error_free(error);
    return saved;
  }

 private:
  GKeyFile* file_;
  bool loaded_ = false;
};

const char* Group(const PeerFile& file, bool task) {
  return task ? file.task_section.c_str() : kPlainSection;
}

void ReadLongLived(benchmark::State& state, bool task) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  KeyFile keys(file.path);
  const char* key = task ? kTaskKey : kPlainKey;
  if (!keys.loaded() || !keys.Read(Group(file, task), key)) state.SkipWithError("not loaded");
  for (auto _ : state) keys.Read(Group(file, task), key);
}

void ReadFresh(benchmark::State& state, bool task) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  const char* key = task ? kTaskKey : kPlainKey;
  if (!KeyFile(file.path).Read(Group(file, task), key)) state.SkipWithError("not loaded");
  for (auto _ : state) {
    KeyFile keys(file.path);
    keys.Read(Group(file, task), key);
  }
}

void WriteLongLived(benchmark::State& state) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  KeyFile keys(file.path);
  int turn = 0;
  for (auto _ : state) {
    if (!keys.Write(file.path, kWrittenValues[++turn % 2])) state.SkipWithError("save failed");
  }
}

void WriteFresh(benchmark::State& state) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  int turn = 0;
  for (auto _ : state) {
    KeyFile keys(file.path);
    if (!keys.Write(file.path, kWrittenValues[++turn % 2])) state.SkipWithError("save failed");
  }
}

}  // namespace
}  // namespace orx::bench

int main(int argc, char** argv) {
  using namespace orx::bench;
  RegisterForEachN("GKeyFile", "ReadPlain/longlived", [](auto& s) { ReadLongLived(s, false); });
  RegisterForEachN("GKeyFile", "ReadPlain/fresh", [](auto& s) { ReadFresh(s, false); });
  RegisterForEachN("GKeyFile", "ReadTask/longlived", [](auto& s) { ReadLongLived(s, true); });
  RegisterForEachN("GKeyFile", "ReadTask/fresh", [](auto& s) { ReadFresh(s, true); });
  RegisterForEachN("GKeyFile", "WriteKey/longlived", WriteLongLived);
  RegisterForEachN("GKeyFile", "WriteKey/fresh", WriteFresh);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
