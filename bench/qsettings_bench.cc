// Qt's QSettings in INI format doing what the library's suite does (see
// peer_files.h). "fresh" builds a new QSettings per call, as Qt suggests for
// short-lived use; on an unchanged file that is a hit in Qt's process-wide
// cache of parsed files (Qt compares the file's time stamp and size), not a
// load. "changed" is what a fresh object costs when another program has
// replaced the file since the last call: the re-parse a caller who wants
// other writers' changes pays.
//
// Writes go through QSaveFile: an unnamed temporary file, fdatasync, link
// and rename, under a lock file; the folder is not flushed.
#include <QSettings>
#include <QString>
#include <QVariant>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "peer_files.h"

namespace orx::bench {
namespace {

QString PlainKey() { return QString(kPlainSection) + "/" + kPlainKey; }
QString TaskKey(const PeerFile& file) {
  return QString::fromStdString(file.task_section) + "/" + kTaskKey;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void ReplaceBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path + ".next", std::ios::binary | std::ios::trunc) << bytes;
  std::rename((path + ".next").c_str(), path.c_str());
}

void CheckRead(benchmark::State& state, const QVariant& value) {
  if (!value.isValid()) state.SkipWithError("key not found");
}

void ReadLongLived(benchmark::State& state, bool task) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  QSettings settings(QString::fromStdString(file.path), QSettings::IniFormat);
  const QString key = task ? TaskKey(file) : PlainKey();
  CheckRead(state, settings.value(key));
  for (auto _ : state) benchmark::DoNotOptimize(settings.value(key));
}

void ReadFresh(benchmark::State& state, bool task) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  const QString path = QString::fromStdString(file.path);
  const QString key = task ? TaskKey(file) : PlainKey();
  CheckRead(state, QSettings(path, QSettings::IniFormat).value(key));
  for (auto _ : state) {
    QSettings settings(path, QSettings::IniFormat);
    benchmark::DoNotOptimize(settings.value(key));
  }
}

// The file replaced by another program (untimed) with one of two contents
// of different sizes in turn, then a fresh object's read (timed).
void ReadChanged(benchmark::State& state, bool task) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  const QString path = QString::fromStdString(file.path);
  const QString key = task ? TaskKey(file) : PlainKey();
  const std::string variants[2] = {ReadBytes(file.path), ReadBytes(file.path) + "[Extra]\nk=1\n"};
  int turn = 0;
  for (auto _ : state) {
    ReplaceBytes(file.path, variants[++turn % 2]);
    const auto start = std::chrono::steady_clock::now();
    QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(key);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    CheckRead(state, value);
  }
}

void WriteLongLived(benchmark::State& state) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  QSettings settings(QString::fromStdString(file.path), QSettings::IniFormat);
  int turn = 0;
  for (auto _ : state) {
    settings.setValue(PlainKey(), kWrittenValues[++turn % 2]);
    settings.sync();
    if (settings.status() != QSettings::NoError) state.SkipWithError("sync failed");
  }
}

void WriteFresh(benchmark::State& state) {
  PeerFile file = CopyMainFile(static_cast<int>(state.range(0)));
  const QString path = QString::fromStdString(file.path);
  int turn = 0;
  for (auto _ : state) {
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(PlainKey(), kWrittenValues[++turn % 2]);
    settings.sync();
    if (settings.status() != QSettings::NoError) state.SkipWithError("sync failed");
  }
}

}  // namespace
}  // namespace orx::bench

int main(int argc, char** argv) {
  using namespace orx::bench;
  RegisterForEachN("QSettings", "ReadPlain/longlived", [](auto& s) { ReadLongLived(s, false); });
  RegisterForEachN("QSettings", "ReadPlain/fresh", [](auto& s) { ReadFresh(s, false); });
  RegisterForEachN("QSettings", "ReadTask/longlived", [](auto& s) { ReadLongLived(s, true); });
  RegisterForEachN("QSettings", "ReadTask/fresh", [](auto& s) { ReadFresh(s, true); });
  RegisterForEachN(
      "QSettings", "ReadTask/changed", [](auto& s) { ReadChanged(s, true); }, true);
  RegisterForEachN("QSettings", "WriteKey/longlived", WriteLongLived);
  RegisterForEachN("QSettings", "WriteKey/fresh", WriteFresh);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
