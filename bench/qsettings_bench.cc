// Qt's QSettings in INI format doing what the library's suite does (see
// peer_files.h). "fresh" builds a new QSettings per call, as Qt suggests for
// short-lived use; whether that re-reads the file is Qt's own decision,
// which is exactly the cost a caller who wants other writers' changes pays.
#include <QSettings>
#include <QString>
#include <QVariant>

#include "peer_files.h"

namespace orx::bench {
namespace {

QString PlainKey() { return QString(kPlainSection) + "/" + kPlainKey; }
QString TaskKey(const PeerFile& file) {
  return QString::fromStdString(file.task_section) + "/" + kTaskKey;
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
  RegisterForEachN("QSettings", "WriteKey/longlived", WriteLongLived);
  RegisterForEachN("QSettings", "WriteKey/fresh", WriteFresh);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
